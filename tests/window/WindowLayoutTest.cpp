#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/LedShape.h"
#include "window/controls/UpDown.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

using namespace glowline;
using glowline::test::control;

namespace {

// Row tops of the line window, in twips.
constexpr int kRowTop[7] = {360, 840, 1320, 1920, 3480, 3960, 4440};

QString name(const char *base, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(index);
}

} // namespace

class WindowLayoutTest final : public test::WindowFixture
{
    Q_OBJECT

public:
    WindowLayoutTest() : WindowFixture(Show::Hidden) {}

private:
    // What stands below the client area: the panels and the status bar add
    // height there, never width.
    int panelsBelow() const
    {
        const int clientBottom = m_window->centralWidget()->geometry().bottom();
        int height = 0;
        for (QWidget *w : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisible() && w->geometry().top() > clientBottom)
                height = std::max(height, w->geometry().bottom() - clientBottom);
        }
        return height;
    }

private slots:
    void window();
    void clientAreaKeepsItsSizeUnderAMenuBar();
    void resizingMovesNothing();
    void geometry_data();
    void geometry();
    void captions_data();
    void captions();
    void captionsFitTheirControls();
    void startUpLook();
    void palette_data();
    void palette();
    void ledClickTargetsLieUnderTheShapes();
    void clickOnLedCircleOrCornerIsAClickOnItsTarget();
    void shieldsCoverTheOtherRowsOnly();
    void focusOrder();
    void firstSliderHasTheFocusHoweverTheWindowIsActivated();
    void focusedControlsShowAFrame_data();
    void focusedControlsShowAFrame();
    void tabKeyFollowsTheOrder();
    void otherRowsCannotBeTypedInto();
    void enterAndEscape();
};

void WindowLayoutTest::window()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Form1"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // 9030 x 5520 twips.
    QCOMPARE(m_window->centralWidget()->size(), QSize(602, 368));
    // The menu bar sits above the client area, which starts right below it.
    const int menuHeight = m_window->menuBar()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(m_window->centralWidget()->pos(), QPoint(0, menuHeight));
    QCOMPARE(m_window->size(), QSize(602, 368 + menuHeight + panelsBelow()));
}

