#include "window/send/SendWindow.h"

#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "send/ToolLocator.h"
#include "support/IntelHex.h"
#include "support/RecordingToolRunner.h"
#include "support/StandInTools.h"
#include "window/controls/ClickLabel.h"
#include "window/send/DialogToolRunner.h"
#include "window/send/ProgrammerSettingsDialog.h"
#include "window/send/SendCommand.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <unistd.h>

using namespace glowline;
using glowline::test::control;
using glowline::test::hexWords;
using glowline::test::readAll;
using glowline::test::recordedArguments;
using glowline::test::writeScript;
using Answer = Dialogs::Answer;

namespace {

// A stand-in assembler that, besides its arguments, keeps a copy of the file
// it was given and notes whether a HEX file was already there when it
// started. It writes the HEX file where the real assembler would when
// "avra.write" lies beside it, and takes half a second when "avra.sleep"
// does.
const QByteArray kAssembler = R"(dir=$(dirname "$0")
printf '%s\0' "$@" > "$dir/avra.args"
case "$1" in
    *.[aA][sS][mM]) out="${1%????}.hex" ;;
    *) out="$1.hex" ;;
esac
if [ -e "$out" ]; then echo yes > "$dir/avra.hexbefore"; else echo no > "$dir/avra.hexbefore"; fi
cp "$1" "$dir/avra.input"
if [ -f "$dir/avra.sleep" ]; then sleep 0.5; fi
if [ -f "$dir/avra.write" ]; then printf ':00000001FF\n' > "$out"; fi
exit 0
)";

QStringList programmerArguments(const QString &hexPath)
{
    return {QStringLiteral("-p"), QStringLiteral("m8b"), QStringLiteral("-U"),
            QStringLiteral("flash:w:") + hexPath + QStringLiteral(":i")};
}

} // namespace

class SendWindowTest final : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveQuestion_data();
    void saveQuestion();
    void fileChangedByAnotherProgramIsSavedFirst_data();
    void fileChangedByAnotherProgramIsSavedFirst();
    void hexBesideTheFile_data();
    void hexBesideTheFile();
    void assemblyFailed();
    void playbackIsHeldDuringSend_data();
    void playbackIsHeldDuringSend();
    void typedDurationIsSentToo_data();
    void typedDurationIsSentToo();
    void paintedSequenceThroughTheRealAssembler();
    void sendWindowRunsBothStages();
    void programmingFailureQuotesTheErrorLine();
    void assemblerErrorFailsTheSend();
    void longOutputLeavesItsLastMegabyte();
    void stopEndsTheProgrammer();
    void stockAvrdudeAsksForTheProgrammerOnce();
    void programmerListComesWhileTheDialogIsOpen();
    void unusableSettingsFileIsToldOnce_data();
    void unusableSettingsFileIsToldOnce();
    void programmerSettingsDialog_data();
    void programmerSettingsDialog();

private:
    // What the Send window showed.
    struct Seen
    {
        std::set<int> progress;
        bool closeEnabledWhileRunning = false;
        bool closedWhileRunning = false;
        bool modal = false;
        QString sentence;
        QString assemble;
        QString program;
        QString output;
        QString lineInView;
        bool lineVisible = false;
    };
    Seen sendInWindow(const std::function<void(SendWindow &)> &watch);

    QString inProgram(const QString &name) const { return QDir(m_program).filePath(name); }
    QString inShows(const QString &name) const { return QDir(m_shows).filePath(name); }
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }
    QString fileNameShown() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFilename"))->text();
    }
    void click(const QString &button)
    {
        QTest::mouseClick(control<QPushButton>(*m_window, button), Qt::LeftButton);
    }
    // Saves the window's sequence as name in the shows folder, through Save.
    QString saveUnder(const QString &name);
    // Paints LED 0 of the current line with the active colour: an edit.
    void edit();
    void checkNothingRan();
    void prepareWindow(MainWindow &window) override;

    QTemporaryDir m_settingsDir;
    std::optional<QTemporaryDir> m_dir;
    QString m_program;
    QString m_shows;
    std::optional<test::RecordingToolRunner> m_runner;
    bool m_okQueuedAtStart = false; // for a message as the window comes up
};

void SendWindowTest::initTestCase()
{
    // The programmer settings are kept in a folder of the test's own.
    QVERIFY(m_settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
}

void SendWindowTest::init()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Glowline"),
              QStringLiteral("Glowline"))
        .clear();
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    const QDir dir(m_dir->path());
    QVERIFY(dir.mkpath(QStringLiteral("program folder")));
    QVERIFY(dir.mkpath(QStringLiteral("shows")));
    QVERIFY(dir.mkpath(QStringLiteral("empty")));
    m_program = m_dir->filePath(QStringLiteral("program folder"));
    m_shows = m_dir->filePath(QStringLiteral("shows"));
    QVERIFY(writeScript(inProgram(QStringLiteral("avra")), kAssembler));
    QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")), test::kStandInProgrammer));
    QVERIFY(writeScript(inProgram(QStringLiteral("avra.write")), ""));

    m_runner.emplace();
    m_okQueuedAtStart = false;
    if (!openWindow())
        return;
    test::loadTable(*m_window, test::patternTable(3), 2);
}

