#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "files/SequenceWriter.h"
#include "support/RecordingToolRunner.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/LedShape.h"
#include "window/send/SendCommand.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace glowline;
using glowline::test::control;

namespace {

struct MenuItem
{
    const char *menu; // path of menu titles, "/" between levels
    const char *action;
    const char *text;
    const char *keys; // portable text, "; " between shortcuts
};

// What the menus offer, in order, with the shortcuts they show.
const std::vector<MenuItem> &menuItems()
{
    static const std::vector<MenuItem> items = [] {
        std::vector<MenuItem> list{
            {"&File", "actNew", "&New", "Ctrl+N"},
            {"&File", "actLoad", "&Load...", "Ctrl+O"},
            {"&File", "actSave", "&Save", "Ctrl+S"},
            {"&File", "actSaveAs", "Save &As...", "Ctrl+Shift+S"},
            {"&File", "actSend", "Sen&d", "Ctrl+U"},
            {"&File", "actProgrammerSettings", "P&rogrammer Settings...", ""},
            {"&File", "actExit", "E&xit", "Ctrl+Q"},
            {"&Edit", "actUndo", "&Undo", "Ctrl+Z"},
            {"&Edit", "actRedo", "&Redo", "Ctrl+Shift+Z; Ctrl+Y"},
            {"&Edit", "actAddLine", "&Add Line", "Ctrl+Shift+A"},
            {"&Edit", "actCopyLine", "&Copy Line", ""},
            {"&Edit", "actDeleteLine", "&Delete Line", ""},
            {"&Edit", "actInsertAbove", "Insert A&bove", "Ctrl+Shift+I"},
            {"&Edit", "actInsertBelow", "&Insert Below", "Ctrl+I"},
            {"&Edit", "actFill", "&Fill", "Ctrl+F"},
            {"&Edit", "actPipette", "&Pipette", "Ctrl+P"},
            {"&Play", "actTest", "&Test", "F5"},
            {"&Help", "actAbout", "&About Glowline", ""},
        };
        return list;
    }();
    return items;
}

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QMenu *menuAt(const QMenuBar &bar, const QString &path)
{
    QMenu *menu = nullptr;
    QList<QAction *> actions = bar.actions();
    for (const QString &title : path.split(QLatin1Char('/'))) {
        menu = nullptr;
        for (QAction *action : actions)
            if (action->menu() != nullptr && action->text() == title)
                menu = action->menu();
        if (menu == nullptr)
            return nullptr;
        actions = menu->actions();
    }
    return menu;
}

QStringList itemNames(const QMenu &menu)
{
    QStringList names;
    for (const QAction *action : menu.actions())
        if (!action->isSeparator())
            names << (action->menu() != nullptr ? action->text() : action->objectName());
    return names;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString keysText(const QList<QKeySequence> &keys)
{
    QStringList texts;
    for (const QKeySequence &key : keys)
        texts << key.toString(QKeySequence::PortableText);
    return texts.join(QStringLiteral("; "));
}

} // namespace

class MenuTest final : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void eachItemAndShortcutRunsItsCommand_data();
    void eachItemAndShortcutRunsItsCommand();
    void menusListEveryItemWithItsShortcut_data();
    void menusListEveryItemWithItsShortcut();
    void menusInOrder();
    void noShortcutIsTakenTwice();
    void noMenuHasALetterTwice();
    void itemDoesWhatItsControlDoes_data();
    void itemDoesWhatItsControlDoes();
    void undoAndRedoAreEnabledOnlyWhenThereIsAStep();
    void aboutNamesTheProgramAndItsVersion();

private:
    // Gets the window ready for the command so that its effect shows.
    void arrange(const QString &action);
    void verifyEffect(const QString &action);
    void clickButton(const char *name);
    void clickSwatch(int index);
    void prepareWindow(MainWindow &window) override;
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }

    QTemporaryDir *m_dir = nullptr;
    test::RecordingToolRunner *m_runner = nullptr;
    LineTable m_start;
    LineTable m_stored;
    QList<ProgrammerSettings> m_settingsShown;
};

