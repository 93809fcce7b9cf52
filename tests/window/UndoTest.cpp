#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "files/SequenceWriter.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/LedShape.h"
#include "window/controls/UpDown.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <array>

using namespace glowline;
using glowline::test::control;

namespace {

// Everything undo and redo must put back: the sequence, the current line and
// what the window shows of it.
struct Shown
{
    LineTable table;
    int current = 0;
    int scrollValue = 0;
    int scrollMaximum = 0;
    std::array<bool, 7> rowVisible{};
    std::array<QString, 7> lineLabels;
    std::array<QString, 7> times;
    std::array<std::array<Rgb24, 11>, 7> leds{};
    std::array<int, 33> sliders{};
    int upDown = 0;
};

Shown capture(const MainWindow &window)
{
    Shown s;
    s.table = window.document().table();
    s.current = window.document().currentLine();
    const auto *scrLine = control<QScrollBar>(window, QStringLiteral("scrLine"));
    s.scrollValue = scrLine->value();
    s.scrollMaximum = scrLine->maximum();
    for (int r = 0; r < 7; ++r) {
        const auto row = std::size_t(r);
        s.rowVisible[row] = control<QLabel>(window, "lblLine", r)->isVisible();
        // A hidden row keeps whatever it showed last; only visible rows count.
        if (!s.rowVisible[row])
            continue;
        s.lineLabels[row] = control<QLabel>(window, "lblLine", r)->text();
        s.times[row] = control<QLineEdit>(window, "txtTime", r)->text();
        for (int c = 0; c < 11; ++c)
            s.leds[row][std::size_t(c)] =
                control<LedShape>(window, "shpLED", r * 100 + c)->fillColour();
    }
    for (int c = 0; c < 11; ++c) {
        s.sliders[std::size_t(3 * c)] = control<QScrollBar>(window, "scrR", c)->value();
        s.sliders[std::size_t(3 * c + 1)] = control<QScrollBar>(window, "scrG", c)->value();
        s.sliders[std::size_t(3 * c + 2)] = control<QScrollBar>(window, "scrB", c)->value();
    }
    s.upDown = control<UpDown>(window, QStringLiteral("udTime"))->value();
    return s;
}

QString firstDifference(const LineTable &actual, const LineTable &expected)
{
    if (actual.lineCount() != expected.lineCount())
        return QStringLiteral("line count %1, expected %2")
            .arg(actual.lineCount())
            .arg(expected.lineCount());
    for (int line = 1; line <= actual.lineCount(); ++line)
        for (int column = 0; column < kColumnCount; ++column)
            if (actual.cell(column, line) != expected.cell(column, line))
                return QStringLiteral("cell (%1, line %2) is %3, expected %4")
                    .arg(column)
                    .arg(line)
                    .arg(actual.cell(column, line))
                    .arg(expected.cell(column, line));
    return QString();
}

void compareShown(const Shown &actual, const Shown &expected)
{
    QVERIFY2(actual.table == expected.table,
             qPrintable(firstDifference(actual.table, expected.table)));
    QCOMPARE(actual.current, expected.current);
    QCOMPARE(actual.scrollValue, expected.scrollValue);
    QCOMPARE(actual.scrollMaximum, expected.scrollMaximum);
    for (std::size_t r = 0; r < 7; ++r) {
        QCOMPARE(actual.rowVisible[r], expected.rowVisible[r]);
        QCOMPARE(actual.lineLabels[r], expected.lineLabels[r]);
        QCOMPARE(actual.times[r], expected.times[r]);
        for (std::size_t c = 0; c < 11; ++c)
            QCOMPARE(test::rgbText(actual.leds[r][c]), test::rgbText(expected.leds[r][c]));
    }
    for (std::size_t i = 0; i < 33; ++i)
        QCOMPARE(actual.sliders[i], expected.sliders[i]);
    QCOMPARE(actual.upDown, expected.upDown);
}

} // namespace