void SendWindowTest::prepareWindow(MainWindow &window)
{
    if (m_okQueuedAtStart)
        m_dialogs->answers.push_back(Answer::Ok);
    m_runner->playback = &window.playback();
    // Only the stand-ins: the search path holds an empty folder.
    window.setSendTools(*m_runner,
                        ToolLocator(m_program, {m_dir->filePath(QStringLiteral("empty"))}));
}

void SendWindowTest::cleanup()
{
    closeWindow();
    m_runner.reset();
    m_dir.reset();
}

QString SendWindowTest::saveUnder(const QString &name)
{
    const QString path = inShows(name);
    m_window->document().state().setFileName(path);
    click(QStringLiteral("cmdSaveFile"));
    return path;
}

void SendWindowTest::edit()
{
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblLED", 0), Qt::LeftButton);
}

void SendWindowTest::checkNothingRan()
{
    QVERIFY(m_runner->programs().isEmpty());
    QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avra.args"))));
    QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
}

void SendWindowTest::saveQuestion_data()
{
    QTest::addColumn<QString>("file"); // "saved", "none", "folder" (cannot be written)
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");         // -1: no question expected
    QTest::addColumn<QString>("saveDialog"); // "-": not shown, "": cancelled
    QTest::addColumn<bool>("sent");

    const int yes = int(Answer::Yes);
    QTest::newRow("saved") << "saved" << false << -1 << "-" << true;
    QTest::newRow("changed, Yes") << "saved" << true << yes << "-" << true;
    QTest::newRow("changed, No") << "saved" << true << int(Answer::No) << "-" << false;
    QTest::newRow("changed, Yes, write fails") << "folder" << true << yes << "-" << false;
    QTest::newRow("never saved, Yes, named") << "none" << false << yes << "named.asm" << true;
    QTest::newRow("never saved, Yes, Save dialog cancelled")
        << "none" << false << yes << "" << false;
    QTest::newRow("never saved and changed, Yes, named")
        << "none" << true << yes << "named.asm" << true;
}

void SendWindowTest::saveQuestion()
{
    QFETCH(QString, file);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(QString, saveDialog);
    QFETCH(bool, sent);

    QString path;
    if (file == QStringLiteral("saved")) {
        path = saveUnder(QStringLiteral("run.asm"));
        QCOMPARE(marker(), QString());
    } else if (file == QStringLiteral("folder")) {
        path = inShows(QStringLiteral("a folder.asm"));
        QVERIFY(QDir(m_shows).mkdir(QStringLiteral("a folder.asm")));
        m_window->document().state().setFileName(path);
    }
    const QByteArray before = readAll(path);
    if (changed)
        edit();
    const QString markerBefore = marker();

    if (answer >= 0)
        m_dialogs->answers.push_back(Answer(answer));
    if (file == QStringLiteral("folder"))
        m_dialogs->answers.push_back(Answer::Ok);
    if (saveDialog != QStringLiteral("-"))
        m_dialogs->fileNames.push_back(
            saveDialog.isEmpty() ? std::nullopt : std::optional<QString>(inShows(saveDialog)));

    click(QStringLiteral("cmdSendFile"));

    if (answer >= 0) {
        QVERIFY(!m_dialogs->messages.isEmpty());
        const auto &question = m_dialogs->messages.first();
        QCOMPARE(question.text, QStringLiteral("File not saved. Save now and continue?"));
        QCOMPARE(question.icon, Dialogs::Icon::Question);
        QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
    }
    if (file == QStringLiteral("folder")) {
        QCOMPARE(m_dialogs->messages.size(), 2);
        QVERIFY(m_dialogs->lastMessage().startsWith(QStringLiteral("Failed to save file: \r\n")));
    } else {
        QCOMPARE(m_dialogs->messages.size(), answer >= 0 ? 1 : 0);
    }
    QCOMPARE(m_dialogs->saveInitialNames.size(), saveDialog == QStringLiteral("-") ? 0 : 1);

    if (!sent) {
        checkNothingRan();
        QCOMPARE(marker(), markerBefore);
        QCOMPARE(fileNameShown(), path);
        QCOMPARE(readAll(path), before);
        return;
    }
    if (path.isEmpty())
        path = inShows(saveDialog);
    QCOMPARE(fileNameShown(), path);
    QCOMPARE(marker(), QString());
    // The assembler got the file as it was saved, with the edit in it.
    const QByteArray saved = readAll(path);
    QVERIFY(saved.startsWith(".cseg\r\n.org 0x0000\r\n;Line 1\r\n"));
    QCOMPARE(saved.count(";Line "), 3);
    if (changed)
        QVERIFY(saved != before);
    QCOMPARE(readAll(inProgram(QStringLiteral("avra.input"))), saved);
    QCOMPARE(recordedArguments(inProgram(QStringLiteral("avra.args"))), QStringList{path});
    const QString hex = inShows(QStringLiteral("%1.hex").arg(QFileInfo(path).completeBaseName()));
    QCOMPARE(recordedArguments(inProgram(QStringLiteral("avrdude.args"))),
             programmerArguments(hex));
    QCOMPARE(m_runner->programs(), (QStringList{inProgram(QStringLiteral("avra")),
                                                inProgram(QStringLiteral("avrdude-44"))}));
    QVERIFY(QFileInfo(hex).isFile());
}

