#include "send/SendOperation.h"

#include "files/SequenceWriter.h"
#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "playback/Playback.h"
#include "send/SendProgress.h"
#include "support/RecordingToolRunner.h"
#include "support/ScriptedDialogs.h"
#include "support/StandInTools.h"
#include "support/TestTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <unistd.h>

using namespace glowline;
using glowline::test::readAll;
using glowline::test::recordedArguments;
using glowline::test::RecordingToolRunner;
using glowline::test::ScriptedDialogs;
using glowline::test::writeScript;
using Answer = Dialogs::Answer;
using Outcome = SendOperation::Outcome;

Q_DECLARE_METATYPE(SendOperation::Outcome)
Q_DECLARE_METATYPE(ToolResult::Status)

namespace {

// Notes every stage change as "Stage State", and the closing sentences.
class RecordingProgress final : public SendProgress
{
public:
    void stageChanged(Stage stage, State state) override
    {
        states.append(
            (stage == Stage::Assemble ? QStringLiteral("Assemble ") : QStringLiteral("Program ")) +
            stateText(state));
    }
    void finished(const QString &sentence) override { sentences.append(sentence); }

    QStringList states;
    QStringList sentences;
};

QStringList programmerArguments(const QString &hexPath)
{
    return {QStringLiteral("-p"), QStringLiteral("m8b"), QStringLiteral("-U"),
            QStringLiteral("flash:w:") + hexPath + QStringLiteral(":i")};
}

} // namespace

class SendOperationTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        // The program folder's name has a space, as it often has on Windows.
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program folder")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("shows")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("empty")));
        m_program = m_dir->filePath(QStringLiteral("program folder"));
        m_shows = m_dir->filePath(QStringLiteral("shows"));
        QVERIFY(writeScript(inProgram(QStringLiteral("avra")), glowline::test::kStandInAssembler));
        QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")),
                            glowline::test::kStandInProgrammer));
        assemblerWritesHex(true);

        m_document.emplace();
        {
            LineTable table(3);
            table.setCell(0, 1, 0xF00);
            table.setCell(kDurationColumn, 2, 50);
            m_document->replace(table);
        }
        m_dialogs.emplace();
        m_saveCalls = 0;
        m_saveWrites = true;
    }
    void cleanup()
    {
        QVERIFY2(m_dialogs->answers.empty(), "not every scripted answer was asked for");
        QVERIFY2(m_dialogs->fileNames.empty(), "not every scripted file name was asked for");
        m_dialogs.reset();
        m_document.reset();
        m_dir.reset();
    }

    void savedSequenceGoesStraightToTheTools()
    {
        const QString file = saved(QStringLiteral("run.asm"));
        RecordingToolRunner runner;
        QCOMPARE(send(runner), Outcome::Sent);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(m_saveCalls, 0);

        const QString hex = QDir(m_shows).filePath(QStringLiteral("run.hex"));
        QCOMPARE(recordedArguments(inProgram(QStringLiteral("avra.args"))), QStringList{file});
        QCOMPARE(recordedArguments(inProgram(QStringLiteral("avrdude.args"))),
                 programmerArguments(hex));
        // Both tools run in the sequence file's folder.
        QCOMPARE(readAll(inProgram(QStringLiteral("avra.cwd"))).trimmed(),
                 QFile::encodeName(m_shows));
        QCOMPARE(readAll(inProgram(QStringLiteral("avrdude.cwd"))).trimmed(),
                 QFile::encodeName(m_shows));
        QCOMPARE(runner.commands.size(), 2);
        QCOMPARE(runner.commands.at(0).program, inProgram(QStringLiteral("avra")));
        QCOMPARE(runner.commands.at(1).program, inProgram(QStringLiteral("avrdude-44")));
        QVERIFY(QFileInfo(hex).isFile());
    }

    void saveQuestion_data()
    {
        QTest::addColumn<bool>("hasFile");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("saveDialog"); // name to give, "" = cancel, "-" = not asked
        QTest::addColumn<bool>("writes");
        QTest::addColumn<Outcome>("outcome");

        QTest::newRow("changes, No")
            << true << true << Answer::No << "-" << true << Outcome::Declined;
        QTest::newRow("changes, Yes")
            << true << true << Answer::Yes << "-" << true << Outcome::Sent;
        QTest::newRow("changes, Yes, write fails")
            << true << true << Answer::Yes << "-" << false << Outcome::NotSaved;
        QTest::newRow("new unchanged, Yes, named")
            << false << false << Answer::Yes << "named.asm" << true << Outcome::Sent;
        QTest::newRow("new unchanged, Yes, dialog cancelled")
            << false << false << Answer::Yes << "" << true << Outcome::NotSaved;
        QTest::newRow("new changed, No")
            << false << true << Answer::No << "-" << true << Outcome::Declined;
    }

    void saveQuestion()
    {
        QFETCH(bool, hasFile);
        QFETCH(bool, changed);
        QFETCH(Answer, answer);
        QFETCH(QString, saveDialog);
        QFETCH(bool, writes);
        QFETCH(Outcome, outcome);

        if (hasFile)
            saved(QStringLiteral("run.asm"));
        if (changed)
            m_document->state().markChanged();
        m_saveWrites = writes;
        m_dialogs->answers.push_back(answer);
        if (saveDialog == QStringLiteral(""))
            m_dialogs->fileNames.push_back(std::nullopt);
        else if (saveDialog != QStringLiteral("-"))
            m_dialogs->fileNames.push_back(QDir(m_shows).filePath(saveDialog));

        RecordingToolRunner runner;
        QCOMPARE(send(runner), outcome);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.at(0).text,
                 QStringLiteral("File not saved. Save now and continue?"));
        QCOMPARE(m_dialogs->messages.at(0).icon, Dialogs::Icon::Question);
        QCOMPARE(m_dialogs->messages.at(0).buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(m_saveCalls, answer == Answer::Yes ? 1 : 0);
        const bool toolsRan = outcome == Outcome::Sent;
        QCOMPARE(runner.commands.size(), toolsRan ? 2 : 0);
        QCOMPARE(QFileInfo::exists(inProgram(QStringLiteral("avra.args"))), toolsRan);
        if (toolsRan) {
            QVERIFY(!m_document->state().hasUnsavedChanges());
            QCOMPARE(recordedArguments(inProgram(QStringLiteral("avra.args"))),
                     QStringList{m_document->state().fileName()});
        }
    }

    // The old HEX file goes before the assembler runs, so a failed assembly
    // cannot leave it behind to be programmed.
    void oldHexIsDeletedFirst()
    {
        saved(QStringLiteral("run.asm"));
        const QString hex = QDir(m_shows).filePath(QStringLiteral("run.hex"));
        QVERIFY(writeScript(hex, "stale\n"));
        assemblerWritesHex(false);
        m_dialogs->answers.push_back(Answer::Ok);

        RecordingToolRunner runner;
        QCOMPARE(send(runner), Outcome::AssemblyFailed);
        QVERIFY(!QFileInfo::exists(hex));
        QCOMPARE(runner.commands.size(), 1);
        QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
    }

    // Assembly succeeds only when the assembler exits with 0 and the HEX
    // file is there; a HEX file from an assembler that failed is not kept.
    void assemblyFailed_data()
    {
        QTest::addColumn<bool>("writesHex");
        QTest::addColumn<bool>("exitsWithError");
        QTest::newRow("no HEX file, exit code 0 (a missing source)") << false << false;
        QTest::newRow("no HEX file, exit code 1 (a bad source)") << false << true;
        QTest::newRow("HEX file, exit code 1") << true << true;
    }

    void assemblyFailed()
    {
        QFETCH(bool, writesHex);
        QFETCH(bool, exitsWithError);
        saved(QStringLiteral("run.asm"));
        assemblerWritesHex(writesHex);
        if (exitsWithError)
            QVERIFY(writeScript(inProgram(QStringLiteral("avra.fail")), QByteArray()));
        m_dialogs->answers.push_back(Answer::Ok);

        RecordingToolRunner runner;
        RecordingProgress progress;
        SendOperation operation(
            *m_document, *m_dialogs, runner, [this] { save(); }, ToolLocator(m_program));
        operation.setProgress(&progress);
        QCOMPARE(operation.run(), Outcome::AssemblyFailed);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->lastMessage(), QStringLiteral("Assembly failed!"));
        QCOMPARE(m_dialogs->messages.at(0).icon, Dialogs::Icon::Error);
        QCOMPARE(m_dialogs->messages.at(0).buttons, Dialogs::Buttons::Ok);
        QCOMPARE(progress.states.last(), QStringLiteral("Assemble Failed"));
        QCOMPARE(progress.sentences, QStringList{QStringLiteral("Assembly failed!")});
        QVERIFY(QFileInfo::exists(inProgram(QStringLiteral("avra.args"))));
        QCOMPARE(runner.commands.size(), 1);
        QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
        QVERIFY(!QFileInfo::exists(QDir(m_shows).filePath(QStringLiteral("run.hex"))));
    }

    // Only a file counts as the assembler's output.
    void folderAtTheHexPathAfterAssemblyIsNoSuccess()
    {
        saved(QStringLiteral("run.asm"));
        assemblerWritesHex(false);
        // The stand-in makes a folder where the HEX file belongs.
        QVERIFY(writeScript(inProgram(QStringLiteral("avra")), "mkdir \"${1%????}.hex\"\n"));
        m_dialogs->answers.push_back(Answer::Ok);
        RecordingToolRunner runner;
        QCOMPARE(send(runner), Outcome::AssemblyFailed);
        QCOMPARE(m_dialogs->lastMessage(), QStringLiteral("Assembly failed!"));
    }

    void oldHexThatCannotBeDeleted_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("non-empty folder") << "folder";
        QTest::newRow("read-only folder") << "read-only";
    }

    void oldHexThatCannotBeDeleted()
    {
        QFETCH(QString, kind);
        const QString file = saved(QStringLiteral("run.asm"));
        const QString hex = QDir(m_shows).filePath(QStringLiteral("run.hex"));
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir(m_shows).mkpath(QStringLiteral("run.hex/inside")));
        } else {
            if (::geteuid() == 0)
                QSKIP("root may delete from a read-only folder");
            QVERIFY(writeScript(hex, "stale\n"));
            QVERIFY(QFile::setPermissions(m_shows, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        m_dialogs->answers.push_back(Answer::Ok);

        RecordingToolRunner runner;
        const Outcome outcome = send(runner);
        QFile::setPermissions(m_shows, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        QCOMPARE(outcome, Outcome::OldHexNotDeleted);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.at(0).icon, Dialogs::Icon::Error);
        QCOMPARE(m_dialogs->messages.at(0).buttons, Dialogs::Buttons::Ok);
        QVERIFY2(m_dialogs->lastMessage().contains(QDir::toNativeSeparators(hex)),
                 qPrintable(m_dialogs->lastMessage()));
        QCOMPARE(runner.commands.size(), 0);
        QVERIFY(QFileInfo::exists(hex));
        QVERIFY(QFileInfo::exists(file));
    }

    // A link at the HEX path is removed; the file it points to is the user's.
    void linkAtTheHexPathIsRemovedNotFollowed()
    {
        saved(QStringLiteral("run.asm"));
        const QString hex = QDir(m_shows).filePath(QStringLiteral("run.hex"));
        const QString target = m_dir->filePath(QStringLiteral("keep.txt"));
        QVERIFY(writeScript(target, "keep\n"));
        QVERIFY(QFile::link(target, hex));
        assemblerWritesHex(false);
        m_dialogs->answers.push_back(Answer::Ok);

        RecordingToolRunner runner;
        QCOMPARE(send(runner), Outcome::AssemblyFailed);
        QVERIFY(!QFileInfo(hex).isSymLink());
        QCOMPARE(readAll(target), QByteArray("#!/bin/sh\nkeep\n"));
    }

    void missingTool_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("present");
        QTest::newRow("assembler") << "avra"
                                   << "avrdude-44";
        QTest::newRow("programmer") << "avrdude-44"
                                    << "avra";
    }

    // Both tools are found before either starts, and before the old HEX file
    // is touched.
    void missingTool()
    {
        QFETCH(QString, missing);
        QFETCH(QString, present);
        saved(QStringLiteral("run.asm"));
        const QString oldHex = QDir(m_shows).filePath(QStringLiteral("run.hex"));
        QFile hexFile(oldHex);
        QVERIFY(hexFile.open(QIODevice::WriteOnly));
        hexFile.write(":00000001FF\n");
        hexFile.close();
        QVERIFY(QFile::remove(inProgram(missing)));
        m_dialogs->answers.push_back(Answer::Ok);

        RecordingToolRunner runner;
        const ToolLocator locator(m_program, {m_dir->filePath(QStringLiteral("empty"))});
        QCOMPARE(send(runner, locator), Outcome::ToolMissing);
        QCOMPARE(runner.commands.size(), 0);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.at(0).icon, Dialogs::Icon::Error);
        QVERIFY2(m_dialogs->lastMessage().contains(missing), qPrintable(m_dialogs->lastMessage()));
        QVERIFY2(m_dialogs->lastMessage().contains(QDir::toNativeSeparators(m_program)),
                 qPrintable(m_dialogs->lastMessage()));
        QVERIFY(!QFileInfo::exists(inProgram(present + QStringLiteral(".args"))));
        QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
        QVERIFY(QFileInfo::exists(oldHex));
    }

    void toolThatCannotStart_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("runs");
        QTest::newRow("assembler") << "avra" << Outcome::AssemblerNotStarted << 1;
        QTest::newRow("programmer") << "avrdude-44" << Outcome::ProgrammerNotStarted << 2;
    }

    void toolThatCannotStart()
    {
        QFETCH(QString, broken);
        QFETCH(Outcome, outcome);
        QFETCH(int, runs);
        saved(QStringLiteral("run.asm"));
        QVERIFY(writeScript(inProgram(broken), QByteArray()));
        QFile script(inProgram(broken));
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/nonexistent/interpreter\n");
        script.close();
        m_dialogs->answers.push_back(Answer::Ok);

        RecordingToolRunner runner;
        QCOMPARE(send(runner), outcome);
        QCOMPARE(runner.commands.size(), runs);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.at(0).icon, Dialogs::Icon::Error);
        QVERIFY2(m_dialogs->lastMessage().contains(QDir::toNativeSeparators(inProgram(broken))),
                 qPrintable(m_dialogs->lastMessage()));
        QVERIFY(m_dialogs->lastMessage().startsWith(QStringLiteral("Cannot start")));
    }

    // No part of a file name can become a command: the tools get it whole.
    void fileNameWithSpacesQuotesAndSubstitution()
    {
        const QString folder = QStringLiteral("it's \"a\" $(touch injected) `touch injected`");
        QVERIFY(QDir(m_shows).mkpath(folder));
        const QString name = QStringLiteral("run me $(touch injected); 'x'.ASM");
        const QString file = saved(folder + QLatin1Char('/') + name);
        const QString hex =
            QDir(m_shows).filePath(folder + QStringLiteral("/run me $(touch injected); 'x'.hex"));

        RecordingToolRunner runner;
        QCOMPARE(send(runner), Outcome::Sent);
        QCOMPARE(recordedArguments(inProgram(QStringLiteral("avra.args"))), QStringList{file});
        QCOMPARE(recordedArguments(inProgram(QStringLiteral("avrdude.args"))),
                 programmerArguments(hex));
        QVERIFY(QFileInfo(hex).isFile());
        for (const QString &where : {m_shows, QDir(m_shows).filePath(folder), m_program,
                                     m_dir->path(), QDir::currentPath()})
            QVERIFY2(!QFileInfo::exists(QDir(where).filePath(QStringLiteral("injected"))),
                     qPrintable(where));
    }

    // The HEX path follows the assembler: a name without ".asm" gets ".hex"
    // added, and a file beside it that merely shares the stem is left alone.
    void nameWithoutAsmSuffix()
    {
        QVERIFY(QDir(m_shows).mkpath(QStringLiteral("My.Data")));
        const QString file = saved(QStringLiteral("My.Data/run"));
        const QString unrelated = QDir(m_shows).filePath(QStringLiteral("My.hex"));
        QVERIFY(writeScript(unrelated, "mine\n"));

        RecordingToolRunner runner;
        QCOMPARE(send(runner), Outcome::Sent);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(recordedArguments(inProgram(QStringLiteral("avrdude.args"))),
                 programmerArguments(file + QStringLiteral(".hex")));
        QCOMPARE(readAll(unrelated), QByteArray("#!/bin/sh\nmine\n"));
    }

    // A sequence that needs more flash than the board has for it is refused
    // before anything else: no question, no save, no tool, no file touched.
    void refusesWhatDoesNotFit_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<bool>("refused");
        QTest::newRow("one word short") << 2 << true;
        QTest::newRow("exactly fits") << 3 << false;
    }

    void refusesWhatDoesNotFit()
    {
        QFETCH(int, words);
        QFETCH(bool, refused);
        m_document->replace(test::threeWordTable());
        const QString file = saved(QStringLiteral("run.asm"));
        const QByteArray before = readAll(file);
        m_document->state().markChanged();
        m_dialogs->answers.push_back(refused ? Answer::Ok : Answer::No);

        ProgrammerSettings settings;
        settings.words = words;
        bool asked = false;
        RecordingToolRunner runner;
        SendOperation operation(
            *m_document, *m_dialogs, runner, [this] { save(); }, ToolLocator(m_program));
        operation.setProgrammerSettings(settings, [&](const ProgrammerSettings &) {
            asked = true;
            return std::optional<ProgrammerSettings>();
        });
        QCOMPARE(operation.run(), refused ? Outcome::TooLarge : Outcome::Declined);
        QCOMPARE(m_dialogs->messages.size(), 1);
        if (refused) {
            QCOMPARE(m_dialogs->lastMessage(),
                     QStringLiteral("The sequence needs 3 words of flash; the board holds 2. "
                                    "Shorten it by 1 words, then send again."));
            QCOMPARE(m_dialogs->messages.at(0).icon, Dialogs::Icon::Error);
            QCOMPARE(m_dialogs->messages.at(0).buttons, Dialogs::Buttons::Ok);
        }
        QVERIFY(!asked);
        QCOMPARE(m_saveCalls, 0);
        QCOMPARE(runner.commands.size(), 0);
        QCOMPARE(readAll(file), before);
        QVERIFY(m_document->state().hasUnsavedChanges());
        QCOMPARE(QDir(m_shows).entryList(QDir::Files), QStringList{QStringLiteral("run.asm")});
    }

    // A stock avrdude on the search path gets the board's part and the
    // chosen programmer; the settings are asked for only when no programmer
    // type has been chosen yet, and cancelling them ends Send before any tool.
    void stockAvrdude_data()
    {
        QTest::addColumn<QString>("storedType");
        QTest::addColumn<QString>("storedPort");
        QTest::addColumn<QString>("answer"); // "-": not asked, "": cancelled, else "TYPE PORT"
        QTest::addColumn<QStringList>("options");

        QTest::newRow("type and port")
            << "arduino"
            << "/dev/ttyUSB0"
            << "-" << QStringLiteral("-c arduino -P /dev/ttyUSB0").split(QLatin1Char(' '));
        QTest::newRow("no port") << "usbasp"
                                 << ""
                                 << "-" << QStringLiteral("-c usbasp").split(QLatin1Char(' '));
        QTest::newRow("asked first")
            << ""
            << ""
            << "avrisp usb" << QStringLiteral("-c avrisp -P usb").split(QLatin1Char(' '));
        QTest::newRow("asked and cancelled") << ""
                                             << "usb"
                                             << "" << QStringList();
    }

    void stockAvrdude()
    {
        QFETCH(QString, storedType);
        QFETCH(QString, storedPort);
        QFETCH(QString, answer);
        QFETCH(QStringList, options);

        saved(QStringLiteral("run.asm"));
        const QString bin = m_dir->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::rename(inProgram(QStringLiteral("avrdude-44")),
                              QDir(bin).filePath(QStringLiteral("avrdude"))));
        const QString part = inProgram(ToolLocator::partFileName());
        QVERIFY(writeScript(part, "# part\n"));
        const QString hex = QDir(m_shows).filePath(QStringLiteral("run.hex"));

        ProgrammerSettings stored;
        stored.programmer = storedType;
        stored.port = storedPort;
        QList<ProgrammerSettings> asked;
        RecordingToolRunner runner;
        SendOperation operation(
            *m_document, *m_dialogs, runner, [this] { save(); }, ToolLocator(m_program, {bin}));
        operation.setProgrammerSettings(stored, [&](const ProgrammerSettings &current) {
            asked.append(current);
            std::optional<ProgrammerSettings> result;
            if (!answer.isEmpty()) {
                result = current;
                result->programmer = answer.section(QLatin1Char(' '), 0, 0);
                result->port = answer.section(QLatin1Char(' '), 1);
            }
            return result;
        });
        const Outcome outcome = operation.run();

        QCOMPARE(asked.size(), answer == QStringLiteral("-") ? 0 : 1);
        if (!asked.isEmpty())
            QCOMPARE(asked.first(), stored);
        if (options.isEmpty()) {
            QCOMPARE(outcome, Outcome::SettingsCancelled);
            QCOMPARE(runner.commands.size(), 0);
            QVERIFY(m_dialogs->messages.isEmpty());
            return;
        }
        QCOMPARE(outcome, Outcome::Sent);
        QCOMPARE(recordedArguments(inProgram(QStringLiteral("avra.args"))).size(), 1);
        QCOMPARE(recordedArguments(QDir(bin).filePath(QStringLiteral("avrdude.args"))),
                 QStringList({QStringLiteral("-C"), QLatin1Char('+') + part}) + options +
                     programmerArguments(hex));
    }

    void stockAvrdudeWithoutThePartFile()
    {
        saved(QStringLiteral("run.asm"));
        const QString bin = m_dir->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::rename(inProgram(QStringLiteral("avrdude-44")),
                              QDir(bin).filePath(QStringLiteral("avrdude"))));
        m_dialogs->answers.push_back(Answer::Ok);
        RecordingToolRunner runner;
        QCOMPARE(send(runner, ToolLocator(m_program, {bin})), Outcome::ToolMissing);
        QCOMPARE(runner.commands.size(), 0);
        QVERIFY2(m_dialogs->lastMessage().contains(ToolLocator::partFileName()),
                 qPrintable(m_dialogs->lastMessage()));
    }

    // How the programmer ended decides the closing sentence; a failure quotes
    // the first line of its output that reports an error.
    void programmerOutcome_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("programState");

        QTest::newRow("written") << QByteArray("echo 'Writing | ## | 100%'\nexit 0\n")
                                 << Outcome::Sent << "Sent 3 words to the board."
                                 << "Done";
        QTest::newRow("error line quoted")
            << QByteArray("echo 'avrdude: Version 7.1'\n"
                          "echo 'avrdude OS error: cannot open port /dev/ttyUSB0' >&2\n"
                          "echo 'avrdude error: unable to open programmer'\n"
                          "echo; echo 'avrdude done.  Thank you.'\nexit 1\n")
            << Outcome::ProgrammingFailed
            << "Programming failed: avrdude-44 exited with code 1.\n"
               "avrdude OS error: cannot open port /dev/ttyUSB0"
            << "Failed";
        QTest::newRow("older wording") << QByteArray("echo 'avrdude: stk500_recv(): programmer is "
                                                     "not responding'\nexit 1\n")
                                       << Outcome::ProgrammingFailed
                                       << "Programming failed: avrdude-44 exited with code 1.\n"
                                          "avrdude: stk500_recv(): programmer is not responding"
                                       << "Failed";
        QTest::newRow("no error line")
            << QByteArray("echo hello\nexit 2\n") << Outcome::ProgrammingFailed
            << "Programming failed: avrdude-44 exited with code 2."
            << "Failed";
        QTest::newRow("crashed") << QByteArray("kill -SEGV $$\n") << Outcome::ProgrammingFailed
                                 << "Programming failed: avrdude-44 crashed."
                                 << "Failed";
    }

    void programmerOutcome()
    {
        QFETCH(QByteArray, script);
        QFETCH(Outcome, outcome);
        QFETCH(QString, sentence);
        QFETCH(QString, programState);

        m_document->replace(test::threeWordTable());
        saved(QStringLiteral("run.asm"));
        QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")), script));
        RecordingToolRunner runner;
        RecordingProgress progress;
        SendOperation operation(
            *m_document, *m_dialogs, runner, [this] { save(); }, ToolLocator(m_program));
        operation.setProgress(&progress);
        QCOMPARE(operation.run(), outcome);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(progress.sentences, QStringList{sentence});
        QCOMPARE(progress.states,
                 (QStringList{QStringLiteral("Assemble Running"), QStringLiteral("Program Waiting"),
                              QStringLiteral("Assemble Done"), QStringLiteral("Program Running"),
                              QStringLiteral("Program ") + programState}));
    }

    // An assembler stopped by the user or crashed may leave part of a HEX
    // file; it is not programmed.
    void assemblerEndedEarly_data()
    {
        QTest::addColumn<ToolResult::Status>("status");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("state");
        QTest::newRow("stopped") << ToolResult::Status::Stopped << Outcome::AssemblyStopped << ""
                                 << "Stopped: nothing was sent to the board."
                                 << "Stopped";
        QTest::newRow("crashed") << ToolResult::Status::Crashed << Outcome::AssemblyFailed
                                 << "Assembly failed!"
                                 << "Assembly failed!"
                                 << "Failed";
    }

    void assemblerEndedEarly()
    {
        QFETCH(ToolResult::Status, status);
        QFETCH(Outcome, outcome);
        QFETCH(QString, message);
        QFETCH(QString, sentence);
        QFETCH(QString, state);

        saved(QStringLiteral("run.asm"));
        if (!message.isEmpty())
            m_dialogs->answers.push_back(Answer::Ok);
        RecordingToolRunner runner;
        runner.reportedStatuses = {status}; // after the stand-in has written its HEX file
        RecordingProgress progress;
        SendOperation operation(
            *m_document, *m_dialogs, runner, [this] { save(); }, ToolLocator(m_program));
        operation.setProgress(&progress);
        QCOMPARE(operation.run(), outcome);
        QCOMPARE(runner.commands.size(), 1);
        QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
        QVERIFY(!QFileInfo::exists(QDir(m_shows).filePath(QStringLiteral("run.hex"))));
        QCOMPARE(m_dialogs->lastMessage(), message);
        QCOMPARE(progress.sentences, QStringList{sentence});
        QCOMPARE(progress.states.last(), QStringLiteral("Assemble ") + state);
    }

    // Ticks are held while Send runs and not made up; afterwards the line in
    // view gets its full duration again.
    void playbackIsPausedDuringSend()
    {
        saved(QStringLiteral("run.asm"));
        m_document->setCurrentLine(2);
        SequenceEditor editor(*m_document);
        Playback playback(editor);
        playback.start();
        QVERIFY(playback.isTimerActive());

        RecordingToolRunner runner;
        runner.playback = &playback;
        QCOMPARE(send(runner, ToolLocator(m_program), &playback), Outcome::Sent);
        QCOMPARE(runner.timerActiveDuringRun, (QList<bool>{false, false}));
        QVERIFY(playback.isRunning());
        QVERIFY(!playback.isPaused());
        QVERIFY(playback.isTimerActive());
        QCOMPARE(playback.timerInterval(), 500);
        QCOMPARE(m_document->currentLine(), 2);
    }

    void playbackResumesAfterAnEarlyEnd()
    {
        m_document->state().markChanged();
        m_dialogs->answers.push_back(Answer::No);
        SequenceEditor editor(*m_document);
        Playback playback(editor);
        playback.start();
        RecordingToolRunner runner;
        runner.playback = &playback;
        QCOMPARE(send(runner, ToolLocator(m_program), &playback), Outcome::Declined);
        QVERIFY(!playback.isPaused());
        QVERIFY(playback.isRunning());
    }