void WindowLayoutTest::clientAreaKeepsItsSizeUnderAMenuBar()
{
    m_window->menuBar()->addMenu(QStringLiteral("File"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const int menuHeight = m_window->menuBar()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(m_window->centralWidget()->size(), QSize(602, 368));
    QCOMPARE(m_window->size(), QSize(602, 368 + menuHeight + panelsBelow()));
    auto *frame = control<QFrame>(*m_window, QStringLiteral("Frame1"));
    QCOMPARE(frame->geometry(), QRect(51, 24, 505, 337));
}

void WindowLayoutTest::resizingMovesNothing()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *exit = control<QPushButton>(*m_window, QStringLiteral("cmdExit"));
    const QRect before = exit->geometry();
    const QSize size = m_window->size();
    m_window->resize(900, 700);
    QCoreApplication::processEvents();
    QCOMPARE(m_window->size(), size);
    QCOMPARE(exit->geometry(), before);
}

void WindowLayoutTest::geometry_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("container");
    // Left, top, width, height in twips, as the layout was drawn.
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    const QString client = QStringLiteral("clientArea");
    const QString frame = QStringLiteral("Frame1");
    const auto row = [](const QString &control, const QString &container, int l, int t, int w,
                        int h) {
        QTest::newRow(qPrintable(control)) << control << container << l << t << w << h;
    };

    row(QStringLiteral("cmdNewFile"), client, 0, 0, 735, 375);
    row(QStringLiteral("cmdLoadFile"), client, 720, 0, 735, 375);
    row(QStringLiteral("cmdSaveFile"), client, 1440, 0, 735, 375);
    row(QStringLiteral("cmdSaveFileAs"), client, 2160, 0, 735, 375);
    row(QStringLiteral("cmdSendFile"), client, 2880, 0, 735, 375);
    row(QStringLiteral("lblFilename"), client, 3720, 120, 4335, 255);
    row(QStringLiteral("lblFileChanged"), client, 8160, 120, 135, 255);
    row(QStringLiteral("cmdAddLine"), client, 8400, 480, 615, 375);
    row(QStringLiteral("cmdInsLineAbove"), client, 8400, 840, 615, 375);
    row(QStringLiteral("cmdInsLineBelow"), client, 8400, 1200, 615, 375);
    row(QStringLiteral("cmdCopyLine"), client, 8400, 1560, 615, 375);
    row(QStringLiteral("cmdDelLine"), client, 8400, 1920, 615, 375);
    row(QStringLiteral("cmdFillLine"), client, 8400, 2280, 615, 375);
    row(QStringLiteral("cmdExit"), client, 8400, 5040, 615, 375);
    for (int i = 0; i < 16; ++i)
        row(name("lblColor", i), client, i % 2 == 0 ? 0 : 360, 480 + 360 * (i / 2), 375, 375);
    row(QStringLiteral("lblActiveColor"), client, 0, 3480, 735, 375);
    row(QStringLiteral("cmdPipette"), client, 0, 3840, 735, 375);
    row(QStringLiteral("Frame1"), client, 765, 360, 7575, 5055);

    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 11; ++c)
            row(name("shpLED", r * 100 + c), frame, 840 + 480 * c, kRowTop[r], 375, 375);
        row(name("lblLine", r), frame, 120, r == 4 ? 3480 : kRowTop[r] + 60, 495, 255);
        row(name("txtTime", r), frame, 6120, kRowTop[r] + 60, 615, 285);
    }
    for (int c = 0; c < 11; ++c) {
        row(name("lblLED", c), frame, 840 + 480 * c, 1920, 375, 375);
        row(name("scrR", c), frame, 840 + 480 * c, 2400, 135, 855);
        row(name("scrG", c), frame, 960 + 480 * c, 2400, 135, 855);
        row(name("scrB", c), frame, 1080 + 480 * c, 2400, 135, 855);
    }
    row(QStringLiteral("udTime"), frame, 6720, 1980, 240, 255);
    row(QStringLiteral("cmdTest"), frame, 6120, 2880, 855, 375);
    row(QStringLiteral("scrLine"), frame, 7200, 120, 255, 4815);
    row(QStringLiteral("Shape1"), frame, 720, 1800, 6375, 1575);
    row(QStringLiteral("frmShield1"), frame, 120, 240, 6975, 1455);
    row(QStringLiteral("frmShield2"), frame, 120, 3480, 6975, 1455);
}

void WindowLayoutTest::geometry()
{
    QFETCH(QString, control);
    QFETCH(QString, container);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);

    // Every figure of the layout is a whole number of pixels at 15 twips each.
    for (int twips : {left, top, width, height})
        QCOMPARE(twips % 15, 0);
    auto *widget = test::control<QWidget>(*m_window, control);
    auto *area = test::control<QWidget>(*m_window, container);
    // Placed in the client area, or in the frame, wherever panels group them.
    QVERIFY(area->isAncestorOf(widget));
    QCOMPARE(QRect(widget->mapTo(area, QPoint(0, 0)), widget->size()),
             QRect(left / 15, top / 15, width / 15, height / 15));
}

void WindowLayoutTest::captions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::newRow("New") << "cmdNewFile"
                         << "New";
    QTest::newRow("Load") << "cmdLoadFile"
                          << "Load";
    QTest::newRow("Save") << "cmdSaveFile"
                          << "Save";
    QTest::newRow("Save As") << "cmdSaveFileAs"
                             << "Save As";
    QTest::newRow("Send") << "cmdSendFile"
                          << "Send";
    QTest::newRow("Add") << "cmdAddLine"
                         << "Add";
    QTest::newRow("Ins Above") << "cmdInsLineAbove"
                               << "^ Ins ^";
    QTest::newRow("Ins Below") << "cmdInsLineBelow"
                               << "v Ins v";
    QTest::newRow("Copy") << "cmdCopyLine"
                          << "Copy";
    QTest::newRow("Del") << "cmdDelLine"
                         << "Del";
    QTest::newRow("Fill") << "cmdFillLine"
                          << "Fill";
    QTest::newRow("Exit") << "cmdExit"
                          << "Exit";
    QTest::newRow("Pipette") << "cmdPipette"
                             << "Pipette";
    QTest::newRow("Test") << "cmdTest"
                          << "Test";
}