// The board gets what the window shows, not what another program left in
// the file since the editor read or wrote it.
void SendWindowTest::fileChangedByAnotherProgramIsSavedFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("sent");
    QTest::newRow("overwrite, sent") << int(Answer::Yes) << true;
    QTest::newRow("keep theirs, nothing sent") << int(Answer::No) << false;
}

void SendWindowTest::fileChangedByAnotherProgramIsSavedFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, sent);
    const QString path = inShows(QStringLiteral("run.asm"));
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSaveFileAs"));
    const QByteArray shown = readAll(path);
    const QByteArray theirs = ".cseg\r\n.org 0x0000\r\n;Line 1\r\n.dw 0xF001\r\n";
    QVERIFY(test::writeAll(path, theirs));
    QCOMPARE(marker(), QString());
    m_dialogs->answers.push_back(Answer(answer));

    click(QStringLiteral("cmdSendFile"));

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->lastMessage(),
             path + QStringLiteral(" was changed by another program since it was opened. "
                                   "Overwrite it?"));
    if (!sent) {
        checkNothingRan();
        QCOMPARE(readAll(path), theirs);
        return;
    }
    QCOMPARE(readAll(path), shown);
    QCOMPARE(readAll(inProgram(QStringLiteral("avra.input"))), shown);
}

// The programmer gets the HEX file the assembler wrote beside the sequence
// file, whatever the file is called; a HEX file from an earlier run is gone
// before the assembler starts, and nothing in a name is run as a command.
void SendWindowTest::hexBesideTheFile_data()
{
    QTest::addColumn<QString>("name");      // in the shows folder
    QTest::addColumn<QString>("hex");       // in the shows folder
    QTest::addColumn<QString>("bystander"); // a file that must stay as it is

    QTest::newRow("run.asm") << "run.asm"
                             << "run.hex"
                             << "run.asm.hex";
    QTest::newRow("upper-case suffix") << "UP.ASM"
                                       << "UP.hex"
                                       << "";
    QTest::newRow("other suffix") << "seq.inc"
                                  << "seq.inc.hex"
                                  << "seq.hex";
    QTest::newRow("no suffix, dotted folder") << "My.Data/run"
                                              << "My.Data/run.hex"
                                              << "My.hex";
    QTest::newRow("spaces, quotes, substitution")
        << "it's \"a\" $(touch injected)/run me $(touch injected); 'x'.asm"
        << "it's \"a\" $(touch injected)/run me $(touch injected); 'x'.hex"
        << "";
    QTest::newRow("backquotes and semicolon") << "`touch injected`; run.asm"
                                              << "`touch injected`; run.hex"
                                              << "";
}

void SendWindowTest::hexBesideTheFile()
{
    QFETCH(QString, name);
    QFETCH(QString, hex);
    QFETCH(QString, bystander);

    const QString path = inShows(name);
    const QString hexPath = inShows(hex);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(writeScript(hexPath, "stale\n"));
    if (!bystander.isEmpty())
        QVERIFY(writeScript(inShows(bystander), "mine\n"));

    // A sequence that has never been saved: Send asks, Save As names it.
    m_dialogs->answers.push_back(Answer::Yes);
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSendFile"));

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(fileNameShown(), path);
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(readAll(inProgram(QStringLiteral("avra.hexbefore"))), QByteArray("no\n"));
    QCOMPARE(recordedArguments(inProgram(QStringLiteral("avra.args"))), QStringList{path});
    QCOMPARE(recordedArguments(inProgram(QStringLiteral("avrdude.args"))),
             programmerArguments(hexPath));
    QCOMPARE(readAll(hexPath), QByteArray(":00000001FF\n"));
    if (!bystander.isEmpty())
        QCOMPARE(readAll(inShows(bystander)), QByteArray("#!/bin/sh\nmine\n"));
    for (const QString &where :
         {m_shows, QFileInfo(path).absolutePath(), m_program, m_dir->path(), QDir::currentPath()})
        QVERIFY2(!QFileInfo::exists(QDir(where).filePath(QStringLiteral("injected"))),
                 qPrintable(where));
}

