#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace glowline;
using glowline::test::control;

class DurationEditingTest final : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedText_data();
    void typedText();
    void shownValueIsTheStoredOneWhenTheUpDownHeldIt();
    void typingTakesEffectOnlyWhenTheBoxLosesTheFocus();
    void clickOnAButtonCommitsFirst();
    void wheelOverTheLineScrollBarCommitsFirst();
    void tabbingThroughRewritesAndMarks();
    void otherRowsDoNotCommit();
    void upDownArrows_data();
    void upDownArrows();
    void upDownShowsTheCommaOfTheLocale();

private:
    QLineEdit *box() const { return control<QLineEdit>(*m_window, "txtTime", 3); }
    UpDown *upDown() const { return control<UpDown>(*m_window, QStringLiteral("udTime")); }
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }
    // Types into the box and moves the focus on to the next control.
    void type(const QString &text);

    QLocale m_savedLocale;
};

void DurationEditingTest::init()
{
    m_savedLocale = QLocale();
    openWindow();
}

void DurationEditingTest::cleanup()
{
    closeWindow();
    QLocale::setDefault(m_savedLocale);
}

void DurationEditingTest::type(const QString &text)
{
    box()->setFocus(Qt::MouseFocusReason);
    QVERIFY(box()->hasFocus());
    box()->selectAll();
    QTest::keyClick(box(), Qt::Key_Delete);
    QTest::keyClicks(box(), text);
    QTest::keyClick(box(), Qt::Key_Tab);
    QVERIFY(!box()->hasFocus());
}

void DurationEditingTest::typedText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");

    const QLocale point(QLocale::English, QLocale::UnitedStates);
    const QLocale comma(QLocale::German, QLocale::Germany);
    const struct
    {
        const char *text;
        int stored;
        const char *shown; // with a point; the comma locale shows a comma
    } cases[] = {
        {"1,5", 150, "1.50"},     {"1.5", 150, "1.50"},      {"abc", 0, "0.00"},
        {"", 0, "0.00"},          {"-3", 0, "0.00"},         {"50", 4095, "40.95"},
        {"40.95", 4095, "40.95"}, {"40.951", 4095, "40.95"}, {"2.5 s", 250, "2.50"},
        {"1 2", 1200, "12.00"},   {"1.234", 123, "1.23"},    {"1.235", 124, "1.24"},
        {"0.125", 12, "0.12"},    {"0.375", 38, "0.38"},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromLatin1(c.text);
        const QString shown = QString::fromLatin1(c.shown);
        QTest::addRow("point \"%s\"", c.text) << point << text << c.stored << shown;
        QString commaShown = shown;
        commaShown.replace(QLatin1Char('.'), QLatin1Char(','));
        QTest::addRow("comma \"%s\"", c.text) << comma << text << c.stored << commaShown;
    }
}

void DurationEditingTest::typedText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(int, stored);
    QFETCH(QString, shown);

    QLocale::setDefault(locale);
    test::loadTable(*m_window, test::patternTable(5), 3);
    const LineTable before = m_window->document().table();
    type(text);
    QCOMPARE(m_window->document().table().duration(3), Cell(stored));
    QCOMPARE(box()->text(), shown);
    QCOMPARE(upDown()->value(), stored);
    QCOMPARE(marker(), QStringLiteral("*"));
    // Only the current line's duration changed.
    LineTable expected = before;
    expected.setCell(kDurationColumn, 3, Cell(stored));
    QVERIFY(m_window->document().table() == expected);
}

void DurationEditingTest::shownValueIsTheStoredOneWhenTheUpDownHeldIt()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    upDown()->setValue(12);
    QCOMPARE(box()->text(), QStringLiteral("0.12"));
    type(QStringLiteral("0.125"));
    QCOMPARE(m_window->document().table().duration(1), Cell(12));
    QCOMPARE(box()->text(), QStringLiteral("0.12"));
}

void DurationEditingTest::typingTakesEffectOnlyWhenTheBoxLosesTheFocus()
{
    box()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(box(), QStringLiteral("7"));
    QCOMPARE(m_window->document().table().duration(1), Cell(0));
    QCOMPARE(marker(), QString());
    // A click on a label takes no focus and commits nothing.
    QTest::mouseClick(control<ClickLabel>(*m_window, "lblColor", 3), Qt::LeftButton);
    QCOMPARE(m_window->document().table().duration(1), Cell(0));
    // Another window taking the focus is no loss of focus within this one.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(m_window->document().table().duration(1), Cell(0));
}