void WindowLayoutTest::captions()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QCOMPARE(control<QPushButton>(*m_window, button)->text(), caption);
}

// With the fonts the platform gives by default, every caption stands clear of
// its button's bevel, and the line labels hold five-digit line numbers.
void WindowLayoutTest::captionsFitTheirControls()
{
    const auto buttons = m_window->centralWidget()->findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 14);
    for (const QPushButton *button : buttons) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect = button->rect();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QFontMetrics metrics = button->fontMetrics();
        QVERIFY2(metrics.horizontalAdvance(button->text()) + 2 < room.width(),
                 qPrintable(button->objectName()));
        QVERIFY2(metrics.height() <= room.height(), qPrintable(button->objectName()));
    }
    for (int r = 0; r < 7; ++r) {
        auto *label = control<QLabel>(*m_window, "lblLine", r);
        QVERIFY(label->fontMetrics().horizontalAdvance(QStringLiteral("32767")) <=
                label->contentsRect().width());
    }
}

void WindowLayoutTest::startUpLook()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const MainWindow &w = *m_window;

    for (int r = 0; r < 7; ++r) {
        const bool current = r == 3;
        auto *label = control<QLabel>(w, "lblLine", r);
        auto *box = control<QLineEdit>(w, "txtTime", r);
        QCOMPARE(label->isVisible(), current);
        QCOMPARE(box->isVisible(), current);
        QCOMPARE(label->text(), current ? QStringLiteral("1") : QStringLiteral("1234"));
        QCOMPARE(box->text(), QStringLiteral("0.00"));
        for (int c = 0; c < 11; ++c) {
            auto *led = control<LedShape>(w, "shpLED", r * 100 + c);
            QCOMPARE(led->isVisible(), current);
            QCOMPARE(led->fillColour(), rgb24(0, 0, 0));
        }
    }
    for (int c = 0; c < 11; ++c) {
        for (const char *slider : {"scrR", "scrG", "scrB"}) {
            auto *s = control<QScrollBar>(w, slider, c);
            QCOMPARE(s->orientation(), Qt::Vertical);
            QCOMPARE(s->minimum(), 0);
            QCOMPARE(s->maximum(), 15);
            QCOMPARE(s->value(), 15);
            QVERIFY(s->isVisible());
        }
        auto *target = control<ClickLabel>(w, "lblLED", c);
        QVERIFY(target->text().isEmpty());
        QVERIFY(target->isVisible());
    }
    auto *upDown = control<UpDown>(w, QStringLiteral("udTime"));
    QCOMPARE(upDown->value(), 0);
    QCOMPARE(upDown->minimum(), 0);
    QCOMPARE(upDown->maximum(), 4095);
    QCOMPARE(upDown->singleStep(), 5);

    auto *scrLine = control<QScrollBar>(w, QStringLiteral("scrLine"));
    QCOMPARE(scrLine->orientation(), Qt::Vertical);
    QCOMPARE(scrLine->minimum(), 1);
    QCOMPARE(scrLine->maximum(), 1);
    QCOMPARE(scrLine->value(), 1);
    QCOMPARE(scrLine->singleStep(), 1);
    QCOMPARE(scrLine->pageStep(), 6);

    QVERIFY(!control<QFrame>(w, QStringLiteral("frmShield1"))->isVisible());
    QVERIFY(!control<QFrame>(w, QStringLiteral("frmShield2"))->isVisible());
    QVERIFY(control<QWidget>(w, QStringLiteral("Shape1"))->isVisible());
    QCOMPARE(control<QLabel>(w, QStringLiteral("lblFilename"))->text(), QString());
    QCOMPARE(control<QLabel>(w, QStringLiteral("lblFileChanged"))->text(), QString());
    QCOMPARE(control<ClickLabel>(w, QStringLiteral("lblActiveColor"))->backColour(),
             rgb24(0, 0, 0));
    QVERIFY(!m_window->isPickMode());

    // The sequence behind that look: one all-zero line.
    QCOMPARE(m_window->document().lineCount(), 1);
    QCOMPARE(m_window->document().currentLine(), 1);
    for (int column = 0; column < 12; ++column)
        QCOMPARE(m_window->document().table().cell(column, 1), Cell(0));
    QVERIFY(!m_window->document().state().isRefreshing());
}