void MenuTest::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    // Send must never get as far as a tool here; a run is recorded and fails.
    m_runner = new test::RecordingToolRunner(test::RecordingToolRunner::Mode::Refuse);
    m_settingsShown.clear();
    if (!openWindow())
        return;
    m_start = test::patternTable(4);
    test::loadTable(*m_window, m_start, 2);
}

void MenuTest::prepareWindow(MainWindow &window)
{
    window.setSendTools(*m_runner, ToolLocator(m_dir->path(), {m_dir->path()}));
    window.sendCommand().setSettingsDialog([this](const ProgrammerSettings &current) {
        m_settingsShown.append(current);
        return std::optional<ProgrammerSettings>();
    });
}

void MenuTest::cleanup()
{
    closeWindow();
    delete m_runner;
    m_runner = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

void MenuTest::clickButton(const char *name)
{
    QTest::mouseClick(control<QPushButton>(*m_window, QString::fromLatin1(name)), Qt::LeftButton);
}

void MenuTest::clickSwatch(int index)
{
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", index), Qt::LeftButton);
}

void MenuTest::arrange(const QString &action)
{
    using Answer = Dialogs::Answer;
    const Document &document = m_window->document();
    if (action == QLatin1String("actNew")) {
        clickButton("cmdAddLine");
        m_dialogs->answers.push_back(Answer::No);
    } else if (action == QLatin1String("actLoad")) {
        m_stored = test::patternTable(9);
        const QString path = m_dir->filePath(QStringLiteral("load.asm"));
        QString error;
        QVERIFY2(saveSequenceFile(m_stored, path, &error), qPrintable(error));
        m_dialogs->fileNames.push_back(path);
    } else if (action == QLatin1String("actSave")) {
        m_window->document().state().setFileName(m_dir->filePath(QStringLiteral("save.asm")));
        clickButton("cmdAddLine");
    } else if (action == QLatin1String("actSaveAs")) {
        m_window->document().state().setFileName(m_dir->filePath(QStringLiteral("old.asm")));
        m_dialogs->fileNames.push_back(m_dir->filePath(QStringLiteral("new.asm")));
    } else if (action == QLatin1String("actSend")) {
        clickButton("cmdAddLine");
        m_dialogs->answers.push_back(Answer::No);
    } else if (action == QLatin1String("actExit")) {
        clickButton("cmdAddLine");
        m_dialogs->answers.push_back(Answer::Cancel);
    } else if (action == QLatin1String("actUndo")) {
        clickButton("cmdAddLine");
    } else if (action == QLatin1String("actRedo")) {
        clickButton("cmdAddLine");
        m_window->run(ActionManager::Command::Undo);
        QCOMPARE(document.lineCount(), 4);
    } else if (action == QLatin1String("actFill")) {
        clickSwatch(5);
    } else if (action == QLatin1String("actAbout")) {
        m_dialogs->answers.push_back(Answer::Ok);
    } else if (action.startsWith(QLatin1String("actColour("))) {
        // Another colour first, so that choosing this one shows.
        const int index = action.mid(10).chopped(1).toInt();
        clickSwatch((index + 1) % 16);
    } else if (action.startsWith(QLatin1String("actEditColour("))) {
        m_dialogs->colours.push_back(rgb24(0x1F, 0x2E, 0x3D));
    } else if (action.startsWith(QLatin1String("actLed("))) {
        clickSwatch(13);
    }
    m_start = document.table();
}

void MenuTest::verifyEffect(const QString &action)
{
    const Document &document = m_window->document();
    const LineTable &table = document.table();
    const auto lineOf = [](const LineTable &t, int line) {
        const auto cells = t.line(line);
        return QList<int>(cells.begin(), cells.end());
    };
    const QList<int> emptyLine(kColumnCount, 0);
    const QString prompt = QStringLiteral("Do you want to save your changes?");

    if (action == QLatin1String("actNew")) {
        QCOMPARE(m_dialogs->lastMessage(), prompt);
        QCOMPARE(document.lineCount(), 1);
        QCOMPARE(lineOf(table, 1), emptyLine);
        QCOMPARE(marker(), QString());
    } else if (action == QLatin1String("actLoad")) {
        QCOMPARE(m_dialogs->openInitialNames.size(), 1);
        QVERIFY(table == m_stored);
        QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFilename"))->text(),
                 m_dir->filePath(QStringLiteral("load.asm")));
    } else if (action == QLatin1String("actSave")) {
        const QString path = m_dir->filePath(QStringLiteral("save.asm"));
        QVERIFY(m_dialogs->saveInitialNames.isEmpty());
        QCOMPARE(marker(), QString());
        QCOMPARE(fileBytes(path), encodeSequence(table));
    } else if (action == QLatin1String("actSaveAs")) {
        QCOMPARE(m_dialogs->saveInitialNames,
                 QStringList{m_dir->filePath(QStringLiteral("old.asm"))});
        const QString path = m_dir->filePath(QStringLiteral("new.asm"));
        QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFilename"))->text(), path);
        QCOMPARE(fileBytes(path), encodeSequence(table));
        QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("old.asm"))));
    } else if (action == QLatin1String("actSend")) {
        QCOMPARE(m_dialogs->lastMessage(),
                 QStringLiteral("File not saved. Save now and continue?"));
        QVERIFY(m_runner->programs().isEmpty());
        QCOMPARE(marker(), QStringLiteral("*"));
    } else if (action == QLatin1String("actProgrammerSettings")) {
        QCOMPARE(m_settingsShown.size(), 1);
    } else if (action == QLatin1String("actExit")) {
        QCOMPARE(m_dialogs->lastMessage(), prompt);
        QVERIFY(m_window->isVisible());
        QCOMPARE(document.lineCount(), 5);
    } else if (action == QLatin1String("actUndo")) {
        QCOMPARE(document.lineCount(), 4);
        QCOMPARE(document.currentLine(), 2);
    } else if (action == QLatin1String("actRedo")) {
        QCOMPARE(document.lineCount(), 5);
        QCOMPARE(document.currentLine(), 5);
    } else if (action == QLatin1String("actAddLine")) {
        QCOMPARE(document.lineCount(), 5);
        QCOMPARE(document.currentLine(), 5);
        QCOMPARE(lineOf(table, 5), emptyLine);
    } else if (action == QLatin1String("actCopyLine")) {
        QCOMPARE(document.lineCount(), 5);
        QCOMPARE(document.currentLine(), 3);
        QCOMPARE(lineOf(table, 3), lineOf(m_start, 2));
        QCOMPARE(lineOf(table, 4), lineOf(m_start, 3));
    } else if (action == QLatin1String("actDeleteLine")) {
        QCOMPARE(document.lineCount(), 3);
        QCOMPARE(document.currentLine(), 2);
        QCOMPARE(lineOf(table, 2), lineOf(m_start, 3));
    } else if (action == QLatin1String("actInsertAbove")) {
        QCOMPARE(document.lineCount(), 5);
        QCOMPARE(document.currentLine(), 2);
        QCOMPARE(lineOf(table, 2), emptyLine);
        QCOMPARE(lineOf(table, 3), lineOf(m_start, 2));
    } else if (action == QLatin1String("actInsertBelow")) {
        QCOMPARE(document.lineCount(), 5);
        QCOMPARE(document.currentLine(), 3);
        QCOMPARE(lineOf(table, 3), emptyLine);
        QCOMPARE(lineOf(table, 2), lineOf(m_start, 2));
    } else if (action == QLatin1String("actFill")) {
        for (int c = 0; c < kLedCount; ++c)
            QCOMPARE(table.cell(c, 2), Cell(0xF00));
        QCOMPARE(table.duration(2), m_start.duration(2));
    } else if (action == QLatin1String("actPipette")) {
        QVERIFY(m_window->isPickMode());
    } else if (action == QLatin1String("actTest")) {
        QVERIFY(m_window->playback().isRunning());
        QCOMPARE(control<QPushButton>(*m_window, QStringLiteral("cmdTest"))->text(),
                 QStringLiteral("Stop"));
    } else if (action == QLatin1String("actAbout")) {
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.first().icon, Dialogs::Icon::Information);
        QVERIFY(m_dialogs->lastMessage().contains(QStringLiteral("Glowline")));
    } else if (action.startsWith(QLatin1String("actColour("))) {
        const int index = action.mid(10).chopped(1).toInt();
        QCOMPARE(
            test::rgbText(
                control<ClickLabel>(*m_window, QStringLiteral("lblActiveColor"))->backColour()),
            test::rgbText(control<ClickLabel>(*m_window, "lblColor", index)->backColour()));
    } else if (action.startsWith(QLatin1String("actEditColour("))) {
        const int index = action.mid(14).chopped(1).toInt();
        QCOMPARE(m_dialogs->colourPresets.size(), 1);
        QCOMPARE(test::rgbText(control<ClickLabel>(*m_window, "lblColor", index)->backColour()),
                 test::rgbText(rgb24(0x10, 0x20, 0x30)));
    } else if (action.startsWith(QLatin1String("actLed("))) {
        const int column = action.mid(7).chopped(1).toInt();
        LineTable expected = m_start;
        expected.setCell(column, 2, Cell(0x00F));
        QVERIFY(table == expected);
        QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 300 + column)->fillColour()),
                 test::rgbText(rgb24(0, 0, 240)));
    } else {
        QFAIL(qPrintable(QStringLiteral("no effect known for ") + action));
    }
}

