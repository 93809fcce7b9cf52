#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/LedShape.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace glowline;
using glowline::test::control;
using glowline::test::readAll;
using glowline::test::shownColour;
using glowline::test::writeAll;
using Answer = Dialogs::Answer;

namespace {

// The file of the start-up sequence: one line, all black, duration 0, so
// nothing but the line header follows the two directives.
const QByteArray kEmptySequenceFile = ".cseg\r\n.org 0x0000\r\n;Line 1\r\n";

// A hand-written file of three lines that gives every column a word in every
// line, so that nothing is carried or back-filled: LED c of line n is
// fileLed(n, c), the durations are 50, 120 and 4095.
constexpr int kFileLines = 3;
constexpr int kFileDurations[kFileLines] = {50, 120, 4095};
int fileLed(int line, int column)
{
    return (line * 0x123 + column * 0x10B) & 0xFFF;
}
QByteArray wordLine(int word)
{
    return QString::asprintf(".dw 0x%04X\r\n", word).toLatin1();
}
QByteArray threeLineFile()
{
    QByteArray bytes = ".cseg\r\n.org 0x0000\r\n";
    for (int n = 1; n <= kFileLines; ++n) {
        bytes += ";Line " + QByteArray::number(n) + "\r\n";
        for (int c = 0; c < kLedCount; ++c)
            bytes += wordLine(c * 4096 + fileLed(n, c));
        bytes += wordLine(0xF000 + kFileDurations[n - 1]);
    }
    return bytes;
}

} // namespace

class DocumentWindowTest final : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newWithoutChangesAsksNothing();
    void guardedCommands_data();
    void guardedCommands();
    void newThenSaveAsksForANameAndKeepsThePreviousFile();
    void failedLoadKeepsEverything_data();
    void failedLoadKeepsEverything();
    void loadShowsLineOneOfTheFile_data();
    void loadShowsLineOneOfTheFile();
    void failedSaveKeepsMarkerAndName_data();
    void failedSaveKeepsMarkerAndName();
    void typedDurationIsCommittedFirst_data();
    void typedDurationIsCommittedFirst();
    void typedDurationIsCommittedOnlyOnce();
    void leavingTheBoxAfterCtrlSMarksChanged();

private:
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }
    QString fileNameShown() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFilename"))->text();
    }
    QScrollBar *lineScroll() const
    {
        return control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    }
    QLineEdit *timeBox(int row) const { return control<QLineEdit>(*m_window, "txtTime", row); }
    void click(const QString &button)
    {
        QTest::mouseClick(control<QPushButton>(*m_window, button), Qt::LeftButton);
    }
    // Each row of the line window as the user sees it: hidden, or its line
    // number, its eleven LED colours and its duration text.
    QStringList rowsShown() const;
    // The rows a one-line window of the given LEDs and duration text shows.
    static QStringList singleLineRows(const QString &number, const QList<Rgb24> &leds,
                                      const QString &duration);
    // Gives the window a sequence of five lines with line 3 current, the
    // file name path (empty for none) and the marker "*": Add appends a
    // sixth, empty line and makes it current.
    void editedSequence(const QString &path);

    std::optional<QTemporaryDir> m_dir;
};

void DocumentWindowTest::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    openWindow();
}

void DocumentWindowTest::cleanup()
{
    closeWindow();
    m_dir.reset();
}

QStringList DocumentWindowTest::rowsShown() const
{
    QStringList rows;
    for (int r = 0; r < LineWindow::kRows; ++r) {
        auto *label = control<QLabel>(*m_window, "lblLine", r);
        if (!label->isVisible()) {
            rows << QStringLiteral("hidden");
            continue;
        }
        QString row = label->text() + QLatin1Char(':');
        for (int c = 0; c < kLedCount; ++c)
            row += test::rgbText(control<LedShape>(*m_window, "shpLED", r * 100 + c)->fillColour());
        rows << row + QLatin1Char(' ') + timeBox(r)->text();
    }
    return rows;
}

QStringList DocumentWindowTest::singleLineRows(const QString &number, const QList<Rgb24> &leds,
                                               const QString &duration)
{
    QString row = number + QLatin1Char(':');
    for (const Rgb24 led : leds)
        row += test::rgbText(led);
    const QString hidden = QStringLiteral("hidden");
    return {hidden, hidden, hidden, row + QLatin1Char(' ') + duration, hidden, hidden, hidden};
}

