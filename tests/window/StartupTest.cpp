#include "window/main/Startup.h"

#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "files/SequenceWriter.h"
#include "window/controls/LedShape.h"
#include "window/controls/UpDown.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace glowline;
using glowline::test::control;
using glowline::test::readAll;
using glowline::test::shownColour;
using glowline::test::writeAll;

namespace {} // namespace

class StartupTest final : public test::WindowFixture
{
    Q_OBJECT

public:
    StartupTest() : WindowFixture(Show::Hidden) {}

private slots:
    void init();
    void cleanup();

    void startsWithTheNamedFile_data();
    void startsWithTheNamedFile();
    void unreadableFileGivesTheLoadMessageAndTheStartUpSequence_data();
    void unreadableFileGivesTheLoadMessageAndTheStartUpSequence();
    void noArgumentGivesTheStartUpLook();
    void droppedFileLoadsAfterTheSavePrompt_data();
    void droppedFileLoadsAfterTheSavePrompt();
    void dropOfAnythingButOneLocalFileIsRefused_data();
    void dropOfAnythingButOneLocalFileIsRefused();
    void droppedUnreadableFileKeepsTheSequence();

private:
    // The window as it first appears: one all-zero line, nothing named,
    // nothing changed.
    void verifyStartUpLook();
    // Offers a drop of these URLs; returns whether the window took it.
    bool drop(const QList<QUrl> &urls);
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }
    QString fileName() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFilename"))->text();
    }

    QTemporaryDir *m_dir = nullptr;
};

void StartupTest::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    openWindow();
}

void StartupTest::cleanup()
{
    closeWindow();
    delete m_dir;
    m_dir = nullptr;
}

void StartupTest::verifyStartUpLook()
{
    const MainWindow &w = *m_window;
    QVERIFY(w.isVisible());
    QCOMPARE(w.document().lineCount(), 1);
    QCOMPARE(w.document().currentLine(), 1);
    for (int column = 0; column < kColumnCount; ++column)
        QCOMPARE(w.document().table().cell(column, 1), Cell(0));
    QCOMPARE(fileName(), QString());
    QCOMPARE(marker(), QString());
    for (int r = 0; r < 7; ++r) {
        const bool current = r == 3;
        QCOMPARE(control<QLabel>(w, "lblLine", r)->isVisible(), current);
        QCOMPARE(control<QLineEdit>(w, "txtTime", r)->isVisible(), current);
        for (int c = 0; c < 11; ++c) {
            auto *led = control<LedShape>(w, "shpLED", r * 100 + c);
            QCOMPARE(led->isVisible(), current);
            QCOMPARE(led->fillColour(), rgb24(0, 0, 0));
        }
    }
    QCOMPARE(control<QLabel>(w, "lblLine", 3)->text(), QStringLiteral("1"));
    QCOMPARE(control<QLineEdit>(w, "txtTime", 3)->text(), QStringLiteral("0.00"));
    for (int c = 0; c < 11; ++c)
        for (const char *slider : {"scrR", "scrG", "scrB"})
            QCOMPARE(control<QScrollBar>(w, slider, c)->value(), 15);
    QCOMPARE(control<UpDown>(w, QStringLiteral("udTime"))->value(), 0);
    auto *scrLine = control<QScrollBar>(w, QStringLiteral("scrLine"));
    QCOMPARE(scrLine->maximum(), 1);
    QCOMPARE(scrLine->value(), 1);
    QCOMPARE(control<QPushButton>(w, QStringLiteral("cmdTest"))->text(), QStringLiteral("Test"));
    QCOMPARE(m_window->editor().stepCount(), std::size_t(0));
}

void StartupTest::startsWithTheNamedFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("before"); // arguments ahead of the file
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<bool>("relative"); // named relative to the working folder

    QTest::newRow("one line") << "one.asm" << QStringList() << 1 << false;
    QTest::newRow("ten lines") << "ten.asm" << QStringList() << 10 << false;
    QTest::newRow("spaces and accents in the name")
        << QStringLiteral("my lights \u00fc\u00e9.asm") << QStringList() << 5 << false;
    QTest::newRow("a name like an option, after --")
        << "-lights.asm" << QStringList{QStringLiteral("--")} << 3 << false;
    QTest::newRow("an option of a launcher ahead")
        << "launched.asm" << QStringList{QStringLiteral("--launcher-option")} << 4 << false;
    QTest::newRow("a relative name is kept as a full path")
        << "relative.asm" << QStringList() << 2 << true;
}