void WindowLayoutTest::palette_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    const int colours[16][3] = {{0, 0, 0},   {255, 255, 255}, {128, 128, 128}, {192, 192, 192},
                                {128, 0, 0}, {255, 0, 0},     {128, 128, 0},   {255, 255, 0},
                                {0, 128, 0}, {0, 255, 0},     {0, 128, 128},   {0, 255, 255},
                                {0, 0, 128}, {0, 0, 255},     {128, 0, 128},   {255, 0, 255}};
    for (int i = 0; i < 16; ++i)
        QTest::newRow(qPrintable(name("lblColor", i)))
            << i << colours[i][0] << colours[i][1] << colours[i][2];
}

void WindowLayoutTest::palette()
{
    QFETCH(int, index);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    auto *swatch = control<ClickLabel>(*m_window, "lblColor", index);
    QCOMPARE(swatch->backColour(), rgb24(red, green, blue));
    QVERIFY(swatch->text().isEmpty());
    QCOMPARE(swatch->palette().color(QPalette::Window), QColor(red, green, blue));
}

void WindowLayoutTest::ledClickTargetsLieUnderTheShapes()
{
    auto *frame = control<QFrame>(*m_window, QStringLiteral("Frame1"));
    const QObjectList &children = frame->children();
    for (int k = 0; k < 11; ++k) {
        auto *led = control<LedShape>(*m_window, "shpLED", 300 + k);
        auto *target = control<ClickLabel>(*m_window, "lblLED", k);
        QVERIFY(children.indexOf(led) > children.indexOf(target));
        QVERIFY(led->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
}

void WindowLayoutTest::clickOnLedCircleOrCornerIsAClickOnItsTarget()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QWindow *handle = m_window->windowHandle();
    for (int k : {0, 4, 10}) {
        auto *target = control<ClickLabel>(*m_window, "lblLED", k);
        QSignalSpy clicks(target, &ClickLabel::clicked);
        for (const QPoint &inside : {QPoint(12, 12), QPoint(0, 0), QPoint(24, 24), QPoint(24, 0)}) {
            const QPoint at = target->mapTo(m_window, inside);
            QTest::mouseClick(handle, Qt::LeftButton, {}, at);
        }
        QCOMPARE(clicks.count(), 4);
    }
}

void WindowLayoutTest::shieldsCoverTheOtherRowsOnly()
{
    test::loadTable(*m_window, test::patternTable(10), 4);
    auto *frame = control<QFrame>(*m_window, QStringLiteral("Frame1"));
    auto *upper = control<QFrame>(*m_window, QStringLiteral("frmShield1"));
    auto *lower = control<QFrame>(*m_window, QStringLiteral("frmShield2"));
    QCOMPARE(m_window->lineWindow().upperShield(), upper);
    QCOMPARE(m_window->lineWindow().lowerShield(), lower);
    m_window->show();
    upper->show();
    lower->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    const auto centreIn = [&](QWidget *w) { return w->geometry().center(); };
    for (int r = 0; r < 7; ++r) {
        QWidget *expectedCover = r < 3 ? upper : r > 3 ? lower : nullptr;
        std::vector<QWidget *> rowControls{control<QLabel>(*m_window, "lblLine", r),
                                           control<QLineEdit>(*m_window, "txtTime", r)};
        for (int c = 0; c < 11; ++c)
            rowControls.push_back(control<LedShape>(*m_window, "shpLED", r * 100 + c));
        for (QWidget *w : rowControls) {
            QWidget *hit = frame->childAt(centreIn(w));
            if (expectedCover != nullptr)
                QCOMPARE(hit, expectedCover);
            else
                QVERIFY(hit != upper && hit != lower);
        }
    }
    std::vector<QWidget *> uncovered{control<QWidget>(*m_window, QStringLiteral("udTime")),
                                     control<QWidget>(*m_window, QStringLiteral("cmdTest")),
                                     control<QWidget>(*m_window, QStringLiteral("scrLine"))};
    for (int c = 0; c < 11; ++c) {
        uncovered.push_back(control<QScrollBar>(*m_window, "scrR", c));
        uncovered.push_back(control<QScrollBar>(*m_window, "scrG", c));
        uncovered.push_back(control<QScrollBar>(*m_window, "scrB", c));
        uncovered.push_back(control<ClickLabel>(*m_window, "lblLED", c));
    }
    for (QWidget *w : uncovered) {
        QWidget *hit = frame->childAt(centreIn(w));
        QVERIFY2(hit != upper && hit != lower, qPrintable(w->objectName()));
    }
    // The shields are captionless frames that hide what lies under them.
    QVERIFY(upper->autoFillBackground());
    QVERIFY(lower->autoFillBackground());
}

void WindowLayoutTest::focusOrder()
{
    const auto chain = [&] {
        QStringList names;
        QWidget *start = control<QScrollBar>(*m_window, "scrR", 0);
        QWidget *w = start;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(m_window) && w->isEnabled())
                names << w->objectName();
            w = w->nextInFocusChain();
        } while (w != start);
        return names;
    };

    QStringList sliders;
    for (int c = 0; c < 11; ++c)
        sliders << name("scrR", c) << name("scrG", c) << name("scrB", c);
    const QStringList buttons{QStringLiteral("cmdPipette"),  QStringLiteral("cmdAddLine"),
                              QStringLiteral("cmdCopyLine"), QStringLiteral("cmdFillLine"),
                              QStringLiteral("cmdDelLine"),  QStringLiteral("cmdInsLineAbove"),
                              QStringLiteral("cmdNewFile"),  QStringLiteral("cmdLoadFile"),
                              QStringLiteral("cmdSaveFile"), QStringLiteral("cmdSendFile"),
                              QStringLiteral("cmdTest"),     QStringLiteral("cmdInsLineBelow"),
                              QStringLiteral("cmdExit"),     QStringLiteral("cmdSaveFileAs")};

    const QStringList startOrder =
        sliders +
        QStringList{QStringLiteral("txtTime(3)"), QStringLiteral("udTime"),
                    QStringLiteral("scrLine")} +
        buttons;
    QCOMPARE(chain(), startOrder);

    // With every row shown, the other rows' boxes come after the up-down.
    test::loadTable(*m_window, test::patternTable(10), 4);
    const QStringList fullOrder =
        sliders + QStringList{QStringLiteral("txtTime(3)"), QStringLiteral("udTime"),
                              QStringLiteral("txtTime(2)"), QStringLiteral("txtTime(1)"),
                              QStringLiteral("txtTime(0)"), QStringLiteral("txtTime(6)"),
                              QStringLiteral("txtTime(5)"), QStringLiteral("txtTime(4)"),
                              QStringLiteral("scrLine")} +
        buttons;
    QCOMPARE(chain(), fullOrder);
}