void SendWindowTest::assemblyFailed()
{
    const QString path = saveUnder(QStringLiteral("run.asm"));
    const QString hexPath = inShows(QStringLiteral("run.hex"));
    QVERIFY(writeScript(hexPath, "stale\n"));
    QVERIFY(QFile::remove(inProgram(QStringLiteral("avra.write"))));
    m_dialogs->answers.push_back(Answer::Ok);

    click(QStringLiteral("cmdSendFile"));

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().text, QStringLiteral("Assembly failed!"));
    QCOMPARE(m_dialogs->messages.first().icon, Dialogs::Icon::Error);
    QCOMPARE(m_dialogs->messages.first().buttons, Dialogs::Buttons::Ok);
    QCOMPARE(readAll(inProgram(QStringLiteral("avra.hexbefore"))), QByteArray("no\n"));
    QVERIFY(!QFileInfo::exists(hexPath));
    QCOMPARE(m_runner->programs(), QStringList{inProgram(QStringLiteral("avra"))});
    QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
    QCOMPARE(fileNameShown(), path);
    QCOMPARE(marker(), QString());
}

// No tick is handled while Send runs. A tick that fell due meanwhile is taken
// once afterwards, and the line it brings gets its full duration from then;
// when Send ended sooner, the line in view goes on for the time it had left.
void SendWindowTest::playbackIsHeldDuringSend_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("runs");
    QTest::newRow("both tools ran") << "sent" << 2;
    QTest::newRow("assembly failed") << "failed" << 1;
    QTest::newRow("save declined") << "declined" << 0;
}

void SendWindowTest::playbackIsHeldDuringSend()
{
    QFETCH(QString, how);
    QFETCH(int, runs);

    LineTable table = test::patternTable(3);
    for (int n = 1; n <= 3; ++n)
        table.setCell(kDurationColumn, n, 30);
    test::loadTable(*m_window, table, 2);
    saveUnder(QStringLiteral("run.asm"));
    // The assembler takes longer than the line's 0.3 s.
    QVERIFY(writeScript(inProgram(QStringLiteral("avra.sleep")), ""));
    if (how == QStringLiteral("failed")) {
        QVERIFY(QFile::remove(inProgram(QStringLiteral("avra.write"))));
        m_dialogs->answers.push_back(Answer::Ok);
    } else if (how == QStringLiteral("declined")) {
        edit();
        m_dialogs->answers.push_back(Answer::No);
    }

    auto *testButton = control<QPushButton>(*m_window, QStringLiteral("cmdTest"));
    testButton->click();
    QVERIFY(m_window->playback().isTimerActive());
    control<QPushButton>(*m_window, QStringLiteral("cmdSendFile"))->click();

    QCOMPARE(m_runner->pausedDuringRun, QList<bool>(runs, true));
    QCOMPARE(m_runner->timerActiveDuringRun, QList<bool>(runs, false));
    QCOMPARE(testButton->text(), QStringLiteral("Stop"));
    QVERIFY(m_window->playback().isRunning());
    QVERIFY(!m_window->playback().isPaused());
    QVERIFY(m_window->playback().isTimerActive());
    QCOMPARE(m_window->playback().timerInterval(), 300);
    QVERIFY(m_window->playback().remainingTime() > 0);
    // The tools outlast the line's 0.3 s; declining the save does not.
    const int shown = runs > 0 ? 3 : 2;
    QCOMPARE(control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->value(), shown);
    // And playback goes on.
    QTRY_COMPARE_WITH_TIMEOUT(control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->value(),
                              shown % 3 + 1, 10000);
}

// A duration still being typed is committed before Send decides whether the
// file is saved, so the board gets what the window shows.
void SendWindowTest::typedDurationIsSentToo_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("Send button") << "cmdSendFile";
    QTest::newRow("Send menu") << "actSend";
    QTest::newRow("Ctrl+U") << "Ctrl+U";
}

void SendWindowTest::typedDurationIsSentToo()
{
    QFETCH(QString, trigger);

    const QString path = saveUnder(QStringLiteral("run.asm"));
    auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
    box->setFocus(Qt::MouseFocusReason);
    QVERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("1.5"));
    m_dialogs->answers.push_back(Answer::Yes);

    if (trigger == QStringLiteral("Ctrl+U"))
        QTest::keyClick(box, Qt::Key_U, Qt::ControlModifier);
    else if (trigger.startsWith(QStringLiteral("act")))
        control<QAction>(*m_window, trigger)->trigger();
    else
        click(trigger);

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->lastMessage(), QStringLiteral("File not saved. Save now and continue?"));
    QCOMPARE(marker(), QString());
    // Line 2 of the pattern now lasts 1.50 s: 150 is 0x096.
    const QByteArray input = readAll(inProgram(QStringLiteral("avra.input")));
    QVERIFY2(input.contains(".dw 0xF096\r\n;Line 3\r\n"), input.constData());
    QCOMPARE(input, readAll(path));
}