class UndoTest final : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void undoAndRedoEachChange_data();
    void undoAndRedoEachChange();
    void sliderDragIsOneStep();
    void dragBackToWhereItBeganIsNoStep();
    void undoReturnsToTheLineOfTheChange();
    void undoWhileTypingTakesBackTheTypedDuration();
    void replacingTheSequenceEmptiesTheHistory_data();
    void replacingTheSequenceEmptiesTheHistory();
    void failedLoadKeepsTheHistory();
    void picksPaletteAndPlaybackAreNoSteps();
    void lineCommandWhileDraggingKeepsUndoExact();
    void replacingWhileDraggingLeavesNoStepOfTheOldSequence_data();
    void replacingWhileDraggingLeavesNoStepOfTheOldSequence();

private:
    // Runs one kind of change the way the user makes it.
    void change(const QString &kind);
    // Clears the changed marker the way the user does: by saving.
    void save();
    void clickButton(const char *name);
    void clickLed(int column);
    void triggerAction(const char *name);
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }

    QTemporaryDir *m_dir = nullptr;
};

void UndoTest::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    openWindow();
}

void UndoTest::cleanup()
{
    closeWindow();
    delete m_dir;
    m_dir = nullptr;
}

void UndoTest::clickButton(const char *name)
{
    QTest::mouseClick(control<QPushButton>(*m_window, QString::fromLatin1(name)), Qt::LeftButton);
}

void UndoTest::clickLed(int column)
{
    auto *target = control<ClickLabel>(*m_window, "lblLED", column);
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(m_window, QPoint(12, 12)));
}

void UndoTest::triggerAction(const char *name)
{
    control<QAction>(*m_window, QString::fromLatin1(name))->trigger();
}

void UndoTest::save()
{
    m_window->document().state().setFileName(m_dir->filePath(QStringLiteral("undo.asm")));
    control<QPushButton>(*m_window, QStringLiteral("cmdSaveFile"))->click();
    QCOMPARE(marker(), QString());
}

void UndoTest::change(const QString &kind)
{
    if (kind == QLatin1String("Add")) {
        clickButton("cmdAddLine");
    } else if (kind == QLatin1String("Copy")) {
        clickButton("cmdCopyLine");
    } else if (kind == QLatin1String("Delete")) {
        clickButton("cmdDelLine");
    } else if (kind == QLatin1String("Insert Above")) {
        clickButton("cmdInsLineAbove");
    } else if (kind == QLatin1String("Insert Below")) {
        clickButton("cmdInsLineBelow");
    } else if (kind == QLatin1String("Paint LED")) {
        QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 5), Qt::LeftButton);
        clickLed(4);
    } else if (kind == QLatin1String("Fill")) {
        QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 11), Qt::LeftButton);
        clickButton("cmdFillLine");
    } else if (kind == QLatin1String("Slider set")) {
        auto *slider = control<QScrollBar>(*m_window, "scrR", 2);
        slider->setValue((slider->value() + 7) % 16);
    } else if (kind == QLatin1String("Slider key")) {
        auto *slider = control<QScrollBar>(*m_window, "scrG", 7);
        slider->setFocus(Qt::TabFocusReason);
        QTest::keyClick(slider, slider->value() < 15 ? Qt::Key_Down : Qt::Key_Up);
    } else if (kind == QLatin1String("Duration typed")) {
        auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("12.34"));
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(!box->hasFocus());
    } else if (kind == QLatin1String("udTime up") || kind == QLatin1String("udTime down")) {
        auto *upDown = control<UpDown>(*m_window, QStringLiteral("udTime"));
        const QString arrow =
            kind.endsWith(QLatin1String("up")) ? QStringLiteral("up") : QStringLiteral("down");
        QTest::mouseClick(control<QToolButton>(*upDown, arrow), Qt::LeftButton);
    } else {
        QFAIL(qPrintable(QStringLiteral("no such change: ") + kind));
    }
}