void MenuTest::eachItemAndShortcutRunsItsCommand_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QKeySequence>("keys"); // empty: the item is chosen

    for (const MenuItem &item : menuItems()) {
        QTest::addRow("%s chosen", item.action)
            << QString::fromLatin1(item.action) << QKeySequence();
        const QString keys = QString::fromLatin1(item.keys);
        if (keys.isEmpty())
            continue;
        for (const QString &key : keys.split(QStringLiteral("; ")))
            QTest::addRow("%s by %s", item.action, qPrintable(key))
                << QString::fromLatin1(item.action)
                << QKeySequence::fromString(key, QKeySequence::PortableText);
    }
    for (int i = 0; i < PalettePanel::kSize; ++i) {
        QTest::addRow("actColour(%d) chosen", i) << indexed("actColour", i) << QKeySequence();
        QTest::addRow("actEditColour(%d) chosen", i)
            << indexed("actEditColour", i) << QKeySequence();
    }
    for (int c = 0; c < kLedCount; ++c)
        QTest::addRow("actLed(%d) chosen", c) << indexed("actLed", c) << QKeySequence();
}

void MenuTest::eachItemAndShortcutRunsItsCommand()
{
    QFETCH(QString, action);
    QFETCH(QKeySequence, keys);

    arrange(action);
    if (QTest::currentTestFailed())
        return;
    auto *item = control<QAction>(*m_window, action);
    QSignalSpy triggered(item, &QAction::triggered);

    if (keys.isEmpty()) {
        item->trigger();
    } else {
        QVERIFY(m_window->isActiveWindow());
        // From a control that has no use for the keys itself.
        control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setFocus(Qt::TabFocusReason);
        QTest::keySequence(m_window, keys);
    }
    QCOMPARE(triggered.count(), 1);
    verifyEffect(action);
    if (QTest::currentTestFailed())
        return;
    // Every question the command was to ask was asked, and no other.
    QVERIFY(!m_dialogs->unexpected);
    QVERIFY(m_dialogs->answers.empty());
    QVERIFY(m_dialogs->fileNames.empty());
    QVERIFY(m_dialogs->colours.empty());
}