void StartupTest::startsWithTheNamedFile()
{
    QFETCH(QString, name);
    QFETCH(QStringList, before);
    QFETCH(int, lineCount);
    QFETCH(bool, relative);

    const LineTable stored = test::patternTable(lineCount);
    const QString path = m_dir->filePath(name);
    QString error;
    QVERIFY2(saveSequenceFile(stored, path, &error), qPrintable(error));

    const QStringList arguments =
        QStringList{QStringLiteral("glowline")} + before + QStringList{relative ? name : path};
    const QString workingFolder = QDir::currentPath();
    if (relative)
        QVERIFY(QDir::setCurrent(m_dir->path()));
    const bool started = startEditor(*m_window, arguments);
    QDir::setCurrent(workingFolder);
    QVERIFY(started);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    QVERIFY(m_dialogs->messages.isEmpty());
    const Document &document = m_window->document();
    QVERIFY(document.table() == stored);
    QCOMPARE(document.currentLine(), 1);
    QCOMPARE(fileName(), path);
    QCOMPARE(marker(), QString());
    QCOMPARE(m_window->editor().stepCount(), std::size_t(0));

    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    QCOMPARE(scrLine->maximum(), lineCount);
    QCOMPARE(scrLine->value(), 1);
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 3)->text(), QStringLiteral("1"));
    // Line 1 of the pattern: LED c holds 37 + 5c, the duration 3.
    for (int c = 0; c < 11; ++c)
        QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 300 + c)->fillColour()),
                 test::rgbText(shownColour(37 + 5 * c)));
    QCOMPARE(control<QLineEdit>(*m_window, "txtTime", 3)->text(), QStringLiteral("0.03"));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 4)->isVisible(), lineCount > 1);
    if (lineCount > 1)
        QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 400)->fillColour()),
                 test::rgbText(shownColour(74)));
}

void StartupTest::unreadableFileGivesTheLoadMessageAndTheStartUpSequence_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents"); // null: nothing is written

    QTest::newRow("missing") << "missing.asm" << QByteArray();
    QTest::newRow("a folder") << "folder.asm" << QByteArray();
    QTest::newRow("word before the first line")
        << "early.asm" << QByteArray(".cseg\r\n.dw 0x0123\r\n;Line 1\r\n.dw 0xF005\r\n");
    QTest::newRow("column code 12") << "code.asm" << QByteArray(";Line 1\r\n.dw 0xC123\r\n");
    QTest::newRow("no digits") << "digits.asm" << QByteArray(";Line 1\r\n.dw 0x\r\n");
}

void StartupTest::unreadableFileGivesTheLoadMessageAndTheStartUpSequence()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);

    const QString path = m_dir->filePath(name);
    if (name == QLatin1String("folder.asm"))
        QVERIFY(QDir(m_dir->path()).mkdir(name));
    else if (!contents.isNull())
        QVERIFY(writeAll(path, contents));

    m_dialogs->answers.push_back(Dialogs::Answer::Ok);
    QVERIFY(!startEditor(*m_window, {QStringLiteral("glowline"), path}));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCOMPARE(m_dialogs->messages.size(), 1);
    const test::ScriptedDialogs::Message message = m_dialogs->messages.first();
    QCOMPARE(message.icon, Dialogs::Icon::Error);
    QCOMPARE(message.buttons, Dialogs::Buttons::Ok);
    QVERIFY2(message.text.startsWith(QStringLiteral("Failed to load file: \r\n")),
             qPrintable(message.text));
    QVERIFY2(message.text.size() > 23, "the message says why");
    verifyStartUpLook();
    if (QTest::currentTestFailed())
        return;

    // Load, given the same file, says the same.
    m_dialogs->fileNames.push_back(path);
    m_dialogs->answers.push_back(Dialogs::Answer::Ok);
    control<QPushButton>(*m_window, QStringLiteral("cmdLoadFile"))->click();
    QCOMPARE(m_dialogs->messages.size(), 2);
    QCOMPARE(m_dialogs->messages.last().text, message.text);
    verifyStartUpLook();
}

void StartupTest::noArgumentGivesTheStartUpLook()
{
    QVERIFY(startEditor(*m_window, {QStringLiteral("glowline")}));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(m_dialogs->messages.isEmpty());
    verifyStartUpLook();
}

bool StartupTest::drop(const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint where(60, 60);
    QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &enter);
    const bool entered = enter.isAccepted();
    QDropEvent dropped(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &dropped);
    // The drop is over before anything is asked or loaded.
    return entered && dropped.isAccepted();
}

void StartupTest::droppedFileLoadsAfterTheSavePrompt_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer"); // -1: no question
    QTest::addColumn<bool>("loads");

    QTest::newRow("no changes: no question") << false << -1 << true;
    QTest::newRow("No") << true << int(Dialogs::Answer::No) << true;
    QTest::newRow("Yes saves first") << true << int(Dialogs::Answer::Yes) << true;
    QTest::newRow("Cancel keeps the sequence") << true << int(Dialogs::Answer::Cancel) << false;
}