void DocumentWindowTest::editedSequence(const QString &path)
{
    test::loadTable(*m_window, test::patternTable(5), 3);
    m_window->document().state().setFileName(path);
    click(QStringLiteral("cmdAddLine"));
    QCOMPARE(marker(), QStringLiteral("*"));
    QCOMPARE(lineScroll()->value(), 6);
}

void DocumentWindowTest::newWithoutChangesAsksNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("kept.asm"));
    test::loadTable(*m_window, test::patternTable(9), 5);
    m_window->document().state().setFileName(path);
    QCOMPARE(marker(), QString());

    click(QStringLiteral("cmdNewFile"));

    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(m_window->document().table(), LineTable());
    QCOMPARE(lineScroll()->maximum(), 1);
    QCOMPARE(lineScroll()->value(), 1);
    QCOMPARE(rowsShown(),
             singleLineRows(QStringLiteral("1"), QList<Rgb24>(kLedCount, rgb24(0, 0, 0)),
                            QStringLiteral("0.00")));
    QCOMPARE(fileNameShown(), QString());
    QCOMPARE(marker(), QString());
}

// The commands that may give up unsaved changes, with each answer to the
// question: "kept" leaves the window as it was, "reset" is New's empty
// sequence, "closed" is a closed window.
void DocumentWindowTest::guardedCommands_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("file"); // "saved", "none", or "unwritable"
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");         // -1: no question expected
    QTest::addColumn<QString>("saveDialog"); // "-": not shown, "": cancelled
    QTest::addColumn<bool>("openDialog");    // shown, and cancelled
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("written");

    const int none = -1;
    const int cancel = int(Answer::Cancel);
    const int no = int(Answer::No);
    const int yes = int(Answer::Yes);
    const QString dash = QStringLiteral("-");
    const QString kept = QStringLiteral("kept");
    const QString reset = QStringLiteral("reset");
    const QString closed = QStringLiteral("closed");

    QTest::newRow("New, Cancel") << "cmdNewFile"
                                 << "saved" << true << cancel << dash << false << kept << false;
    QTest::newRow("New, No") << "cmdNewFile"
                             << "saved" << true << no << dash << false << reset << false;
    QTest::newRow("New, Yes") << "cmdNewFile"
                              << "saved" << true << yes << dash << false << reset << true;
    QTest::newRow("New, Yes, no name, Save dialog cancelled")
        << "cmdNewFile"
        << "none" << true << yes << "" << false << kept << false;
    QTest::newRow("New, Yes, write fails")
        << "cmdNewFile"
        << "unwritable" << true << yes << dash << false << kept << false;
    QTest::newRow("Load, Cancel") << "cmdLoadFile"
                                  << "saved" << true << cancel << dash << false << kept << false;
    QTest::newRow("Load, No, Open dialog cancelled")
        << "cmdLoadFile"
        << "saved" << true << no << dash << true << kept << false;
    QTest::newRow("Load, Yes, write fails")
        << "cmdLoadFile"
        << "unwritable" << true << yes << dash << false << kept << false;
    QTest::newRow("close, unchanged")
        << "close"
        << "saved" << false << none << dash << false << closed << false;
    QTest::newRow("close, Cancel") << "close"
                                   << "saved" << true << cancel << dash << false << kept << false;
    QTest::newRow("close, No") << "close"
                               << "saved" << true << no << dash << false << closed << false;
    QTest::newRow("close, Yes") << "close"
                                << "saved" << true << yes << dash << false << closed << true;
    QTest::newRow("close, Yes, no name, Save dialog cancelled")
        << "close"
        << "none" << true << yes << "" << false << kept << false;
    QTest::newRow("close, Yes, write fails")
        << "close"
        << "unwritable" << true << yes << dash << false << kept << false;
    QTest::newRow("Exit, unchanged")
        << "cmdExit"
        << "saved" << false << none << dash << false << closed << false;
    QTest::newRow("Exit, Cancel") << "cmdExit"
                                  << "saved" << true << cancel << dash << false << kept << false;
    QTest::newRow("Exit, No") << "cmdExit"
                              << "saved" << true << no << dash << false << closed << false;
    QTest::newRow("Exit menu, Cancel")
        << "actExit"
        << "saved" << true << cancel << dash << false << kept << false;
    QTest::newRow("Exit menu, No") << "actExit"
                                   << "saved" << true << no << dash << false << closed << false;
}