void MenuTest::menusListEveryItemWithItsShortcut_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");

    for (const MenuItem &item : menuItems())
        QTest::addRow("%s", item.action)
            << QString::fromLatin1(item.menu) << QString::fromLatin1(item.action)
            << QString::fromLatin1(item.text) << QString::fromLatin1(item.keys);

    static constexpr const char *colourNames[] = {
        "Black",      "White", "Grey", "Light Grey", "Dark Red", "Red",  "Olive",  "Yellow",
        "Dark Green", "Green", "Teal", "Cyan",       "Navy",     "Blue", "Purple", "Magenta"};
    for (int i = 0; i < 16; ++i) {
        const QString name = QString::fromLatin1(colourNames[i]);
        QTest::addRow("actColour(%d)", i)
            << "&Colour/&Active Colour" << indexed("actColour", i) << name << QString();
        QTest::addRow("actEditColour(%d)", i)
            << "&Colour/&Edit Swatch" << indexed("actEditColour", i)
            << QStringLiteral("Swatch %1 (%2)...").arg(i).arg(name) << QString();
    }
    for (int c = 0; c < kLedCount; ++c)
        QTest::addRow("actLed(%d)", c) << "&Colour/&Paint LED" << indexed("actLed", c)
                                       << QStringLiteral("LED %1").arg(c) << QString();
}