void StartupTest::droppedFileLoadsAfterTheSavePrompt()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, loads);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const LineTable stored = test::patternTable(7);
    const QString droppedPath = m_dir->filePath(QStringLiteral("dropped.asm"));
    QString error;
    QVERIFY2(saveSequenceFile(stored, droppedPath, &error), qPrintable(error));

    const QString ownPath = m_dir->filePath(QStringLiteral("own.asm"));
    test::loadTable(*m_window, test::patternTable(3), 2);
    m_window->document().state().setFileName(ownPath);
    if (changed)
        control<QPushButton>(*m_window, QStringLiteral("cmdCopyLine"))->click();
    const LineTable own = m_window->document().table();
    QCOMPARE(marker(), changed ? QStringLiteral("*") : QString());
    if (answer >= 0)
        m_dialogs->answers.push_back(Dialogs::Answer(answer));

    QVERIFY(drop({QUrl::fromLocalFile(droppedPath)}));
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(m_window->document().table() == own);

    if (answer >= 0)
        QTRY_COMPARE(m_dialogs->messages.size(), 1);
    else
        QTRY_COMPARE(fileName(), droppedPath);
    QCoreApplication::processEvents();

    if (answer >= 0)
        QCOMPARE(m_dialogs->lastMessage(), QStringLiteral("Do you want to save your changes?"));
    else
        QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(m_dialogs->answers.empty());
    if (answer == int(Dialogs::Answer::Yes))
        QCOMPARE(readAll(ownPath), encodeSequence(own));
    else
        QVERIFY(!QFileInfo::exists(ownPath));

    if (loads) {
        QVERIFY(m_window->document().table() == stored);
        QCOMPARE(fileName(), droppedPath);
        QCOMPARE(marker(), QString());
        QCOMPARE(control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->maximum(), 7);
        QCOMPARE(control<QLabel>(*m_window, "lblLine", 3)->text(), QStringLiteral("1"));
        QCOMPARE(m_window->editor().stepCount(), std::size_t(0));
    } else {
        QVERIFY(m_window->document().table() == own);
        QCOMPARE(m_window->document().currentLine(), 3);
        QCOMPARE(fileName(), ownPath);
        QCOMPARE(marker(), QStringLiteral("*"));
        QCOMPARE(m_window->editor().stepCount(), std::size_t(1));
    }
}

void StartupTest::dropOfAnythingButOneLocalFileIsRefused_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::newRow("two files") << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/a.asm")),
                                              QUrl::fromLocalFile(QStringLiteral("/tmp/b.asm"))};
    QTest::newRow("a web address")
        << QList<QUrl>{QUrl(QStringLiteral("https://example.org/lights.asm"))};
    QTest::newRow("no address") << QList<QUrl>{};
}

void StartupTest::dropOfAnythingButOneLocalFileIsRefused()
{
    QFETCH(QList<QUrl>, urls);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    test::loadTable(*m_window, test::patternTable(3), 2);
    control<QPushButton>(*m_window, QStringLiteral("cmdAddLine"))->click();
    const LineTable before = m_window->document().table();

    QVERIFY(!drop(urls));
    QCoreApplication::processEvents();
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(m_window->document().table() == before);
    QCOMPARE(marker(), QStringLiteral("*"));
}

void StartupTest::droppedUnreadableFileKeepsTheSequence()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QString ownPath = m_dir->filePath(QStringLiteral("own.asm"));
    test::loadTable(*m_window, test::patternTable(4), 3);
    m_window->document().state().setFileName(ownPath);
    control<QPushButton>(*m_window, QStringLiteral("cmdDelLine"))->click();
    const LineTable before = m_window->document().table();

    const QString bad = m_dir->filePath(QStringLiteral("bad.asm"));
    QVERIFY(writeAll(bad, QByteArray(";Line 1\r\n.dw 0xD000\r\n")));
    m_dialogs->answers.push_back(Dialogs::Answer::No);
    m_dialogs->answers.push_back(Dialogs::Answer::Ok);
    QVERIFY(drop({QUrl::fromLocalFile(bad)}));
    QTRY_COMPARE(m_dialogs->messages.size(), 2);
    QVERIFY(m_dialogs->lastMessage().startsWith(QStringLiteral("Failed to load file: \r\n")));
    QCOMPARE(m_dialogs->messages.last().icon, Dialogs::Icon::Error);
    QVERIFY(m_window->document().table() == before);
    QCOMPARE(fileName(), ownPath);
    QCOMPARE(marker(), QStringLiteral("*"));
    QCOMPARE(m_window->editor().stepCount(), std::size_t(1));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
