#include "files/SequenceWriter.h"
#include "support/Files.h"
#include "support/IntelHex.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace glowline;
using namespace glowline::test;

namespace {

// The words of the ".dw" lines, read straight from the text.
QList<quint16> dwWords(const QByteArray &source)
{
    QList<quint16> words;
    for (const QByteArray &line : source.split('\n')) {
        if (line.startsWith(".dw 0x"))
            words.append(quint16(line.mid(6, 4).toUInt(nullptr, 16)));
    }
    return words;
}

} // namespace

class AvraAssemblyTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_avra = QStandardPaths::findExecutable(QStringLiteral("avra"));
        if (m_avra.isEmpty())
            QSKIP("avra is not installed (scripts/test installs it)");
    }

    void assembledImageHoldsTheWords_data()
    {
        QTest::addColumn<LineTable>("table");
        QTest::addColumn<QList<quint16>>("expected"); // empty: the file's own words

        QTest::newRow("three-line example")
            << tableOf({{0xF00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50},
                        {0, 0x0F0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {0, 0, 0x00F, 0, 0, 0, 0, 0, 0, 0, 0, 100}})
            << QList<quint16>{0x0F00, 0x2000, 0xF032, 0x0000, 0x10F0, 0x1000, 0x200F, 0xF064};
        QTest::newRow("every column of a line")
            << tableOf({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xABC, 4095},
                        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}})
            << QList<quint16>{0x0001, 0x1002, 0x2003, 0x3004, 0x4005, 0x5006, 0x6007, 0x7008,
                              0x8009, 0x900A, 0xAABC, 0xFFFF, 0x0000, 0x1000, 0x2000, 0x3000,
                              0x4000, 0x5000, 0x6000, 0x7000, 0x8000, 0x9000, 0xA000, 0xF001};
        QRandomGenerator random(31);
        QTest::newRow("random 400 lines") << randomExactTable(random, 400) << QList<quint16>{};
        QTest::newRow("4000 lines, every LED changes")
            << everyLedChangesTable(4000) << QList<quint16>{};
    }
    void assembledImageHoldsTheWords()
    {
        QFETCH(LineTable, table);
        QFETCH(QList<quint16>, expected);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("sequence.asm"));
        QString error;
        QVERIFY2(saveSequenceFile(table, path, &error), qPrintable(error));
        const QList<quint16> words = dwWords(readAll(path));
        if (!expected.isEmpty())
            QCOMPARE(words, expected);
        QVERIFY(!words.isEmpty());

        QProcess avra;
        avra.setWorkingDirectory(dir.path());
        avra.start(m_avra, {QStringLiteral("sequence.asm")});
        QVERIFY2(avra.waitForFinished(120000), qPrintable(avra.errorString()));
        const QByteArray output = avra.readAllStandardOutput() + avra.readAllStandardError();
        QVERIFY2(avra.exitStatus() == QProcess::NormalExit && avra.exitCode() == 0,
                 output.constData());

        const QString hexPath = dir.filePath(QStringLiteral("sequence.hex"));
        QVERIFY2(QFile::exists(hexPath), output.constData());
        QString why;
        const auto image = hexWords(readAll(hexPath), &why);
        QVERIFY2(image.has_value(), qPrintable(why));
        QCOMPARE(image->size(), words.size());
        QCOMPARE(*image, words);
    }

private:
    QString m_avra;
};

QTEST_GUILESS_MAIN(AvraAssemblyTest)
#include "AvraAssemblyTest.moc"