void MenuTest::menusListEveryItemWithItsShortcut()
{
    QFETCH(QString, menu);
    QFETCH(QString, action);
    QFETCH(QString, text);
    QFETCH(QString, keys);

    QMenu *listing = menuAt(*m_window->menuBar(), menu);
    QVERIFY2(listing != nullptr, qPrintable(menu));
    auto *item = control<QAction>(*m_window, action);
    QVERIFY(listing->actions().contains(item));
    QCOMPARE(item->text(), text);
    QCOMPARE(keysText(item->shortcuts()), keys);
    // The menu shows the first shortcut beside the item.
    QCOMPARE(item->shortcut().toString(QKeySequence::PortableText), keys.section(u';', 0, 0));
    QVERIFY(item->isVisible());
}

void MenuTest::menusInOrder()
{
    const QMenuBar &bar = *m_window->menuBar();
    QStringList titles;
    for (const QAction *action : bar.actions())
        titles << action->text();
    QCOMPARE(titles, QStringLiteral("&File|&Edit|&Colour|&View|&Generate|&Play|&Help").split(u'|'));

    const auto expected = [](const char *menu) {
        QStringList names;
        for (const MenuItem &item : menuItems())
            if (qstrcmp(item.menu, menu) == 0)
                names << QString::fromLatin1(item.action);
        // The commands on selected lines follow; their own test runs them.
        if (qstrcmp(menu, "&Edit") == 0)
            names << QStringLiteral(
                         "actCopy|actCut|actPaste|actPasteOver|actDuplicate|"
                         "actDeleteLines|actMoveUp|actMoveDown|actReverse|"
                         "actSetDuration|actScaleDurations|actSelectAll|E&xtend Selection")
                         .split(u'|');
        // Export, the map's view and the generators are run by their own tests.
        if (qstrcmp(menu, "&File") == 0)
            names.insert(names.indexOf(QStringLiteral("actExit")),
                         QStringLiteral("actExportPicture"));
        if (qstrcmp(menu, "&View") == 0)
            names << QStringLiteral("actSequenceMap|actScaleByDuration").split(u'|');
        if (qstrcmp(menu, "&Generate") == 0)
            names << QStringLiteral("actInsertFade|actBlend|actGradient|actRotateLeft|"
                                    "actRotateRight|actMirror|actChase|actRainbow|actSparkle")
                         .split(u'|');
        return names;
    };
    for (const char *menu : {"&File", "&Edit", "&View", "&Generate", "&Play", "&Help"}) {
        const QMenu *listing = menuAt(bar, QString::fromLatin1(menu));
        QVERIFY2(listing != nullptr, menu);
        QCOMPARE(itemNames(*listing), expected(menu));
    }
    const QMenu *colour = menuAt(bar, QStringLiteral("&Colour"));
    QVERIFY(colour != nullptr);
    QCOMPARE(itemNames(*colour),
             QStringLiteral("&Active Colour|&Edit Swatch|&Paint LED").split(u'|'));
    QStringList leds;
    for (int c = 0; c < kLedCount; ++c)
        leds << indexed("actLed", c);
    QCOMPARE(itemNames(*menuAt(bar, QStringLiteral("&Colour/&Paint LED"))), leds);
}