// From the user's clicks to what the programmer is given, with the assembler
// the system installs: the HEX file beside the sequence file holds the words
// of the lines painted in the window.
void SendWindowTest::paintedSequenceThroughTheRealAssembler()
{
    if (QStandardPaths::findExecutable(QStringLiteral("avra")).isEmpty())
        QSKIP("avra is not installed (scripts/test installs it)");
    QVERIFY(QFile::remove(inProgram(QStringLiteral("avra"))));
    m_window->setSendTools(*m_runner, ToolLocator(m_program));
    test::loadTable(*m_window, LineTable(), 1);

    // Line 1: LED 4 red for 0.50 s; line 2: all black, duration 0.
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 5), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblLED", 4), Qt::LeftButton);
    auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("0.5"));
    click(QStringLiteral("cmdAddLine"));
    QCOMPARE(m_window->document().lineCount(), 2);

    const QString path = inShows(QStringLiteral("painted.asm"));
    m_dialogs->answers.push_back(Answer::Yes);
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSendFile"));

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(marker(), QString());
    QCOMPARE(m_runner->programs().size(), 2);
    QVERIFY(m_runner->programs().first() != inProgram(QStringLiteral("avra")));
    const QString hex = inShows(QStringLiteral("painted.hex"));
    QVERIFY(QFileInfo(hex).isFile());
    // Line 1 against line 2: LED 4 becomes 0xF00, then the duration 50;
    // line 2 against line 1: LED 4 back to black, and no duration word.
    QCOMPARE(hexWords(readAll(hex)).value_or(QList<quint16>()),
             (QList<quint16>{0x4F00, 0xF032, 0x4000}));
    QCOMPARE(recordedArguments(inProgram(QStringLiteral("avrdude.args"))),
             programmerArguments(hex));
}

// Runs Send with its window and calls watch with the window every few
// milliseconds until the command has ended; then reads the window and closes
// it with Close.
SendWindowTest::Seen SendWindowTest::sendInWindow(const std::function<void(SendWindow &)> &watch)
{
    DialogToolRunner runner(m_window);
    m_window->setSendTools(runner,
                           ToolLocator(m_program, {m_dir->filePath(QStringLiteral("empty"))}));
    Seen seen;
    QTimer poll;
    connect(&poll, &QTimer::timeout, m_window, [&] {
        auto *window = qobject_cast<SendWindow *>(QApplication::activeModalWidget());
        if (window == nullptr)
            return;
        auto *close = control<QPushButton>(*window, QStringLiteral("cmdClose"));
        seen.progress.insert(control<QProgressBar>(*window, QStringLiteral("prgProgram"))->value());
        if (!window->hasFinished()) {
            seen.closeEnabledWhileRunning |= close->isEnabled();
            // Escape and the close box do nothing while the command runs.
            QTest::keyClick(window, Qt::Key_Escape);
            window->close();
            seen.closedWhileRunning |= !window->isVisible();
            watch(*window);
            return;
        }
        poll.stop();
        seen.modal = window->isModal();
        seen.sentence = control<QLabel>(*window, QStringLiteral("lblResult"))->text();
        seen.assemble = control<QLabel>(*window, QStringLiteral("lblAssembleState"))->text();
        seen.program = control<QLabel>(*window, QStringLiteral("lblProgramState"))->text();
        auto *output = control<QPlainTextEdit>(*window, QStringLiteral("txtOutput"));
        seen.output = output->toPlainText();
        seen.lineInView = output->textCursor().block().text();
        seen.lineVisible = output->viewport()->rect().contains(output->cursorRect());
        close->click();
    });
    poll.start(5);
    click(QStringLiteral("cmdSendFile"));
    poll.stop();
    m_window->setSendTools(*m_runner,
                           ToolLocator(m_program, {m_dir->filePath(QStringLiteral("empty"))}));
    return seen;
}