private:
    QString inProgram(const QString &name) const { return QDir(m_program).filePath(name); }

    void assemblerWritesHex(bool writes)
    {
        const QString flag = inProgram(QStringLiteral("avra.write"));
        if (writes)
            QVERIFY(writeScript(flag, QByteArray()));
        else
            QFile::remove(flag);
    }

    // Writes the sequence to shows/relative and makes it the saved document.
    QString saved(const QString &relative)
    {
        const QString path = QDir(m_shows).filePath(relative);
        QString error;
        if (!saveSequenceFile(m_document->table(), path, &error))
            qFatal("cannot write %s: %s", qPrintable(path), qPrintable(error));
        m_document->state().setFileName(path);
        m_document->state().clearChangedMarker();
        return path;
    }

    // The editor's Save as Send sees it: asks for a name when there is none,
    // clears the marker only when the file was written.
    void save()
    {
        ++m_saveCalls;
        auto &state = m_document->state();
        QString path = state.fileName();
        if (path.isEmpty()) {
            const auto chosen = m_dialogs->saveFileName(QString());
            if (!chosen)
                return;
            path = *chosen;
            state.setFileName(path);
        }
        // A write that fails for real: the folder it names does not exist.
        if (!m_saveWrites)
            path = m_dir->filePath(QStringLiteral("no such folder/x.asm"));
        QString error;
        if (saveSequenceFile(m_document->table(), path, &error))
            state.clearChangedMarker();
    }

    Outcome send(ToolRunner &runner, std::optional<ToolLocator> locator = std::nullopt,
                 Playback *playback = nullptr)
    {
        SendOperation operation(
            *m_document, *m_dialogs, runner, [this] { save(); },
            locator.value_or(ToolLocator(m_program)), playback);
        return operation.run();
    }

    std::optional<QTemporaryDir> m_dir;
    QString m_program;
    QString m_shows;
    std::optional<Document> m_document;
    std::optional<ScriptedDialogs> m_dialogs;
    int m_saveCalls = 0;
    bool m_saveWrites = true;
};

QTEST_GUILESS_MAIN(SendOperationTest)
#include "SendOperationTest.moc"
