#include "SequenceTables.h"
#include "files/SequenceWriter.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace glowline;
using namespace glowline::test;

namespace {

// The data words of an Intel HEX image in address order, each word stored
// low byte first as the AVR assemblers do. Fails on a bad record, a bad
// checksum or a gap in the addresses.
std::optional<QList<quint16>> hexWords(const QByteArray &hex, QString *why)
{
    QMap<quint32, quint8> bytes;
    quint32 base = 0;
    bool ended = false;
    for (QByteArray record : hex.split('\n')) {
        record = record.trimmed();
        if (record.isEmpty())
            continue;
        if (ended || !record.startsWith(':') || record.size() < 11 || record.size() % 2 == 0) {
            *why = QStringLiteral("bad record %1").arg(QString::fromLatin1(record));
            return std::nullopt;
        }
        const QByteArray raw = QByteArray::fromHex(record.mid(1));
        if (raw.size() * 2 != record.size() - 1 || raw.size() != 5 + quint8(raw[0])) {
            *why = QStringLiteral("bad length in %1").arg(QString::fromLatin1(record));
            return std::nullopt;
        }
        quint8 sum = 0;
        for (char b : raw)
            sum = quint8(sum + quint8(b));
        if (sum != 0) {
            *why = QStringLiteral("bad checksum in %1").arg(QString::fromLatin1(record));
            return std::nullopt;
        }
        const int count = quint8(raw[0]);
        const quint32 address = quint32(quint8(raw[1])) << 8 | quint8(raw[2]);
        const quint32 value = count == 2 ? (quint32(quint8(raw[4])) << 8 | quint8(raw[5])) : 0;
        switch (quint8(raw[3])) {
        case 0x00:
            for (int i = 0; i < count; ++i)
                bytes.insert(base + address + quint32(i), quint8(raw[4 + i]));
            break;
        case 0x01:
            ended = true;
            break;
        case 0x02:
            base = value << 4;
            break;
        case 0x04:
            base = value << 16;
            break;
        default:
            break;
        }
    }
    if (!ended) {
        *why = QStringLiteral("no end-of-file record");
        return std::nullopt;
    }
    if (bytes.size() % 2 != 0 ||
        (!bytes.isEmpty() && bytes.lastKey() != quint32(bytes.size() - 1))) {
        *why = QStringLiteral("the image does not fill addresses 0 to %1 in whole words")
                   .arg(bytes.size() - 1);
        return std::nullopt;
    }
    QList<quint16> words;
    for (quint32 a = 0; a < quint32(bytes.size()); a += 2)
        words.append(quint16(bytes.value(a) | bytes.value(a + 1) << 8));
    return words;
}

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