void DurationEditingTest::clickOnAButtonCommitsFirst()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    box()->setFocus(Qt::MouseFocusReason);
    box()->selectAll();
    QTest::keyClicks(box(), QStringLiteral("3.5"));
    // Copy takes the focus, so the duration is stored before the line is
    // copied, and the copy carries it.
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                      control<QPushButton>(*m_window, QStringLiteral("cmdCopyLine"))
                          ->mapTo(m_window, QPoint(10, 10)));
    QCOMPARE(m_window->document().lineCount(), 2);
    QCOMPARE(m_window->document().table().duration(1), Cell(350));
    QCOMPARE(m_window->document().table().duration(2), Cell(350));
    QCOMPARE(box()->text(), QStringLiteral("3.50"));
}

void DurationEditingTest::wheelOverTheLineScrollBarCommitsFirst()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    test::loadTable(*m_window, LineTable(3), 1);
    box()->setFocus(Qt::MouseFocusReason);
    box()->selectAll();
    QTest::keyClicks(box(), QStringLiteral("9"));
    // The wheel leaves the focus where it is; rolling it towards the user
    // moves down the sequence.
    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    const QPoint at = scrLine->rect().center();
    QWheelEvent wheel(at, scrLine->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scrLine, &wheel);
    QVERIFY(m_window->document().currentLine() > 1);
    QCOMPARE(m_window->document().table().duration(1), Cell(900));
    QCOMPARE(marker(), QStringLiteral("*"));
    QCOMPARE(m_window->document().table().duration(m_window->document().currentLine()), Cell(0));
    QCOMPARE(box()->text(), QStringLiteral("0.00"));
}

void DurationEditingTest::tabbingThroughRewritesAndMarks()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    LineTable table(1);
    table.setCell(kDurationColumn, 1, Cell(150));
    test::loadTable(*m_window, table, 1);
    box()->setText(QStringLiteral("1.5"));
    QCOMPARE(marker(), QString());
    box()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box(), Qt::Key_Tab);
    QCOMPARE(box()->text(), QStringLiteral("1.50"));
    QCOMPARE(m_window->document().table().duration(1), Cell(150));
    QCOMPARE(marker(), QStringLiteral("*"));
}

void DurationEditingTest::otherRowsDoNotCommit()
{
    test::loadTable(*m_window, test::patternTable(10), 5);
    const LineTable before = m_window->document().table();
    auto *other = control<QLineEdit>(*m_window, "txtTime", 1);
    other->setFocus(Qt::TabFocusReason);
    QTest::keyClick(other, Qt::Key_Tab);
    QVERIFY(m_window->document().table() == before);
    QCOMPARE(marker(), QString());
}

void DurationEditingTest::upDownArrows_data()
{
    QTest::addColumn<QString>("arrow");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("up") << "up" << 155 << "1.55";
    QTest::newRow("down") << "down" << 145 << "1.45";
}

void DurationEditingTest::upDownArrows()
{
    QFETCH(QString, arrow);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    LineTable table(2);
    table.setCell(kDurationColumn, 2, Cell(150));
    test::loadTable(*m_window, table, 2);
    QCOMPARE(upDown()->value(), 150);
    QCOMPARE(marker(), QString());

    QTest::mouseClick(control<QToolButton>(*upDown(), arrow), Qt::LeftButton);
    QCOMPARE(upDown()->value(), stored);
    QCOMPARE(m_window->document().table().duration(2), Cell(stored));
    QCOMPARE(m_window->document().table().duration(1), Cell(0));
    QCOMPARE(box()->text(), shown);
    QCOMPARE(marker(), QStringLiteral("*"));
}

void DurationEditingTest::upDownShowsTheCommaOfTheLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    upDown()->setValue(4095);
    QCOMPARE(box()->text(), QStringLiteral("40,95"));
    QCOMPARE(m_window->document().table().duration(1), Cell(4095));
    // A redraw shows durations the same way.
    control<QPushButton>(*m_window, QStringLiteral("cmdAddLine"))->click();
    QCOMPARE(control<QLineEdit>(*m_window, "txtTime", 2)->text(), QStringLiteral("40,95"));
    QCOMPARE(box()->text(), QStringLiteral("0,00"));
}

QTEST_MAIN(DurationEditingTest)
#include "DurationEditingTest.moc"