void DocumentWindowTest::guardedCommands()
{
    QFETCH(QString, trigger);
    QFETCH(QString, file);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(QString, saveDialog);
    QFETCH(bool, openDialog);
    QFETCH(QString, result);
    QFETCH(bool, written);

    QString path;
    if (file == QStringLiteral("saved")) {
        path = m_dir->filePath(QStringLiteral("seq.asm"));
        QVERIFY(writeAll(path, kEmptySequenceFile));
    } else if (file == QStringLiteral("unwritable")) {
        path = m_dir->filePath(QStringLiteral("gone/seq.asm"));
    }
    editedSequence(path);
    if (!changed) {
        m_window->document().state().clearChangedMarker();
        QCOMPARE(marker(), QString());
    }
    const LineTable before = m_window->document().table();
    const QStringList rowsBefore = rowsShown();

    if (answer >= 0)
        m_dialogs->answers.push_back(Answer(answer));
    if (file == QStringLiteral("unwritable"))
        m_dialogs->answers.push_back(Answer::Ok);
    if (saveDialog != QStringLiteral("-"))
        m_dialogs->fileNames.push_back(std::nullopt);
    if (openDialog)
        m_dialogs->fileNames.push_back(std::nullopt);

    if (trigger == QStringLiteral("close"))
        m_window->close();
    else if (trigger.startsWith(QStringLiteral("act")))
        control<QAction>(*m_window, trigger)->trigger();
    else
        click(trigger);

    if (answer < 0) {
        QVERIFY(m_dialogs->messages.isEmpty());
    } else {
        QVERIFY(!m_dialogs->messages.isEmpty());
        const auto &question = m_dialogs->messages.first();
        QCOMPARE(question.text, QStringLiteral("Do you want to save your changes?"));
        QCOMPARE(question.buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(question.icon, Dialogs::Icon::Question);
    }
    if (file == QStringLiteral("unwritable")) {
        QCOMPARE(m_dialogs->messages.size(), 2);
        QVERIFY(m_dialogs->lastMessage().startsWith(QStringLiteral("Failed to save file: \r\n")));
        QCOMPARE(m_dialogs->messages.last().icon, Dialogs::Icon::Error);
    } else {
        QCOMPARE(m_dialogs->messages.size(), answer < 0 ? 0 : 1);
    }
    QCOMPARE(m_dialogs->saveInitialNames.size(), saveDialog == QStringLiteral("-") ? 0 : 1);
    QCOMPARE(m_dialogs->openInitialNames, openDialog ? QStringList{path} : QStringList());

    if (written) {
        // Six lines: the five of the pattern and the empty one Add appended,
        // whose LEDs all differ from line 5 and so each carry a black word.
        const QByteArray bytes = readAll(path);
        QByteArray lastLine = ";Line 6\r\n";
        for (int c = 0; c < kLedCount; ++c)
            lastLine += ".dw 0x" + QByteArray::number(c, 16).toUpper() + "000\r\n";
        QVERIFY(bytes.startsWith(".cseg\r\n.org 0x0000\r\n;Line 1\r\n"));
        QVERIFY2(bytes.endsWith(lastLine), bytes.right(200).constData());
    } else if (file == QStringLiteral("saved")) {
        QCOMPARE(readAll(path), kEmptySequenceFile);
    }

    // New leaves the sequence without a file.
    QCOMPARE(fileNameShown(), result == QStringLiteral("reset") ? QString() : path);
    if (result == QStringLiteral("kept")) {
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->document().table(), before);
        QCOMPARE(lineScroll()->maximum(), 6);
        QCOMPARE(lineScroll()->value(), 6);
        QCOMPARE(rowsShown(), rowsBefore);
        QCOMPARE(marker(), QStringLiteral("*"));
    } else if (result == QStringLiteral("reset")) {
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->document().table(), LineTable());
        QCOMPARE(lineScroll()->maximum(), 1);
        QCOMPARE(lineScroll()->value(), 1);
        QCOMPARE(rowsShown(),
                 singleLineRows(QStringLiteral("1"), QList<Rgb24>(kLedCount, rgb24(0, 0, 0)),
                                QStringLiteral("0.00")));
        QCOMPARE(marker(), QString());
    } else {
        QVERIFY(!m_window->isVisible());
    }
}