void MenuTest::noShortcutIsTakenTwice()
{
    // Two actions with one shortcut in one window make it run neither.
    QHash<QString, QString> owner;
    for (const QAction *action : m_window->findChildren<QAction *>()) {
        for (const QKeySequence &key : action->shortcuts()) {
            const QString text = key.toString(QKeySequence::PortableText);
            QVERIFY2(!owner.contains(text),
                     qPrintable(QStringLiteral("%1 of %2 and %3")
                                    .arg(text, owner.value(text), action->objectName())));
            owner.insert(text, action->objectName());
        }
    }
    QVERIFY(owner.size() >= 17);
}

void MenuTest::noMenuHasALetterTwice()
{
    // A letter that underlines two items of one menu only moves between them.
    QList<const QMenu *> menus;
    for (const QAction *title : m_window->menuBar()->actions())
        menus << title->menu();
    for (int i = 0; i < menus.size(); ++i) {
        QHash<QChar, QString> owner;
        for (const QAction *item : menus.at(i)->actions()) {
            if (item->menu() != nullptr)
                menus << item->menu();
            const QString text = item->text();
            const qsizetype at = text.indexOf(u'&');
            if (at < 0 || at + 1 >= text.size())
                continue;
            const QChar letter = text.at(at + 1).toLower();
            QVERIFY2(!owner.contains(letter),
                     qPrintable(QStringLiteral("%1 in %2: %3 and %4")
                                    .arg(letter, menus.at(i)->title(), owner.value(letter), text)));
            owner.insert(letter, text);
        }
    }
    QVERIFY(menus.size() >= 7);
}

void MenuTest::itemDoesWhatItsControlDoes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QList<int>>("answers");

    const int no = int(Dialogs::Answer::No);
    const int cancel = int(Dialogs::Answer::Cancel);
    QTest::newRow("New") << "actNew"
                         << "cmdNewFile" << QList<int>{no};
    QTest::newRow("Send") << "actSend"
                          << "cmdSendFile" << QList<int>{no};
    QTest::newRow("Exit") << "actExit"
                          << "cmdExit" << QList<int>{cancel};
    QTest::newRow("Add Line") << "actAddLine"
                              << "cmdAddLine" << QList<int>{};
    QTest::newRow("Copy Line") << "actCopyLine"
                               << "cmdCopyLine" << QList<int>{};
    QTest::newRow("Delete Line") << "actDeleteLine"
                                 << "cmdDelLine" << QList<int>{};
    QTest::newRow("Insert Above") << "actInsertAbove"
                                  << "cmdInsLineAbove" << QList<int>{};
    QTest::newRow("Insert Below") << "actInsertBelow"
                                  << "cmdInsLineBelow" << QList<int>{};
    QTest::newRow("Fill") << "actFill"
                          << "cmdFillLine" << QList<int>{};
    QTest::newRow("Pipette") << "actPipette"
                             << "cmdPipette" << QList<int>{};
    QTest::newRow("Test") << "actTest"
                          << "cmdTest" << QList<int>{};
    QTest::newRow("LED 7") << "actLed(7)"
                           << "lblLED(7)" << QList<int>{};
    QTest::newRow("Colour 12") << "actColour(12)"
                               << "lblColor(12)" << QList<int>{};
}