void UndoTest::undoAndRedoEachChange_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("current");

    const struct
    {
        const char *kind;
        int lineCount;
        int current;
    } rows[] = {
        {"Add", 6, 3},
        {"Add", 1, 1},
        {"Copy", 6, 3},
        {"Copy", 6, 6},
        {"Delete", 6, 3},
        {"Delete", 6, 6},
        {"Delete", 6, 1},
        {"Insert Above", 6, 1},
        {"Insert Above", 6, 4},
        {"Insert Below", 6, 3},
        {"Insert Below", 6, 6},
        {"Paint LED", 6, 3},
        {"Paint LED", 1, 1},
        {"Fill", 6, 3},
        {"Fill", 6, 6},
        {"Slider set", 6, 3},
        {"Slider set", 1, 1},
        {"Slider key", 6, 2},
        {"Duration typed", 6, 3},
        {"Duration typed", 1, 1},
        {"udTime up", 6, 3},
        {"udTime down", 6, 4},
    };
    for (const auto &row : rows)
        QTest::addRow("%s, line %d of %d", row.kind, row.current, row.lineCount)
            << QString::fromLatin1(row.kind) << row.lineCount << row.current;
}

void UndoTest::undoAndRedoEachChange()
{
    QFETCH(QString, kind);
    QFETCH(int, lineCount);
    QFETCH(int, current);

    test::loadTable(*m_window, test::patternTable(lineCount), current);
    const Shown before = capture(*m_window);
    QVERIFY(!m_window->editor().canUndo());

    change(kind);
    if (QTest::currentTestFailed())
        return;
    const Shown after = capture(*m_window);
    QVERIFY2(!(after.table == before.table), "the change changed nothing");
    QCOMPARE(m_window->editor().stepCount(), std::size_t(1));

    save();
    triggerAction("actUndo");
    compareShown(capture(*m_window), before);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(marker(), QStringLiteral("*"));
    QVERIFY(!m_window->editor().canUndo());
    QVERIFY(m_window->editor().canRedo());

    save();
    triggerAction("actRedo");
    compareShown(capture(*m_window), after);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(marker(), QStringLiteral("*"));
    QVERIFY(!m_window->editor().canRedo());

    // And back once more: the step survives a round trip.
    triggerAction("actUndo");
    compareShown(capture(*m_window), before);
}

void UndoTest::sliderDragIsOneStep()
{
    test::loadTable(*m_window, test::patternTable(6), 3);
    const Shown original = capture(*m_window);
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 5), Qt::LeftButton);
    clickButton("cmdFillLine");
    const Shown filled = capture(*m_window);

    auto *slider = control<QScrollBar>(*m_window, "scrB", 9);
    const int start = slider->value();
    slider->setSliderDown(true);
    for (int k = 1; k <= 15; ++k) {
        const int position = (start + k) % 16;
        if (k % 2 == 1)
            slider->setSliderPosition(position);
        else
            slider->setValue(position);
        // Every position is a real edit of the cell.
        QCOMPARE(m_window->document().table().cell(9, 3) & 0xF, 15 - position);
    }
    slider->setSliderDown(false);
    const Shown dragged = capture(*m_window);
    QCOMPARE(m_window->editor().stepCount(), std::size_t(2));

    triggerAction("actUndo");
    compareShown(capture(*m_window), filled);
    if (QTest::currentTestFailed())
        return;
    triggerAction("actUndo");
    compareShown(capture(*m_window), original);
    if (QTest::currentTestFailed())
        return;
    triggerAction("actRedo");
    triggerAction("actRedo");
    compareShown(capture(*m_window), dragged);
}

void UndoTest::dragBackToWhereItBeganIsNoStep()
{
    test::loadTable(*m_window, test::patternTable(4), 2);
    clickButton("cmdCopyLine");
    const Shown copied = capture(*m_window);
    auto *slider = control<QScrollBar>(*m_window, "scrR", 0);
    const int start = slider->value();
    slider->setSliderDown(true);
    for (int k = 1; k <= 4; ++k)
        slider->setSliderPosition((start + k) % 16);
    slider->setSliderPosition(start);
    slider->setSliderDown(false);
    QCOMPARE(m_window->editor().stepCount(), std::size_t(1));
    compareShown(capture(*m_window), copied);
}

void UndoTest::undoReturnsToTheLineOfTheChange()
{
    test::loadTable(*m_window, test::patternTable(8), 2);
    const Shown before = capture(*m_window);
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 13), Qt::LeftButton);
    clickLed(6);
    const Shown after = capture(*m_window);

    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    scrLine->setValue(7);
    QCOMPARE(m_window->document().currentLine(), 7);
    triggerAction("actUndo");
    compareShown(capture(*m_window), before);
    if (QTest::currentTestFailed())
        return;
    scrLine->setValue(5);
    triggerAction("actRedo");
    compareShown(capture(*m_window), after);
}