// Both stages run one after the other with no click between; the
// programmer's marks move the progress bar, and Close ends it all.
void SendWindowTest::sendWindowRunsBothStages()
{
    LineTable table(2); // LED 4 red for 0.50 s, then black: three words
    table.setCell(4, 1, 0xF00);
    table.setCell(kDurationColumn, 1, 50);
    test::loadTable(*m_window, table, 1);
    saveUnder(QStringLiteral("run.asm"));
    QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")), R"(dir=$(dirname "$0")
printf '%s\0' "$@" > "$dir/avrdude.args"
echo "avrdude: AVR device initialized and ready to accept instructions"
printf 'Writing | '
for i in 1 2 3 4 5 6 7 8 9 10; do printf '#####'; sleep 0.05; done
printf ' | 100%% 0.50s\n\navrdude done.  Thank you.\n'
)"));

    const Seen seen = sendInWindow([](SendWindow &) {});
    QCOMPARE(seen.sentence, QStringLiteral("Sent 3 words to the board."));
    QCOMPARE(seen.assemble, QStringLiteral("Done"));
    QCOMPARE(seen.program, QStringLiteral("Done"));
    QVERIFY(seen.modal);
    QVERIFY(!seen.closeEnabledWhileRunning);
    QVERIFY(!seen.closedWhileRunning);
    QVERIFY(seen.output.contains(QStringLiteral("avrdude: AVR device initialized")));
    QVERIFY(seen.output.contains(QStringLiteral("-p m8b -U")));
    QVERIFY(seen.progress.contains(100));
    QVERIFY2(std::any_of(seen.progress.cbegin(), seen.progress.cend(),
                         [](int value) { return value > 0 && value < 100; }),
             "the bar went straight to its end");
    QVERIFY(QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

// A failed programmer's sentence quotes its first error line, and the
// output below is scrolled to that line.
void SendWindowTest::programmingFailureQuotesTheErrorLine()
{
    saveUnder(QStringLiteral("run.asm"));
    QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")), R"(
i=0; while [ $i -lt 80 ]; do echo "avrdude: programmer type $i"; i=$((i+1)); done
echo "avrdude error: programmer is not responding" >&2
i=0; while [ $i -lt 80 ]; do echo "avrdude: listing $i"; i=$((i+1)); done
exit 1
)"));
    const Seen seen = sendInWindow([](SendWindow &) {});
    QCOMPARE(seen.sentence, QStringLiteral("Programming failed: avrdude-44 exited with code 1.\n"
                                           "avrdude error: programmer is not responding"));
    QCOMPARE(seen.program, QStringLiteral("Failed"));
    QCOMPARE(seen.lineInView, QStringLiteral("avrdude error: programmer is not responding"));
    QVERIFY(seen.lineVisible);
}

// An assembler that reports an error fails the Send even when it wrote a
// HEX file; its output stays in the window, and nothing is programmed.
void SendWindowTest::assemblerErrorFailsTheSend()
{
    saveUnder(QStringLiteral("run.asm"));
    QVERIFY(
        writeScript(inProgram(QStringLiteral("avra")), R"(printf ':00000001FF\n' > "${1%????}.hex"
echo "$1(3) : Error   : Unknown directive: .dx"
exit 1
)"));
    m_dialogs->answers.push_back(Answer::Ok);
    const Seen seen = sendInWindow([](SendWindow &) {});
    QCOMPARE(m_dialogs->lastMessage(), QStringLiteral("Assembly failed!"));
    QCOMPARE(seen.sentence, QStringLiteral("Assembly failed!"));
    QCOMPARE(seen.assemble, QStringLiteral("Failed"));
    QCOMPARE(seen.program, QStringLiteral("Waiting"));
    QVERIFY2(seen.output.contains(QStringLiteral("run.asm(3) : Error   : Unknown directive: .dx\n"
                                                 "avra exited with code 1")),
             qPrintable(seen.output));
    QVERIFY(!QFileInfo::exists(inProgram(QStringLiteral("avrdude.args"))));
    QVERIFY(!QFileInfo::exists(inShows(QStringLiteral("run.hex"))));
}

// Output of more than a megabyte in one line leaves its last megabyte in the
// window, after a line that says how much is not shown.
void SendWindowTest::longOutputLeavesItsLastMegabyte()
{
    const QString path = saveUnder(QStringLiteral("run.asm"));
    QVERIFY(
        writeScript(inProgram(QStringLiteral("avra")), R"(printf ':00000001FF\n' > "${1%????}.hex"
head -c 1100000 /dev/zero | tr '\0' x
echo END
)"));
    const Seen seen = sendInWindow([](SendWindow &) {});
    QVERIFY(seen.sentence.startsWith(QStringLiteral("Sent ")));
    static const QRegularExpression notice(QStringLiteral("^… (\\d+) earlier bytes not shown\n"));
    const QRegularExpressionMatch match = notice.match(seen.output);
    QVERIFY2(match.hasMatch(), qPrintable(seen.output.left(100)));
    const QString shown = seen.output.mid(match.capturedLength());
    QVERIFY(shown.size() <= 1024 * 1024);
    QVERIFY(shown.contains(QStringLiteral("xxxEND\navra exited with code 0\n")));
    QVERIFY(shown.endsWith(QStringLiteral("avrdude-44 exited with code 0\n")));
    // The notice counts the rest of what the window was given.
    const QString assemble =
        ToolCommand::assembler(inProgram(QStringLiteral("avra")), path).displayLine();
    const QString program = ToolCommand::programmer(inProgram(QStringLiteral("avrdude-44")),
                                                    inShows(QStringLiteral("run.hex")))
                                .displayLine();
    const qsizetype given =
        QStringLiteral("> %1\n").arg(assemble).size() + 1100000 +
        QStringLiteral("END\navra exited with code 0\n\n> %1\navrdude-44 exited with code 0\n")
            .arg(program)
            .size();
    QCOMPARE(match.captured(1).toLongLong() + shown.size(), given);
}

// Stop ends the programmer that is running; the stage says so.
void SendWindowTest::stopEndsTheProgrammer()
{
    saveUnder(QStringLiteral("run.asm"));
    QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")), "echo started\nexec sleep 60\n"));
    QElapsedTimer timer;
    timer.start();
    const Seen seen = sendInWindow([](SendWindow &window) {
        if (control<QPlainTextEdit>(window, QStringLiteral("txtOutput"))
                ->toPlainText()
                .contains(QStringLiteral("\nstarted")))
            control<QPushButton>(window, QStringLiteral("cmdStop"))->click();
    });
    QVERIFY(timer.elapsed() < 30000);
    QCOMPARE(seen.assemble, QStringLiteral("Done"));
    QCOMPARE(seen.program, QStringLiteral("Stopped"));
    QCOMPARE(seen.sentence,
             QStringLiteral("Stopped: the board may hold only part of the sequence."));
}

// With a stock avrdude and no programmer chosen, Send asks for it first and
// the answer is kept for the next Send.
void SendWindowTest::stockAvrdudeAsksForTheProgrammerOnce()
{
    saveUnder(QStringLiteral("run.asm"));
    const QString bin = m_dir->filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QFile::rename(inProgram(QStringLiteral("avrdude-44")),
                          QDir(bin).filePath(QStringLiteral("avrdude"))));
    QVERIFY(writeScript(inProgram(ToolLocator::partFileName()), "# part\n"));
    m_window->setSendTools(*m_runner, ToolLocator(m_program, {bin}));
    QList<ProgrammerSettings> shown;
    m_window->sendCommand().setSettingsDialog([&](const ProgrammerSettings &current) {
        shown.append(current);
        ProgrammerSettings answer = current;
        answer.programmer = QStringLiteral("arduino");
        answer.port = QStringLiteral("/dev/ttyS0");
        return std::optional<ProgrammerSettings>(answer);
    });

    for (int send = 1; send <= 2; ++send) {
        click(QStringLiteral("cmdSendFile"));
        QCOMPARE(shown.size(), 1);
        const QStringList arguments =
            recordedArguments(QDir(bin).filePath(QStringLiteral("avrdude.args")));
        QCOMPARE(arguments.mid(2, 4),
                 QStringLiteral("-c arduino -P /dev/ttyS0").split(QLatin1Char(' ')));
    }
    QCOMPARE(shown.first(), ProgrammerSettings());
    QCOMPARE(SendCommand::storedSettings().programmer, QStringLiteral("arduino"));
}

// File > Programmer Settings... opens at once, with the field open for
// typing, while avrdude is still listing its programmers; the list fills in
// when it comes, and what the user typed meanwhile stays.
void SendWindowTest::programmerListComesWhileTheDialogIsOpen()
{
    QVERIFY(writeScript(inProgram(QStringLiteral("avrdude-44")), R"(dir=$(dirname "$0")
[ "$1 $2" = '-c ?' ] || exit 3
i=0
while [ ! -f "$dir/list.go" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
printf '\nValid programmers are:\n  arduino   = Arduino\n  usbasp    = USBasp\n' >&2
exit 1
)"));
    struct
    {
        int count = -1;
        bool editable = false;
        QString note;
    } whileAsking, answered;
    QString typed;
    QTimer poll;
    connect(&poll, &QTimer::timeout, m_window, [&] {
        auto *dialog = qobject_cast<ProgrammerSettingsDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        auto *programmer = control<QComboBox>(*dialog, QStringLiteral("cboProgrammer"));
        auto *note = dialog->findChild<QLabel *>(QStringLiteral("lblNote"));
        const auto look = [&] {
            return decltype(whileAsking){
                programmer->count(), programmer->isEditable() && programmer->isEnabled(),
                note != nullptr && note->isVisible() ? note->text() : QString()};
        };
        if (whileAsking.count < 0) {
            whileAsking = look();
            QTest::keyClicks(programmer->lineEdit(), QStringLiteral("usb"));
            writeScript(inProgram(QStringLiteral("list.go")), "");
            return;
        }
        if (programmer->count() == 0)
            return;
        poll.stop();
        answered = look();
        typed = programmer->currentText();
        QTest::keyClick(control<QLineEdit>(*dialog, QStringLiteral("txtPort")), Qt::Key_Return);
    });
    poll.start(5);
    control<QAction>(*m_window, QStringLiteral("actProgrammerSettings"))->trigger();
    poll.stop();

    QCOMPARE(whileAsking.count, 0);
    QVERIFY(whileAsking.editable);
    QCOMPARE(whileAsking.note, QStringLiteral("Asking avrdude-44 for the programmers it knows…"));
    QCOMPARE(answered.count, 2);
    QCOMPARE(answered.note, QString());
    QCOMPARE(typed, QStringLiteral("usb"));
    QCOMPARE(SendCommand::storedSettings().programmer, QStringLiteral("usb"));
}

// A settings file that cannot be read or written is told about once a run,
// with its name and why; the settings chosen meanwhile hold until the editor
// closes.
void SendWindowTest::unusableSettingsFileIsToldOnce_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<bool>("toldAtStart");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no permission to read it") << "unreadable" << true << "Permission denied";
    QTest::newRow("a folder in its place") << "folder" << true << "It is a folder.";
    QTest::newRow("a file in its folder's place")
        << "file for folder" << false << "Glowline is not a folder.";
}

void SendWindowTest::unusableSettingsFileIsToldOnce()
{
    QFETCH(QString, breakage);
    QFETCH(bool, toldAtStart);
    QFETCH(QString, reason);
    if (breakage == QStringLiteral("unreadable") && ::geteuid() == 0)
        QSKIP("root reads whatever the permissions say");
    closeWindow();
    const QString folder = QDir(m_settingsDir.path()).filePath(QStringLiteral("Glowline"));
    const QString file = QDir(folder).filePath(QStringLiteral("Glowline.conf"));
    const auto repair = qScopeGuard([&] {
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(file);
        QDir(folder).removeRecursively();
        QFile::remove(folder);
    });
    // As the user left it, with a bootloader on the board.
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(test::writeAll(file, "[programmer]\nwords=3584\n"));
    if (breakage == QStringLiteral("unreadable")) {
        QVERIFY(QFile::setPermissions(file, {}));
    } else if (breakage == QStringLiteral("folder")) {
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkpath(file));
    } else {
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(test::writeAll(folder, ""));
    }

    m_okQueuedAtStart = toldAtStart;
    QVERIFY(openWindow());
    QTRY_COMPARE(m_dialogs->messages.size(), toldAtStart ? 1 : 0);

    // File > Programmer Settings...: 3584 words, OK.
    m_window->sendCommand().setSettingsDialog([](const ProgrammerSettings &current) {
        ProgrammerSettings answer = current;
        answer.words = 3584;
        return std::optional<ProgrammerSettings>(answer);
    });
    if (!toldAtStart)
        m_dialogs->answers.push_back(Answer::Ok);
    auto *settings = control<QAction>(*m_window, QStringLiteral("actProgrammerSettings"));
    settings->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    const auto &message = m_dialogs->messages.first();
    QCOMPARE(message.icon, Dialogs::Icon::Warning);
    QCOMPARE(message.buttons, Dialogs::Buttons::Ok);
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(file)), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    // What was chosen holds for this run.
    QVERIFY2(control<QLabel>(*m_window, QStringLiteral("lblFlash"))
                 ->text()
                 .contains(QStringLiteral(" of 3584 words")),
             qPrintable(control<QLabel>(*m_window, QStringLiteral("lblFlash"))->text()));

    // Once a run: not again at the next read or write.
    settings->trigger();
    edit();
    QCOMPARE(m_dialogs->messages.size(), 1);
}

// Programmer, Port, Words, in that order; the programmer's text is selected
// for typing over; Enter accepts and Escape cancels.
void SendWindowTest::programmerSettingsDialog_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
}

void SendWindowTest::programmerSettingsDialog()
{
    QFETCH(int, key);
    QFETCH(bool, accepted);
    ProgrammerSettings settings;
    settings.programmer = QStringLiteral("usbasp");
    settings.port = QStringLiteral("usb");
    settings.words = 3584;
    ProgrammerSettingsDialog dialog(settings, m_window);
    dialog.setProgrammerIds({QStringLiteral("arduino"), QStringLiteral("usbasp")});
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *programmer = control<QComboBox>(dialog, QStringLiteral("cboProgrammer"));
    auto *port = control<QLineEdit>(dialog, QStringLiteral("txtPort"));
    auto *words = control<QSpinBox>(dialog, QStringLiteral("spnWords"));
    QCOMPARE(programmer->count(), 2);
    QVERIFY(programmer->isEditable());
    QCOMPARE(dialog.focusWidget(), programmer);
    QCOMPARE(programmer->lineEdit()->selectedText(), QStringLiteral("usbasp"));
    auto *form = qobject_cast<QFormLayout *>(dialog.layout());
    QVERIFY(form != nullptr);
    QCOMPARE(form->itemAt(0, QFormLayout::FieldRole)->widget(), programmer);
    QCOMPARE(form->itemAt(1, QFormLayout::FieldRole)->widget(), port);
    QCOMPARE(form->itemAt(2, QFormLayout::FieldRole)->widget(), words);
    QCOMPARE(words->minimum(), 1);
    QCOMPARE(words->maximum(), 4096);

    QTest::keyClicks(programmer->lineEdit(), QStringLiteral("avrisp"));
    QTest::keyClick(programmer->lineEdit(), Qt::Key_Tab);
    QCOMPARE(dialog.focusWidget(), port);
    QTest::keyClick(port, Qt::Key(key));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(dialog.settings().programmer, QStringLiteral("avrisp"));
    QCOMPARE(dialog.settings().port, QStringLiteral("usb"));
    QCOMPARE(dialog.settings().words, 3584);
}

QTEST_MAIN(SendWindowTest)
#include "SendWindowTest.moc"