void MenuTest::itemDoesWhatItsControlDoes()
{
    QFETCH(QString, action);
    QFETCH(QString, control);
    QFETCH(QList<int>, answers);

    // Two windows in the same state: one is given the menu item, the other
    // the click on the control.
    test::ScriptedDialogs otherDialogs;
    test::RecordingToolRunner otherRunner(test::RecordingToolRunner::Mode::Refuse);
    MainWindow other(otherDialogs);
    other.setSendTools(otherRunner, ToolLocator(m_dir->path(), {m_dir->path()}));
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    // Lines far longer than the test, so that a playback started by either
    // never reaches its next line before the two are compared.
    LineTable table = test::patternTable(5);
    for (int line = 1; line <= table.lineCount(); ++line)
        table.setCell(kDurationColumn, line, Cell(kMaxCellValue));
    for (MainWindow *window : {m_window, &other}) {
        test::loadTable(*window, table, 3);
        QTest::mouseClick(test::control<ClickLabel>(*window, "lblColor", 6), Qt::LeftButton);
        test::control<QPushButton>(*window, QStringLiteral("cmdCopyLine"))->click();
    }
    for (int answer : answers) {
        m_dialogs->answers.push_back(Dialogs::Answer(answer));
        otherDialogs.answers.push_back(Dialogs::Answer(answer));
    }

    test::control<QAction>(*m_window, action)->trigger();
    QWidget *target = test::control<QWidget>(other, control);
    QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {},
                      target->mapTo(&other, target->rect().center()));

    const Document &mine = m_window->document();
    const Document &theirs = other.document();
    QVERIFY(mine.table() == theirs.table());
    QCOMPARE(mine.currentLine(), theirs.currentLine());
    QCOMPARE(mine.state().changedMarker(), theirs.state().changedMarker());
    QCOMPARE(m_window->isPickMode(), other.isPickMode());
    QCOMPARE(m_window->playback().isRunning(), other.playback().isRunning());
    QCOMPARE(m_window->isVisible(), other.isVisible());
    QCOMPARE(test::control<ClickLabel>(*m_window, QStringLiteral("lblActiveColor"))->backColour(),
             test::control<ClickLabel>(other, QStringLiteral("lblActiveColor"))->backColour());
    QCOMPARE(m_window->editor().stepCount(), other.editor().stepCount());
    QCOMPARE(m_dialogs->messages.size(), otherDialogs.messages.size());
    for (qsizetype i = 0; i < m_dialogs->messages.size(); ++i)
        QCOMPARE(m_dialogs->messages[i].text, otherDialogs.messages[i].text);
    QVERIFY(m_dialogs->answers.empty());
    QVERIFY(otherDialogs.answers.empty());
    other.playback().stop();
}

void MenuTest::undoAndRedoAreEnabledOnlyWhenThereIsAStep()
{
    auto *undo = control<QAction>(*m_window, QStringLiteral("actUndo"));
    auto *redo = control<QAction>(*m_window, QStringLiteral("actRedo"));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    clickButton("cmdAddLine");
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    undo->trigger();
    QVERIFY(!undo->isEnabled());
    QVERIFY(redo->isEnabled());
    redo->trigger();
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QCOMPARE(m_window->document().lineCount(), 5);
    undo->trigger();
    QCOMPARE(m_window->document().lineCount(), 4);
    // A disabled item does nothing, from the menu or by its keys.
    undo->trigger();
    QCOMPARE(m_window->document().lineCount(), 4);
    QVERIFY(!undo->isEnabled());
    QTest::keySequence(m_window, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(m_window->document().lineCount(), 4);
    QCOMPARE(m_window->editor().stepCount(), std::size_t(1));
}

void MenuTest::aboutNamesTheProgramAndItsVersion()
{
    m_dialogs->answers.push_back(Dialogs::Answer::Ok);
    QCoreApplication::setApplicationVersion(QStringLiteral("9.87.6"));
    control<QAction>(*m_window, QStringLiteral("actAbout"))->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    const QString text = m_dialogs->lastMessage();
    QVERIFY2(text.contains(QStringLiteral("Glowline")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("9.87.6")), qPrintable(text));
    // About changes nothing.
    QCOMPARE(marker(), QString());
    QVERIFY(m_window->document().table() == test::patternTable(4));
}

QTEST_MAIN(MenuTest)
#include "MenuTest.moc"
