#include "window/map/SequenceMap.h"

#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "support/ScriptedDialogs.h"
#include "window/WindowTestSupport.h"
#include "window/map/ExportPictureCommand.h"
#include "window/map/ExportPictureDialog.h"

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <array>

using namespace glowline;

namespace {

QRgb shown(int packed)
{
    const Rgb24 c = expand(packed);
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

// Three lines: LED 0 red, blue, white; LED 10 of line 1 green; durations
// 1.00 s, 0 and 2.00 s.
LineTable threeLines()
{
    LineTable table(3);
    const int led0[] = {0xF00, 0x00F, 0xFFF};
    const int durations[] = {100, 0, 200};
    for (int n = 1; n <= 3; ++n) {
        table.setCell(0, n, Cell(led0[n - 1]));
        table.setCell(kDurationColumn, n, Cell(durations[n - 1]));
    }
    table.setCell(10, 1, 0x0F0);
    return table;
}

void sendWheel(QWidget *widget, int x, int delta, Qt::KeyboardModifiers modifiers)
{
    const QPointF position(x, 50);
    QWheelEvent event(position, widget->mapToGlobal(position), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// Answers Export Picture's two questions as the test set them.
struct ScriptedQuestions final : ExportPictureQuestions
{
    std::optional<PictureSize> size;
    std::optional<QString> fileName;
    QStringList suggestedNames; // one for each file name asked for

    std::optional<PictureSize> pictureSize(int) override { return size; }
    std::optional<QString> pictureFileName(const QString &suggested) override
    {
        suggestedNames.append(suggested);
        return fileName;
    }
};

} // namespace

class SequenceMapTest : public QObject
{
    Q_OBJECT

private slots:
    void pressDragAndShiftClickNameTheLinesUnderTheMouse_data();
    void pressDragAndShiftClickNameTheLinesUnderTheMouse();
    void wheelScrollsCtrlWheelZoomsAndFitShowsAll();
    void thePictureShowsEveryLineInItsLedsColours_data();
    void thePictureShowsEveryLineInItsLedsColours();
    void thePictureFollowsEditsAndReplacement();
    void theTooltipNamesTheLineItsDurationAndItsWords();
    void exportWritesAPngOrTellsWhyNot();
    void exportDialogAcceptsWithEnter();
};

void SequenceMapTest::pressDragAndShiftClickNameTheLinesUnderTheMouse_data()
{
    QTest::addColumn<QList<int>>("durations");
    QTest::addColumn<bool>("byDuration");
    QTest::addColumn<int>("zoomIns"); // clicks on the + button
    QTest::addColumn<int>("scroll");  // the scroll bar's value then
    QTest::addColumn<int>("pressX");
    QTest::addColumn<int>("dragX");
    QTest::addColumn<int>("pressLine");
    QTest::addColumn<int>("dragLine");

    const QList<int> hundred(100, 0);
    // 6.02 px a line: pixel x shows the line under x + 0.5.
    QTest::newRow("100 lines fitted") << hundred << false << 0 << 0 << 30 << 300 << 6 << 50;
    // 24.08 px a line, 2408 px in all.
    QTest::newRow("zoomed in, scrolled to the start")
        << hundred << false << 2 << 0 << 30 << 300 << 2 << 13;
    QTest::newRow("zoomed in, scrolled to the end")
        << hundred << false << 2 << 1806 << 0 << 601 << 76 << 100;
    // 401 hundredths in 602 px: line 2 (duration 0) lies at 150.1 .. 151.6.
    QTest::newRow("by duration, the line of duration 0")
        << QList<int>{100, 0, 200, 100} << true << 0 << 0 << 150 << 500 << 2 << 4;
    QTest::newRow("by duration, dragged back")
        << QList<int>{100, 0, 200, 100} << true << 0 << 0 << 500 << 10 << 4 << 1;
}

void SequenceMapTest::pressDragAndShiftClickNameTheLinesUnderTheMouse()
{
    QFETCH(QList<int>, durations);
    QFETCH(bool, byDuration);
    QFETCH(int, zoomIns);
    QFETCH(int, scroll);
    QFETCH(int, pressX);
    QFETCH(int, dragX);
    QFETCH(int, pressLine);
    QFETCH(int, dragLine);

    Document document;
    document.replace(test::withDurations(durations));
    SequenceMap map(document);
    map.setScaleByDuration(byDuration);
    for (int i = 0; i < zoomIns; ++i)
        QTest::mouseClick(test::control<QToolButton>(map, QStringLiteral("cmdMapZoomIn")),
                          Qt::LeftButton);
    test::control<QScrollBar>(map, QStringLiteral("scrMap"))->setValue(scroll);
    QCOMPARE(map.geometry().scrollOffset(), scroll);

    QSignalSpy clicked(&map, &SequenceMap::lineClicked);
    QSignalSpy selected(&map, &SequenceMap::rangeSelected);
    const int y = SequenceMap::kBandsTop + 20;
    QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(pressX, y));
    QTest::mouseMove(&map, QPoint(pressX, y + 3)); // the same line: nothing new
    QTest::mouseMove(&map, QPoint(dragX, y));
    QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(dragX, y));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toInt(), pressLine);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.first(), (QList<QVariant>{pressLine, dragLine}));

    // Shift+click extends from the document's anchor.
    document.setAnchorLine(pressLine);
    QTest::mouseClick(&map, Qt::LeftButton, Qt::ShiftModifier, QPoint(dragX, y));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.last(), (QList<QVariant>{pressLine, dragLine}));

    // The scroll bar row is not part of the picture.
    QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(pressX, SequenceMap::kControlsTop + 5));
    QCOMPARE(clicked.count(), 1);
}