void DocumentWindowTest::newThenSaveAsksForANameAndKeepsThePreviousFile()
{
    const QString path = m_dir->filePath(QStringLiteral("first.asm"));
    test::loadTable(*m_window, test::patternTable(4), 2);
    click(QStringLiteral("cmdAddLine"));
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSaveFileAs"));
    QCOMPARE(fileNameShown(), path);
    QCOMPARE(marker(), QString());
    const QByteArray saved = readAll(path);
    QVERIFY(saved.size() > kEmptySequenceFile.size());

    click(QStringLiteral("cmdNewFile"));
    QCOMPARE(fileNameShown(), QString());
    m_dialogs->fileNames.push_back(std::nullopt);
    click(QStringLiteral("cmdSaveFile"));

    QCOMPARE(m_dialogs->saveInitialNames, (QStringList{QString(), QString()}));
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(readAll(path), saved);
}

void DocumentWindowTest::failedLoadKeepsEverything_data()
{
    QTest::addColumn<bool>("changed");
    QTest::newRow("no unsaved changes") << false;
    QTest::newRow("unsaved changes given up") << true;
}

void DocumentWindowTest::failedLoadKeepsEverything()
{
    QFETCH(bool, changed);

    const QString bad = m_dir->filePath(QStringLiteral("bad.asm"));
    QVERIFY(writeAll(bad, ".cseg\r\n.org 0x0000\r\n;Line 1\r\n.dw 0x0F00\r\n;Line 2\r\n"
                          ".dw 0xC000\r\n.dw 0x1F00\r\n"));
    const QString old = m_dir->filePath(QStringLiteral("old.asm"));
    editedSequence(old);
    click(QStringLiteral("cmdInsLineAbove"));
    if (!changed)
        m_window->document().state().clearChangedMarker();
    const QString markerBefore = marker();
    const LineTable before = m_window->document().table();
    const QStringList rowsBefore = rowsShown();
    const int value = lineScroll()->value();
    const int maximum = lineScroll()->maximum();

    if (changed)
        m_dialogs->answers.push_back(Answer::No);
    m_dialogs->fileNames.push_back(bad);
    m_dialogs->answers.push_back(Answer::Ok);
    click(QStringLiteral("cmdLoadFile"));

    QCOMPARE(m_dialogs->messages.size(), changed ? 2 : 1);
    const auto &shown = m_dialogs->messages.last();
    QVERIFY2(shown.text.startsWith(QStringLiteral("Failed to load file: \r\nline 6: ")),
             qPrintable(shown.text));
    QVERIFY(shown.text.size() > QStringLiteral("Failed to load file: \r\nline 6: ").size());
    QCOMPARE(shown.icon, Dialogs::Icon::Error);
    QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(m_dialogs->openInitialNames, QStringList{old});

    QCOMPARE(m_window->document().table(), before);
    QCOMPARE(fileNameShown(), old);
    QCOMPARE(marker(), markerBefore);
    QCOMPARE(lineScroll()->value(), value);
    QCOMPARE(lineScroll()->maximum(), maximum);
    QCOMPARE(rowsShown(), rowsBefore);
}

void DocumentWindowTest::loadShowsLineOneOfTheFile_data()
{
    QTest::addColumn<int>("lines");   // 0: the start-up window
    QTest::addColumn<int>("current"); // of the sequence before
    QTest::addColumn<bool>("changed");
    QTest::newRow("from the start-up window") << 0 << 1 << false;
    QTest::newRow("from line 7 of 9, changes given up") << 9 << 7 << true;
    QTest::newRow("from line 2 of 2") << 2 << 2 << false;
}