void UndoTest::undoWhileTypingTakesBackTheTypedDuration()
{
    test::loadTable(*m_window, test::patternTable(3), 2);
    const Shown original = capture(*m_window);
    clickButton("cmdCopyLine");
    const Shown copied = capture(*m_window);
    auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("7"));
    QCOMPARE(m_window->document().table().duration(3), copied.table.duration(3));
    // The typed duration is committed as a step of its own and taken back at
    // once; the box is left showing what the line holds, and the step before
    // it is still there.
    triggerAction("actUndo");
    compareShown(capture(*m_window), copied);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!box->isModified());
    triggerAction("actRedo");
    QCOMPARE(m_window->document().table().duration(3), Cell(700));
    QCOMPARE(box->text(), QStringLiteral("7.00"));
    triggerAction("actUndo");
    triggerAction("actUndo");
    compareShown(capture(*m_window), original);
}

void UndoTest::replacingTheSequenceEmptiesTheHistory_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Load") << "Load";
    QTest::newRow("New") << "New";
}

void UndoTest::replacingTheSequenceEmptiesTheHistory()
{
    QFETCH(QString, command);

    LineTable stored = test::patternTable(4);
    const QString path = m_dir->filePath(QStringLiteral("stored.asm"));
    QString error;
    QVERIFY2(saveSequenceFile(stored, path, &error), qPrintable(error));

    test::loadTable(*m_window, test::patternTable(6), 3);
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 14), Qt::LeftButton);
    clickButton("cmdAddLine");
    clickButton("cmdFillLine");
    triggerAction("actUndo");
    QVERIFY(m_window->editor().canUndo());
    QVERIFY(m_window->editor().canRedo());

    m_dialogs->answers.push_back(Dialogs::Answer::No);
    if (command == QLatin1String("Load")) {
        m_dialogs->fileNames.push_back(path);
        clickButton("cmdLoadFile");
        QVERIFY2(m_window->document().table() == stored,
                 qPrintable(firstDifference(m_window->document().table(), stored)));
    } else {
        clickButton("cmdNewFile");
        QCOMPARE(m_window->document().lineCount(), 1);
    }
    QCOMPARE(m_window->editor().stepCount(), std::size_t(0));
    QVERIFY(!control<QAction>(*m_window, QStringLiteral("actUndo"))->isEnabled());
    QVERIFY(!control<QAction>(*m_window, QStringLiteral("actRedo"))->isEnabled());

    const Shown loaded = capture(*m_window);
    m_window->run(ActionManager::Command::Undo);
    compareShown(capture(*m_window), loaded);
    QCOMPARE(marker(), QString());
    m_window->run(ActionManager::Command::Redo);
    compareShown(capture(*m_window), loaded);
    QCOMPARE(marker(), QString());
}

void UndoTest::failedLoadKeepsTheHistory()
{
    test::loadTable(*m_window, test::patternTable(5), 2);
    const Shown before = capture(*m_window);
    clickButton("cmdCopyLine");

    m_dialogs->answers.push_back(Dialogs::Answer::No);
    m_dialogs->answers.push_back(Dialogs::Answer::Ok);
    m_dialogs->fileNames.push_back(m_dir->filePath(QStringLiteral("missing.asm")));
    clickButton("cmdLoadFile");
    QVERIFY(m_dialogs->lastMessage().startsWith(QStringLiteral("Failed to load file: ")));
    QCOMPARE(m_window->document().lineCount(), 6);

    triggerAction("actUndo");
    compareShown(capture(*m_window), before);
}