void SequenceMapTest::wheelScrollsCtrlWheelZoomsAndFitShowsAll()
{
    Document document;
    document.replace(LineTable(1000));
    SequenceMap map(document);
    auto *fit = test::control<QToolButton>(map, QStringLiteral("cmdMapFit"));
    QVERIFY(!fit->isEnabled());

    sendWheel(&map, 300, -120, Qt::NoModifier); // nothing to scroll yet
    QCOMPARE(map.geometry().scrollOffset(), 0);
    sendWheel(&map, 0, 240, Qt::ControlModifier);
    QVERIFY(map.geometry().contentWidth() > 602);
    QCOMPARE(map.geometry().lineAtViewX(0), 1);
    QVERIFY(fit->isEnabled());
    sendWheel(&map, 300, -120, Qt::NoModifier);
    QCOMPARE(map.geometry().scrollOffset(), 60);
    QCOMPARE(test::control<QScrollBar>(map, QStringLiteral("scrMap"))->value(), 60);

    QTest::mouseClick(fit, Qt::LeftButton);
    QVERIFY(map.geometry().isFitted());
    QCOMPARE(map.geometry().contentWidth(), 602);
    QCOMPARE(test::control<QScrollBar>(map, QStringLiteral("scrMap"))->maximum(), 0);
}

void SequenceMapTest::thePictureShowsEveryLineInItsLedsColours_data()
{
    QTest::addColumn<bool>("byDuration");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<QList<int>>("colours"); // packed colours expected there

    QTest::newRow("a column per line, default height")
        << false << 300 << 110 << QSize(300, 110)
        << QList<QPoint>{{0, 0}, {99, 9}, {100, 0}, {299, 0}, {50, 10}, {50, 109}, {150, 109}}
        << QList<int>{0xF00, 0xF00, 0x00F, 0xFFF, 0x000, 0x0F0, 0x000};
    // 301 hundredths in 301 px: the line of duration 0 is pixel 100.
    QTest::newRow("by duration") << true << 301 << 110 << QSize(301, 110)
                                 << QList<QPoint>{{99, 0}, {100, 0}, {101, 0}, {300, 0}}
                                 << QList<int>{0xF00, 0x00F, 0xFFF, 0xFFF};
    QTest::newRow("one row a band")
        << false << 3 << 11 << QSize(3, 11) << QList<QPoint>{{0, 0}, {0, 10}, {0, 9}, {2, 0}}
        << QList<int>{0xF00, 0x0F0, 0x000, 0xFFF};
    QTest::newRow("at the current zoom")
        << false << 0 << 110 << QSize(602, 110) << QList<QPoint>{{200, 0}, {201, 0}}
        << QList<int>{0xF00, 0x00F};
    QTest::newRow("wider than the widest")
        << false << 32768 << 110 << QSize(0, 0) << QList<QPoint>{} << QList<int>{};
    QTest::newRow("lower than a row a band")
        << false << 300 << 10 << QSize(0, 0) << QList<QPoint>{} << QList<int>{};
}

void SequenceMapTest::thePictureShowsEveryLineInItsLedsColours()
{
    QFETCH(bool, byDuration);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QSize, size);
    QFETCH(QList<QPoint>, points);
    QFETCH(QList<int>, colours);

    Document document;
    document.replace(threeLines());
    SequenceMap map(document);
    map.setScaleByDuration(byDuration);
    const QImage picture = map.renderPicture(width, height);
    QCOMPARE(picture.size(), size);
    for (int i = 0; i < points.size(); ++i) {
        QVERIFY2(picture.pixel(points[i]) == shown(colours[i]),
                 qPrintable(QStringLiteral("at %1, %2").arg(points[i].x()).arg(points[i].y())));
    }
}