void DocumentWindowTest::loadShowsLineOneOfTheFile()
{
    QFETCH(int, lines);
    QFETCH(int, current);
    QFETCH(bool, changed);

    const QString path = m_dir->filePath(QStringLiteral("three lines.asm"));
    QVERIFY(writeAll(path, threeLineFile()));
    QString old;
    if (lines > 0) {
        old = m_dir->filePath(QStringLiteral("old.asm"));
        test::loadTable(*m_window, test::patternTable(lines), current);
        m_window->document().state().setFileName(old);
    }
    if (changed) {
        click(QStringLiteral("cmdCopyLine"));
        QCOMPARE(marker(), QStringLiteral("*"));
        m_dialogs->answers.push_back(Answer::No);
    }
    m_dialogs->fileNames.push_back(path);

    click(QStringLiteral("cmdLoadFile"));

    QCOMPARE(m_dialogs->messages.size(), changed ? 1 : 0);
    QCOMPARE(m_dialogs->openInitialNames, QStringList{old});
    QCOMPARE(fileNameShown(), path);
    QCOMPARE(marker(), QString());
    QCOMPARE(lineScroll()->maximum(), kFileLines);
    QCOMPARE(lineScroll()->value(), 1);
    QCOMPARE(m_window->document().lineCount(), kFileLines);
    for (int n = 1; n <= kFileLines; ++n) {
        for (int c = 0; c < kLedCount; ++c)
            QCOMPARE(int(m_window->document().table().cell(c, n)), fileLed(n, c));
        QCOMPARE(int(m_window->document().table().duration(n)), kFileDurations[n - 1]);
    }

    // Row 3 shows line 1, rows 4 and 5 the two lines after it.
    const QStringList rows = rowsShown();
    const char *durations[kFileLines] = {"0.50", "1.20", "40.95"};
    for (int r = 0; r < LineWindow::kRows; ++r) {
        const int line = r - 2;
        if (line < 1 || line > kFileLines) {
            QCOMPARE(rows.at(r), QStringLiteral("hidden"));
            continue;
        }
        QString expected = QString::number(line) + QLatin1Char(':');
        for (int c = 0; c < kLedCount; ++c)
            expected += test::rgbText(shownColour(fileLed(line, c)));
        expected += QLatin1Char(' ') + QLatin1String(durations[line - 1]);
        QCOMPARE(rows.at(r), expected);
    }
    for (int c = 0; c < kLedCount; ++c) {
        QCOMPARE(control<QScrollBar>(*m_window, "scrR", c)->value(),
                 15 - ((fileLed(1, c) >> 8) & 0xF));
        QCOMPARE(control<QScrollBar>(*m_window, "scrG", c)->value(),
                 15 - ((fileLed(1, c) >> 4) & 0xF));
        QCOMPARE(control<QScrollBar>(*m_window, "scrB", c)->value(), 15 - (fileLed(1, c) & 0xF));
    }
    // Showing the file is no edit, and the sequence before it cannot be
    // brought back into it by Undo.
    QCOMPARE(marker(), QString());
    QVERIFY(!control<QAction>(*m_window, QStringLiteral("actUndo"))->isEnabled());
}

void DocumentWindowTest::failedSaveKeepsMarkerAndName_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("target"); // "missing folder", "folder", "folder gone"
    QTest::newRow("Save As into a missing folder") << "cmdSaveFileAs"
                                                   << "missing folder";
    QTest::newRow("Save over a folder") << "cmdSaveFile"
                                        << "folder";
    QTest::newRow("Save after the folder has gone") << "cmdSaveFile"
                                                    << "folder gone";
    QTest::newRow("Save menu after the folder has gone") << "actSave"
                                                         << "folder gone";
}

void DocumentWindowTest::failedSaveKeepsMarkerAndName()
{
    QFETCH(QString, trigger);
    QFETCH(QString, target);

    QString path;
    QString nameBefore;
    if (target == QStringLiteral("missing folder")) {
        path = m_dir->filePath(QStringLiteral("missing/seq.asm"));
        nameBefore = m_dir->filePath(QStringLiteral("before.asm"));
        m_dialogs->fileNames.push_back(path);
    } else if (target == QStringLiteral("folder")) {
        path = m_dir->filePath(QStringLiteral("a folder"));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("a folder")));
        nameBefore = path;
    } else {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("gone")));
        path = m_dir->filePath(QStringLiteral("gone/seq.asm"));
        nameBefore = path;
    }
    editedSequence(nameBefore);
    if (target == QStringLiteral("folder gone")) {
        click(QStringLiteral("cmdSaveFile"));
        QCOMPARE(marker(), QString());
        QVERIFY(QFileInfo(path).isFile());
        QVERIFY(QDir(m_dir->filePath(QStringLiteral("gone"))).removeRecursively());
        click(QStringLiteral("cmdDelLine"));
        QCOMPARE(marker(), QStringLiteral("*"));
    }
    const LineTable before = m_window->document().table();
    m_dialogs->answers.push_back(Answer::Ok);

    if (trigger.startsWith(QStringLiteral("act")))
        control<QAction>(*m_window, trigger)->trigger();
    else
        click(trigger);

    QCOMPARE(m_dialogs->messages.size(), 1);
    const auto &shown = m_dialogs->messages.first();
    QVERIFY(shown.text.startsWith(QStringLiteral("Failed to save file: \r\n")));
    QVERIFY2(shown.text.size() > QStringLiteral("Failed to save file: \r\n").size(),
             "the message gives no description");
    QCOMPARE(shown.icon, Dialogs::Icon::Error);
    QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(marker(), QStringLiteral("*"));
    // Save As keeps the name it was given, so the user can try again.
    QCOMPARE(fileNameShown(), path);
    QCOMPARE(m_window->document().table(), before);
    QVERIFY(!QFileInfo(path).isFile());
    if (target == QStringLiteral("folder"))
        QVERIFY(QFileInfo(path).isDir());
    // Nothing is left beside the target either.
    const QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    QCOMPARE(left, QStringList());
}