void UndoTest::picksPaletteAndPlaybackAreNoSteps()
{
    test::loadTable(*m_window, test::patternTable(6), 4);
    const Shown before = capture(*m_window);
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 7), Qt::LeftButton);
    clickButton("cmdFillLine");
    QCOMPARE(m_window->editor().stepCount(), std::size_t(1));

    // Palette clicks, a swatch edited through the colour dialog, a pick with
    // the pipette and a while of playback.
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 2), Qt::LeftButton);
    triggerAction("actColour(9)");
    m_dialogs->colours.push_back(rgb24(0x12, 0x34, 0x56));
    triggerAction("actEditColour(3)");
    QCOMPARE(control<ClickLabel>(*m_window, "lblColor", 3)->backColour(), rgb24(0x10, 0x30, 0x50));
    clickButton("cmdPipette");
    QVERIFY(m_window->isPickMode());
    clickLed(1);
    QVERIFY(!m_window->isPickMode());
    const Rgb24 picked =
        control<ClickLabel>(*m_window, QStringLiteral("lblActiveColor"))->backColour();
    QCOMPARE(picked, rgb24(0xF0, 0xF0, 0));
    clickButton("cmdTest");
    QVERIFY(m_window->playback().isRunning());
    m_window->playback().tick();
    m_window->playback().tick();
    QCOMPARE(m_window->document().currentLine(), 6);
    clickButton("cmdTest");
    QVERIFY(!m_window->playback().isRunning());
    QCOMPARE(m_window->editor().stepCount(), std::size_t(1));

    // The one undo takes back the Fill and returns to its line; the palette
    // and the active colour stay as they are.
    triggerAction("actUndo");
    compareShown(capture(*m_window), before);
    QVERIFY(!m_window->editor().canUndo());
    QCOMPARE(control<ClickLabel>(*m_window, "lblColor", 3)->backColour(), rgb24(0x10, 0x30, 0x50));
    QCOMPARE(control<ClickLabel>(*m_window, QStringLiteral("lblActiveColor"))->backColour(),
             picked);
}

void UndoTest::lineCommandWhileDraggingKeepsUndoExact()
{
    test::loadTable(*m_window, test::patternTable(6), 3);
    const Shown original = capture(*m_window);
    auto *slider = control<QScrollBar>(*m_window, "scrG", 1);
    slider->setFocus(Qt::MouseFocusReason);
    slider->setSliderDown(true);
    slider->setSliderPosition((slider->value() + 3) % 16);
    slider->setSliderPosition((slider->value() + 5) % 16);
    // With the thumb still held, the keyboard inserts a line above.
    QTest::keySequence(m_window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    QCOMPARE(m_window->document().lineCount(), 7);
    slider->setSliderDown(false);
    const Shown after = capture(*m_window);

    for (int i = 0; i < 10 && m_window->editor().canUndo(); ++i)
        triggerAction("actUndo");
    compareShown(capture(*m_window), original);
    if (QTest::currentTestFailed())
        return;
    for (int i = 0; i < 10 && m_window->editor().canRedo(); ++i)
        triggerAction("actRedo");
    compareShown(capture(*m_window), after);
}

void UndoTest::replacingWhileDraggingLeavesNoStepOfTheOldSequence_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("New") << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("Load") << QKeySequence(Qt::CTRL | Qt::Key_O);
}

void UndoTest::replacingWhileDraggingLeavesNoStepOfTheOldSequence()
{
    QFETCH(QKeySequence, keys);

    const QString path = m_dir->filePath(QStringLiteral("one.asm"));
    QString error;
    QVERIFY2(saveSequenceFile(LineTable(1), path, &error), qPrintable(error));
    test::loadTable(*m_window, test::patternTable(400), 300);
    auto *slider = control<QScrollBar>(*m_window, "scrR", 4);
    slider->setFocus(Qt::MouseFocusReason);
    slider->setSliderDown(true);
    slider->setSliderPosition((slider->value() + 5) % 16);
    // With the thumb still held, the keyboard replaces the sequence.
    m_dialogs->answers.push_back(Dialogs::Answer::No);
    if (keys == QKeySequence(Qt::CTRL | Qt::Key_O))
        m_dialogs->fileNames.push_back(path);
    QTest::keySequence(m_window, keys);
    QVERIFY(m_dialogs->fileNames.empty());
    QCOMPARE(m_window->document().lineCount(), 1);
    slider->setSliderDown(false);

    // What the drag did belonged to the sequence that is gone; an undo step
    // of it would write to line 300 of a one-line table.
    QVERIFY(!m_window->editor().canUndo());
    const Shown fresh = capture(*m_window);
    triggerAction("actUndo");
    compareShown(capture(*m_window), fresh);
}

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
