#include "send/ProgrammerSettings.h"

#include "send/HeadlessToolRunner.h"
#include "send/ProgrammerSettingsFile.h"
#include "send/ToolLocator.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace glowline;

class ProgrammerSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    // What is kept comes back; what is missing or out of range is the
    // default.
    void load_data()
    {
        QTest::addColumn<QVariant>("words");
        QTest::addColumn<int>("loaded");
        QTest::newRow("none kept") << QVariant() << 4096;
        QTest::newRow("bootloader board") << QVariant(3584) << 3584;
        QTest::newRow("one") << QVariant(1) << 1;
        QTest::newRow("zero") << QVariant(0) << 4096;
        QTest::newRow("past the flash") << QVariant(4097) << 4096;
        QTest::newRow("not a number") << QVariant(QStringLiteral("many")) << 4096;
    }

    void load()
    {
        QFETCH(QVariant, words);
        QFETCH(int, loaded);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        ProgrammerSettings kept;
        kept.programmer = QStringLiteral("arduino");
        kept.port = QStringLiteral("/dev/ttyUSB0");
        kept.save(store);
        store.remove(QStringLiteral("programmer/words"));
        if (words.isValid())
            store.setValue(QStringLiteral("programmer/words"), words);

        const ProgrammerSettings settings = ProgrammerSettings::load(store);
        QCOMPARE(settings.programmer, QStringLiteral("arduino"));
        QCOMPARE(settings.port, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(settings.words, loaded);
    }

    // A settings file that cannot be read or written says why, naming the
    // file; one that can keeps what is saved.
    void settingsFile_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("whyNotRead"); // empty: it is read
        QTest::addColumn<QString>("whyNotWritten");

        QTest::newRow("a file that can be used") << "none"
                                                 << ""
                                                 << "";
        QTest::newRow("a folder in the file's place") << "folder"
                                                      << "It is a folder."
                                                      << "It is a folder.";
        QTest::newRow("a file in its folder's place") << "file for folder"
                                                      << ""
                                                      << "Glowline is not a folder.";
        QTest::newRow("no permission to read or write") << "no permission"
                                                        << "Permission denied"
                                                        << "Permission denied";
        QTest::newRow("a folder that cannot be written") << "read-only folder"
                                                         << ""
                                                         << "Glowline: Permission denied";
    }

    void settingsFile()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, whyNotRead);
        QFETCH(QString, whyNotWritten);
        const bool permissions = breakage == QStringLiteral("no permission") ||
                                 breakage == QStringLiteral("read-only folder");
        if (permissions && ::geteuid() == 0)
            QSKIP("root reads and writes whatever the permissions say");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("Glowline"));
        const QString path = dir.filePath(QStringLiteral("Glowline/Glowline.conf"));
        // Written by hand: settings this process wrote it would remember
        // however the file changed.
        ProgrammerSettings kept;
        kept.programmer = QStringLiteral("usbasp");
        kept.words = 3584;
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(test::writeAll(path, "[programmer]\ntype=usbasp\nwords=3584\n"));
        if (breakage == QStringLiteral("folder")) {
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir().mkpath(path));
        } else if (breakage == QStringLiteral("file for folder")) {
            QVERIFY(QDir(folder).removeRecursively());
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (breakage == QStringLiteral("no permission")) {
            QVERIFY(QFile::setPermissions(path, {}));
        } else if (breakage == QStringLiteral("read-only folder")) {
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        });

        ProgrammerSettingsFile file(path);
        QCOMPARE(file.fileName(), path);
        const ProgrammerSettings loaded = file.load();
        if (whyNotRead.isEmpty()) {
            QCOMPARE(file.error(), QString());
            QCOMPARE(loaded,
                     breakage == QStringLiteral("file for folder") ? ProgrammerSettings() : kept);
        } else {
            QCOMPARE(loaded, ProgrammerSettings());
            QCOMPARE(file.error(),
                     QStringLiteral("Cannot read the settings file %1:\n").arg(path) + whyNotRead);
        }

        ProgrammerSettings changed;
        changed.programmer = QStringLiteral("arduino");
        QCOMPARE(file.save(changed), whyNotWritten.isEmpty());
        if (whyNotWritten.isEmpty()) {
            QCOMPARE(file.error(), QString());
            QCOMPARE(ProgrammerSettingsFile(path).load(), changed);
        } else {
            QVERIFY2(file.error().startsWith(
                         QStringLiteral("Cannot write the settings file %1:\n").arg(path)),
                     qPrintable(file.error()));
            QVERIFY2(file.error().endsWith(whyNotWritten), qPrintable(file.error()));
        }
    }

    void programmerIdsFromAListing()
    {
        const QString listing =
            QStringLiteral("\nValid programmers are:\n"
                           "  2232hio            = 2232hio based on FT2232H with buffer\n"
                           "  arduino            = Arduino for bootloader using STK500 v1\n"
                           "  usbasp             = USBasp, http://www.fischl.de/usbasp/\n"
                           "avrdude done.  Thank you.\n");
        QCOMPARE(ProgrammerSettings::programmerIds(listing),
                 (QStringList{QStringLiteral("2232hio"), QStringLiteral("arduino"),
                              QStringLiteral("usbasp")}));
    }

    // The ids Debian's avrdude lists, and the board's part it learns from the
    // file Glowline installs.
    void debiansAvrdude()
    {
        const QString avrdude = QStandardPaths::findExecutable(QStringLiteral("avrdude"));
        if (avrdude.isEmpty())
            QSKIP("avrdude is not installed (scripts/test installs it)");
        ToolCommand list;
        list.program = avrdude;
        list.arguments = {QStringLiteral("-c"), QStringLiteral("?")};
        const QStringList ids =
            ProgrammerSettings::programmerIds(HeadlessToolRunner().run(list).output);
        QVERIFY(ids.contains(QStringLiteral("arduino")));
        QVERIFY(ids.contains(QStringLiteral("usbasp")));

        ToolCommand parts;
        parts.program = avrdude;
        parts.arguments = {QStringLiteral("-C"), QStringLiteral("+" GLOWLINE_PART_FILE),
                           QStringLiteral("-p"), QStringLiteral("?")};
        const QString output = HeadlessToolRunner().run(parts).output;
        QVERIFY2(output.contains(QStringLiteral("  m8b ")) &&
                     output.contains(QStringLiteral("ATmega8 (board)")),
                 qPrintable(output.right(400)));
        QVERIFY2(!output.contains(QStringLiteral("error"), Qt::CaseInsensitive),
                 qPrintable(output.right(400)));
    }

    // The part file is found beside the program (a build folder) or where
    // it is installed.
    void partFile_data()
    {
        QTest::addColumn<QString>("where"); // relative to a prefix; "" none
        QTest::newRow("beside the program") << "bin/glowline-avrdude.conf";
        QTest::newRow("installed") << "share/glowline/glowline-avrdude.conf";
        QTest::newRow("nowhere") << "";
    }

    void partFile()
    {
        QFETCH(QString, where);
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
        if (!where.isEmpty()) {
            QVERIFY(QDir(prefix.path()).mkpath(QFileInfo(where).path()));
            QFile file(prefix.filePath(where));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const ToolLocator::Lookup found =
            ToolLocator(prefix.filePath(QStringLiteral("bin"))).findPartFile();
        if (where.isEmpty()) {
            QVERIFY(!found.found());
            QVERIFY(found.error.contains(ToolLocator::partFileName()));
        } else {
            QCOMPARE(found.path, prefix.filePath(where));
        }
    }
};

QTEST_GUILESS_MAIN(ProgrammerSettingsTest)
#include "ProgrammerSettingsTest.moc"