// A window manager that does not activate new windows leaves the window shown
// but inactive, and keys typed into it reach it all the same: the window
// system hands them to whatever holds the window's focus. Later the window is
// activated like any other. Either way the first slider has the focus, so the
// arrow keys move that slider and Space presses no button.
void WindowLayoutTest::firstSliderHasTheFocusHoweverTheWindowIsActivated()
{
    auto *first = control<QScrollBar>(*m_window, "scrR", 0);
    QCOMPARE(first->value(), 15);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->show();
    QVERIFY2(!m_window->isActiveWindow(), "the window was activated as it was shown");
    QWindow *handle = m_window->windowHandle();
    QTest::keyClick(handle, Qt::Key_Up);
    QCOMPARE(first->value(), 14);
    QTest::keyClick(handle, Qt::Key_Space);
    QVERIFY(m_window->isVisible());

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QCOMPARE(QApplication::focusWidget(), first);
    QTest::keyClick(handle, Qt::Key_Up);
    QCOMPARE(first->value(), 13);
    QTest::keyClick(handle, Qt::Key_Space);
    QVERIFY(m_window->isVisible());
    QCOMPARE(QApplication::focusWidget(), first);
}

void WindowLayoutTest::focusedControlsShowAFrame_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("red slider") << name("scrR", 0);
    QTest::newRow("green slider") << name("scrG", 5);
    QTest::newRow("blue slider") << name("scrB", 10);
    QTest::newRow("scrLine") << QStringLiteral("scrLine");
    QTest::newRow("udTime") << QStringLiteral("udTime");
}