void SequenceMapTest::thePictureFollowsEditsAndReplacement()
{
    Document document;
    document.replace(threeLines());
    SequenceMap map(document);
    SequenceEditor editor(document);
    map.setScaleByDuration(true);

    // A new colour on one line.
    editor.setCell(5, 3, 0x123);
    map.linesChanged(3, 3);
    QCOMPARE(map.renderPicture(301, 11).pixel(200, 5), shown(0x123));
    // A new duration moves the lines after it.
    editor.setCell(kDurationColumn, 1, 200);
    map.linesChanged(1, 1);
    QCOMPARE(map.renderPicture(401, 11).pixel(200, 0), shown(0x00F));
    // A line inserted at the start.
    const std::array<Cell, kColumnCount> cyan{0x0FF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99};
    editor.insertLines(1, cyan);
    map.sequenceChanged();
    const QImage inserted = map.renderPicture(500, 11);
    QCOMPARE(inserted.pixel(0, 0), shown(0x0FF));
    QCOMPARE(inserted.pixel(98, 0), shown(0x0FF));
    QCOMPARE(inserted.pixel(99, 0), shown(0xF00));

    // A zoomed map fits again when a new sequence is put in place.
    map.zoomIn();
    QVERIFY(!map.geometry().isFitted());
    document.replace(LineTable(7));
    map.documentReplaced();
    QVERIFY(map.geometry().isFitted());
    QCOMPARE(map.currentZoomWidth(), 602);
    QCOMPARE(map.renderPicture(0, 110).pixel(601, 0), shown(0));
}

void SequenceMapTest::theTooltipNamesTheLineItsDurationAndItsWords()
{
    Document document;
    document.replace(threeLines());
    SequenceMap map(document);
    map.show();
    QVERIFY(QTest::qWaitForWindowExposed(&map));
    auto tipAt = [&map](int x) {
        const QPoint position(x, SequenceMap::kBandsTop + 5);
        QHelpEvent help(QEvent::ToolTip, position, map.mapToGlobal(position));
        QApplication::sendEvent(&map, &help);
        return QToolTip::text();
    };
    // Against the line before: LEDs 0 and 10 and the duration; LEDs 0 and
    // 10; LED 0 and the duration.
    QCOMPARE(tipAt(10), QStringLiteral("Line 1\n1.00 s\n3 words"));
    QCOMPARE(tipAt(300), QStringLiteral("Line 2\n0.00 s\n2 words"));
    QCOMPARE(tipAt(590), QStringLiteral("Line 3\n2.00 s\n2 words"));
}

void SequenceMapTest::exportWritesAPngOrTellsWhyNot()
{
    QTemporaryDir dir;
    Document document;
    document.replace(threeLines());
    document.state().setFileName(dir.filePath(QStringLiteral("show.asm")));
    SequenceMap map(document);
    test::ScriptedDialogs dialogs;
    ScriptedQuestions questions;
    ExportPictureCommand command(dialogs, map, &questions);

    // At the current zoom, under the name the sequence suggests.
    const QString picturePath = dir.filePath(QStringLiteral("show.png"));
    questions.size = PictureSize{0, 110};
    questions.fileName = picturePath;
    command.run();
    QCOMPARE(questions.suggestedNames, QStringList{picturePath});
    QImage written(picturePath, "png");
    QCOMPARE(written.size(), QSize(602, 110));
    QCOMPARE(written.pixel(0, 0), shown(0xF00));
    QCOMPARE(written.pixel(601, 105), shown(0x000));
    QCOMPARE(written.pixel(0, 105), shown(0x0F0));

    // A folder that is not there fails like a save and leaves nothing.
    const QString nowhere = dir.filePath(QStringLiteral("gone/show.png"));
    questions.size = PictureSize{1200, 55};
    questions.fileName = nowhere;
    dialogs.answers.push_back(Dialogs::Answer::Ok);
    command.run();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::Error);
    QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("Failed to save file: \r\n")));
    QVERIFY(dialogs.messages[0].text.size() > 23);
    QVERIFY(!QFileInfo::exists(nowhere));
    QVERIFY(command.exportTo(picturePath, PictureSize{1200, 55}));
    QCOMPARE(QImage(picturePath, "png").size(), QSize(1200, 55));

    // Too wide at the current zoom: told before any file is asked for.
    document.replace(LineTable(kMaxLines));
    map.documentReplaced();
    for (int i = 0; i < 8; ++i)
        map.zoomIn();
    QVERIFY(map.currentZoomWidth() > SequenceMap::kMaxPictureWidth);
    questions.size = PictureSize{0, 110};
    dialogs.answers.push_back(Dialogs::Answer::Ok);
    command.run();
    QCOMPARE(dialogs.messages.size(), 2);
    QCOMPARE(dialogs.messages[1].icon, Dialogs::Icon::Warning);
    QCOMPARE(questions.suggestedNames.size(), 2);
}

void SequenceMapTest::exportDialogAcceptsWithEnter()
{
    ExportPictureDialog dialog(4000);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.pictureSize().width, 0);
    auto *width = test::control<QSpinBox>(dialog, QStringLiteral("txtPictureWidth"));
    QCOMPARE(width->text(), QStringLiteral("current zoom"));
    QTest::keyClicks(width, QStringLiteral("1500"));
    QTest::keyClick(width, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.pictureSize().width, 1500);
    QCOMPARE(dialog.pictureSize().height, SequenceMap::kDefaultPictureHeight);

    ExportPictureDialog escaped(4000);
    escaped.show();
    QVERIFY(QTest::qWaitForWindowExposed(&escaped));
    QTest::keyClick(&escaped, Qt::Key_Escape);
    QCOMPARE(escaped.result(), int(QDialog::Rejected));
}

QTEST_MAIN(SequenceMapTest)
#include "SequenceMapTest.moc"