// A duration still being typed into txtTime(3) is part of the sequence when a
// command that does not take the focus away from the box saves it.
void DocumentWindowTest::typedDurationIsCommittedFirst_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("Save menu") << "actSave";
    QTest::newRow("Ctrl+S") << "Ctrl+S";
    QTest::newRow("Save As menu") << "actSaveAs";
    QTest::newRow("close, Yes") << "close";
    QTest::newRow("Exit menu, Yes") << "actExit";
}

void DocumentWindowTest::typedDurationIsCommittedFirst()
{
    QFETCH(QString, trigger);

    const QString path = m_dir->filePath(QStringLiteral("typed.asm"));
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSaveFileAs"));
    QCOMPARE(readAll(path), kEmptySequenceFile);
    QCOMPARE(marker(), QString());

    QLineEdit *box = timeBox(3);
    box->setFocus(Qt::MouseFocusReason);
    QVERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("2.5"));
    QCOMPARE(int(m_window->document().table().duration(1)), 0);

    if (trigger == QStringLiteral("actSaveAs"))
        m_dialogs->fileNames.push_back(path);
    if (trigger == QStringLiteral("close") || trigger == QStringLiteral("actExit"))
        m_dialogs->answers.push_back(Answer::Yes);

    if (trigger == QStringLiteral("Ctrl+S"))
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    else if (trigger == QStringLiteral("close"))
        QVERIFY(m_window->close());
    else
        control<QAction>(*m_window, trigger)->trigger();

    QCOMPARE(readAll(path), kEmptySequenceFile + ".dw 0xF0FA\r\n");
    QCOMPARE(int(m_window->document().table().duration(1)), 250);
    QCOMPARE(box->text(), QStringLiteral("2.50"));
    QCOMPARE(marker(), QString());
}

// Once the typed text has been taken into the sequence, a later command while
// the box still has the focus has nothing left to commit: the saved sequence
// stays saved.
void DocumentWindowTest::typedDurationIsCommittedOnlyOnce()
{
    const QString path = m_dir->filePath(QStringLiteral("typed.asm"));
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSaveFileAs"));

    QLineEdit *box = timeBox(3);
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    // Typed exactly as the box shows durations, so committing leaves the text
    // as it is.
    QTest::keyClicks(box, QStringLiteral("2.50"));
    control<QAction>(*m_window, QStringLiteral("actSave"))->trigger();
    QCOMPARE(readAll(path), kEmptySequenceFile + ".dw 0xF0FA\r\n");
    QCOMPARE(marker(), QString());
    QVERIFY(box->hasFocus());

    control<QAction>(*m_window, QStringLiteral("actSave"))->trigger();
    QCOMPARE(marker(), QString());
    QVERIFY(m_window->close());
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(!m_window->isVisible());
}

// Ctrl+S takes the typed text in and saves it while the box keeps the focus.
// Every later loss of the box's focus marks the document changed, as it does
// when nothing was typed; the stored duration stays the saved one.
void DocumentWindowTest::leavingTheBoxAfterCtrlSMarksChanged()
{
    const QString path = m_dir->filePath(QStringLiteral("typed.asm"));
    m_dialogs->fileNames.push_back(path);
    click(QStringLiteral("cmdSaveFileAs"));

    QLineEdit *box = timeBox(3);
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("1.5"));
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(readAll(path), kEmptySequenceFile + ".dw 0xF096\r\n");
    QCOMPARE(marker(), QString());
    QVERIFY(box->hasFocus());
    QCOMPARE(box->text(), QStringLiteral("1.50"));

    lineScroll()->setFocus(Qt::TabFocusReason);
    QVERIFY(!box->hasFocus());
    QCOMPARE(marker(), QStringLiteral("*"));
    QCOMPARE(m_window->document().table().duration(1), Cell(150));
    QCOMPARE(box->text(), QStringLiteral("1.50"));
}

QTEST_MAIN(DocumentWindowTest)
#include "DocumentWindowTest.moc"
