#include "send/ToolLocator.h"

#include "support/StandInTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace glowline;
using glowline::test::writeScript;
using Tool = ToolLocator::Tool;

class ToolLocatorTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program folder")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("bin")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("empty")));
        m_program = m_dir->filePath(QStringLiteral("program folder"));
        m_bin = m_dir->filePath(QStringLiteral("bin"));
        m_empty = m_dir->filePath(QStringLiteral("empty"));
    }
    void cleanup() { m_dir.reset(); }

    void names()
    {
        QCOMPARE(ToolLocator::searchName(Tool::Assembler), QStringLiteral("avra"));
        QCOMPARE(ToolLocator::searchName(Tool::Programmer), QStringLiteral("avrdude"));
#ifdef Q_OS_WIN
        QCOMPARE(ToolLocator::folderName(Tool::Assembler), QStringLiteral("avra.exe"));
        QCOMPARE(ToolLocator::folderName(Tool::Programmer), QStringLiteral("avrdude-44.exe"));
#else
        QCOMPARE(ToolLocator::folderName(Tool::Assembler), QStringLiteral("avra"));
        QCOMPARE(ToolLocator::folderName(Tool::Programmer), QStringLiteral("avrdude-44"));
#endif
    }

    void defaultsToTheProgramsOwnFolder()
    {
        QCOMPARE(ToolLocator().programFolder(), QCoreApplication::applicationDirPath());
        QCOMPARE(ToolLocator().searchPaths(), QStringList());
    }

    void lookup_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QStringList>("inProgramFolder");
        QTest::addColumn<QStringList>("onSearchPath");
        QTest::addColumn<QString>("expected"); // "folder", "path" or "" for none

        const int assembler = int(Tool::Assembler);
        const int programmer = int(Tool::Programmer);
        const QString avra = QStringLiteral("avra");
        const QString avrdude44 = QStringLiteral("avrdude-44");
        const QString avrdude = QStringLiteral("avrdude");

        QTest::newRow("assembler in folder")
            << assembler << QStringList{avra, avrdude44} << QStringList{avra} << "folder";
        QTest::newRow("programmer in folder")
            << programmer << QStringList{avra, avrdude44} << QStringList{avrdude} << "folder";
        QTest::newRow("assembler on path")
            << assembler << QStringList{avrdude44} << QStringList{avra, avrdude} << "path";
        QTest::newRow("programmer on path")
            << programmer << QStringList{avra} << QStringList{avra, avrdude} << "path";
        QTest::newRow("assembler nowhere")
            << assembler << QStringList{avrdude44} << QStringList{avrdude} << "";
        QTest::newRow("programmer nowhere")
            << programmer << QStringList{avra} << QStringList{avra} << "";
        // The program folder holds the board's own programmer build only.
        QTest::newRow("plain avrdude in folder does not count")
            << programmer << QStringList{avrdude} << QStringList() << "";
        QTest::newRow("avrdude-44 on path does not count")
            << programmer << QStringList() << QStringList{avrdude44} << "";
    }

    void lookup()
    {
        QFETCH(int, tool);
        QFETCH(QStringList, inProgramFolder);
        QFETCH(QStringList, onSearchPath);
        QFETCH(QString, expected);

        for (const QString &name : inProgramFolder)
            QVERIFY(writeScript(QDir(m_program).filePath(name), "exit 0\n"));
        for (const QString &name : onSearchPath)
            QVERIFY(writeScript(QDir(m_bin).filePath(name), "exit 0\n"));

        const ToolLocator locator(m_program, {m_empty, m_bin});
        const auto which = Tool(tool);
        const ToolLocator::Lookup lookup = locator.find(which);
        if (expected == QStringLiteral("folder")) {
            QCOMPARE(lookup.path, QDir(m_program).filePath(ToolLocator::folderName(which)));
            QVERIFY(lookup.error.isEmpty());
        } else if (expected == QStringLiteral("path")) {
            QCOMPARE(lookup.path, QDir(m_bin).filePath(ToolLocator::searchName(which)));
            QVERIFY(lookup.error.isEmpty());
        } else {
            QVERIFY(!lookup.found());
            QVERIFY2(lookup.error.contains(ToolLocator::folderName(which)),
                     qPrintable(lookup.error));
            QVERIFY2(lookup.error.contains(QDir::toNativeSeparators(m_program)),
                     qPrintable(lookup.error));
            QVERIFY2(lookup.error.contains(QDir::toNativeSeparators(m_bin)),
                     qPrintable(lookup.error));
        }
    }

    // A file that cannot be run is no tool; the search goes on to the path.
    void fileThatIsNotExecutableIsSkipped()
    {
        const QString path = QDir(m_program).filePath(QStringLiteral("avra"));
        QVERIFY(writeScript(path, "exit 0\n"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(writeScript(QDir(m_bin).filePath(QStringLiteral("avra")), "exit 0\n"));
        const ToolLocator::Lookup lookup = ToolLocator(m_program, {m_bin}).find(Tool::Assembler);
        QCOMPARE(lookup.path, QDir(m_bin).filePath(QStringLiteral("avra")));
    }

    void folderNamedLikeTheToolIsSkipped()
    {
        QVERIFY(QDir(m_program).mkpath(QStringLiteral("avrdude-44")));
        const ToolLocator::Lookup lookup = ToolLocator(m_program, {m_empty}).find(Tool::Programmer);
        QVERIFY(!lookup.found());
        QVERIFY(lookup.error.contains(QStringLiteral("device programmer")));
    }

    // With no search folders given, the system's PATH is searched.
    void systemPathByDefault()
    {
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin));
        QVERIFY(writeScript(QDir(m_bin).filePath(QStringLiteral("avrdude")), "exit 0\n"));
        const ToolLocator::Lookup found = ToolLocator(m_program).find(Tool::Programmer);
        const ToolLocator::Lookup missing = ToolLocator(m_program).find(Tool::Assembler);
        qputenv("PATH", oldPath);
        QCOMPARE(found.path, QDir(m_bin).filePath(QStringLiteral("avrdude")));
        QVERIFY(!missing.found());
        QVERIFY2(missing.error.contains(QStringLiteral("PATH")), qPrintable(missing.error));
    }

private:
    std::optional<QTemporaryDir> m_dir;
    QString m_program;
    QString m_bin;
    QString m_empty;
};

QTEST_GUILESS_MAIN(ToolLocatorTest)
#include "ToolLocatorTest.moc"