void WindowLayoutTest::focusedControlsShowAFrame()
{
    QFETCH(QString, control);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    auto *widget = test::control<QWidget>(*m_window, control);
    auto *elsewhere = test::control<QPushButton>(*m_window, QStringLiteral("cmdAddLine"));

    elsewhere->setFocus(Qt::TabFocusReason);
    const QImage unfocused = widget->grab().toImage();
    widget->setFocus(Qt::TabFocusReason);
    QVERIFY(widget->hasFocus());
    const QImage focused = widget->grab().toImage();
    QVERIFY(focused != unfocused);
    // The frame runs round the edge in the highlight colour.
    const QColor highlight = widget->palette().color(QPalette::Highlight);
    const QPoint corners[] = {{0, 0},
                              {focused.width() - 1, 0},
                              {0, focused.height() - 1},
                              {focused.width() - 1, focused.height() - 1}};
    for (const QPoint &p : corners)
        QCOMPARE(focused.pixelColor(p * focused.devicePixelRatio()).rgb(), highlight.rgb());
}

void WindowLayoutTest::tabKeyFollowsTheOrder()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    control<QScrollBar>(*m_window, "scrB", 10)->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{QStringLiteral("txtTime(3)"), QStringLiteral("udTime"),
                                   QStringLiteral("scrLine"), QStringLiteral("cmdPipette")}));
}

void WindowLayoutTest::otherRowsCannotBeTypedInto()
{
    for (int r = 0; r < 7; ++r) {
        auto *box = control<QLineEdit>(*m_window, "txtTime", r);
        QCOMPARE(box->isReadOnly(), r != 3);
        // Read-only boxes still take the focus.
        QVERIFY(box->focusPolicy() & Qt::TabFocus);
    }
    test::loadTable(*m_window, test::patternTable(10), 4);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    auto *box = control<QLineEdit>(*m_window, "txtTime", 2);
    const QString before = box->text();
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(box, QStringLiteral("99"));
    QCOMPARE(box->text(), before);
}

void WindowLayoutTest::enterAndEscape()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QSignalSpy test(control<QPushButton>(*m_window, QStringLiteral("cmdTest")),
                    &QPushButton::clicked);
    QSignalSpy exit(control<QPushButton>(*m_window, QStringLiteral("cmdExit")),
                    &QPushButton::clicked);

    auto *slider = control<QScrollBar>(*m_window, "scrG", 2);
    slider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(slider, Qt::Key_Return);
    QCOMPARE(test.count(), 1);
    auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(test.count(), 2);
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(exit.count(), 1);
    QCOMPARE(test.count(), 2);

    // A focused button answers Enter itself.
    auto *add = control<QPushButton>(*m_window, QStringLiteral("cmdAddLine"));
    add->setFocus(Qt::TabFocusReason);
    QTest::keyClick(add, Qt::Key_Return);
    QCOMPARE(test.count(), 2);
    QCOMPARE(m_window->document().lineCount(), 2);
}

QTEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
