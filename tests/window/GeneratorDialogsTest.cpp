#include "window/WindowTestSupport.h"
#include "window/controls/DurationText.h"
#include "window/dialogs/ChaseDialog.h"
#include "window/dialogs/InsertFadeDialog.h"
#include "window/dialogs/RainbowDialog.h"
#include "window/dialogs/SparkleDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <memory>

using namespace glowline;
using test::control;

Q_DECLARE_METATYPE(glowline::GeneratedLines)

namespace {

enum class Kind
{
    Fade,
    Chase,
    Rainbow,
    Sparkle,
};

} // namespace

Q_DECLARE_METATYPE(Kind)

namespace {

// Line 1 all black, line 2 all white, both without a duration: 22 file words.
LineTable blackWhiteTable(int lines = 2)
{
    QList<int> colours(lines, 0x000);
    colours[1] = 0xFFF;
    return test::uniformTable(colours, 0);
}

std::unique_ptr<GeneratorDialog> makeDialog(Kind kind, const LineTable &table, int current)
{
    switch (kind) {
    case Kind::Fade:
        return std::make_unique<InsertFadeDialog>(table, current);
    case Kind::Chase:
        return std::make_unique<ChaseDialog>(table, current);
    case Kind::Rainbow:
        return std::make_unique<RainbowDialog>(table, current);
    case Kind::Sparkle:
        return std::make_unique<SparkleDialog>(table, current, 0xF00);
    }
    return nullptr;
}

// What each dialog should give once its first field reads 7 and the rest
// keep their defaults.
GeneratedLines expectedWithSeven(Kind kind, const LineTable &table, int current)
{
    switch (kind) {
    case Kind::Fade:
        return insertFade(table, current, {7, 5, false});
    case Kind::Chase:
        return insertChase(table, current, {7, RotateDirection::Right});
    case Kind::Rainbow:
        return insertRainbow(current, {7, 5});
    case Kind::Sparkle:
        return insertSparkle(table, current, {7, 20, 1, 0xF00});
    }
    return {};
}

QString firstFieldName(Kind kind)
{
    return kind == Kind::Fade ? QStringLiteral("udInBetweens") : QStringLiteral("udCount");
}

void addKindRows()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<bool>("enter"); // Enter, else Esc
    const char *names[] = {"Insert Fade", "Chase", "Rainbow", "Sparkle"};
    for (int k = 0; k < 4; ++k) {
        const QString text = k == 0 ? QStringLiteral("5") : QStringLiteral("11");
        QTest::addRow("%s, Enter", names[k]) << Kind(k) << text << true;
        QTest::addRow("%s, Esc", names[k]) << Kind(k) << text << false;
    }
}

} // namespace

class GeneratorDialogsTest final : public QObject
{
    Q_OBJECT

private slots:
    void enterAppliesEscapeGivesNothing_data() { addKindRows(); }
    void enterAppliesEscapeGivesNothing()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, defaultText);
        QFETCH(bool, enter);

        const LineTable table = test::patternTable(4);
        auto dialog = makeDialog(kind, table, 2);
        QSignalSpy previews(dialog.get(), &GeneratorDialog::previewChanged);
        QSignalSpy cleared(dialog.get(), &GeneratorDialog::previewCleared);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        // The first field has the focus with its whole text selected, so
        // typing replaces it.
        auto *first = control<QSpinBox>(*dialog, firstFieldName(kind));
        QCOMPARE(dialog->focusWidget(), first);
        QCOMPARE(first->findChild<QLineEdit *>()->selectedText(), defaultText);
        QTest::keyClicks(first, QStringLiteral("7"));
        QCOMPARE(first->value(), 7);
        QVERIFY(!previews.isEmpty());
        QCOMPARE(previews.last().at(0).value<GeneratedLines>().lineCount(), 7);

        QTest::keyClick(first, enter ? Qt::Key_Return : Qt::Key_Escape);
        QCOMPARE(dialog->result(), int(enter ? QDialog::Accepted : QDialog::Rejected));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(cleared.count(), 1); // the map drops the preview either way
        const auto lines = dialog->acceptedLines();
        QCOMPARE(bool(lines), enter);
        if (!enter)
            return;
        const GeneratedLines expected = expectedWithSeven(kind, table, 2);
        QCOMPARE(lines->first, 3);
        QCOMPARE(lines->cells, expected.cells);
        QCOMPARE(lines->selectionAfter, expected.selectionAfter);
    }

    void fadeFieldsAndSummary_data()
    {
        QTest::addColumn<int>("inBetweens");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<LineTable>("table");
        QTest::addColumn<QString>("summary");

        const LineTable greyLines = [] {
            LineTable table(2);
            for (int n = 1; n <= 2; ++n) {
                for (int c = 0; c < kLedCount; ++c)
                    table.setCell(c, n, Cell(0x888));
            }
            return table;
        }();

        // Each in-between differs in all 11 LEDs and carries its duration.
        QTest::newRow("defaults") << 5 << QStringLiteral("0.05") << false << blackWhiteTable()
                                  << QStringLiteral("Makes 5 lines. The file gains 60 words "
                                                    "(82 in all).");
        QTest::newRow("one in-between, comma as the point")
            << 1 << QStringLiteral("1,5") << false << blackWhiteTable()
            << QStringLiteral("Makes 1 line. The file gains 12 words (34 in all).");
        QTest::newRow("merged into one line with the summed duration")
            << 3 << QStringLiteral("0.10") << true << greyLines
            << QStringLiteral("Makes 1 line. The file gains 1 word (12 in all).");
    }
    void fadeFieldsAndSummary()
    {
        QFETCH(int, inBetweens);
        QFETCH(QString, duration);
        QFETCH(bool, merge);
        QFETCH(LineTable, table);
        QFETCH(QString, summary);

        InsertFadeDialog dialog(table, 1);
        control<QSpinBox>(dialog, QStringLiteral("udInBetweens"))->setValue(inBetweens);
        control<QLineEdit>(dialog, QStringLiteral("txtDuration"))->setText(duration);
        control<QCheckBox>(dialog, QStringLiteral("chkMerge"))->setChecked(merge);
        QCOMPARE(control<QLabel>(dialog, QStringLiteral("lblSummary"))->text(), summary);
        const FadeOptions options = dialog.options();
        QCOMPARE(options.inBetweens, inBetweens);
        QCOMPARE(options.duration, durationFromText(duration));
        QCOMPARE(options.mergeEqual, merge);
    }

    void otherFieldsReachTheirOptions()
    {
        const LineTable table = test::patternTable(3);
        ChaseDialog chase(table, 1);
        QCOMPARE(chase.options().direction, RotateDirection::Right);
        auto *direction = control<QComboBox>(chase, QStringLiteral("cboDirection"));
        direction->setCurrentIndex(direction->findData(int(RotateDirection::Left)));
        QCOMPARE(chase.options().direction, RotateDirection::Left);

        SparkleDialog sparkle(table, 1, 0x0F0);
        QCOMPARE(sparkle.options().percent, 20);
        control<QSpinBox>(sparkle, QStringLiteral("udPercent"))->setValue(35);
        control<QSpinBox>(sparkle, QStringLiteral("udSeed"))->setValue(99);
        const SparkleOptions options = sparkle.options();
        QCOMPARE(options.percent, 35);
        QCOMPARE(options.seed, 99u);
        QCOMPARE(options.colour, 0x0F0);
    }

    void passingTheLimitCannotBeApplied()
    {
        const LineTable table = blackWhiteTable(kMaxLines - 3);
        InsertFadeDialog dialog(table, 1);
        QSignalSpy cleared(&dialog, &GeneratorDialog::previewCleared);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(ok->isDefault() && !ok->isEnabled());
        QCOMPARE(control<QLabel>(dialog, QStringLiteral("lblSummary"))->text(),
                 (EditResult{false, kMaxLines - 3, 5}.message()));
        QVERIFY(!cleared.isEmpty());

        auto *first = control<QSpinBox>(dialog, QStringLiteral("udInBetweens"));
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.acceptedLines());

        // Three fit: the dialog can be applied again.
        first->selectAll();
        QTest::keyClicks(first, QStringLiteral("3"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.acceptedLines()->lineCount(), 3);
    }
};

QTEST_MAIN(GeneratorDialogsTest)
#include "GeneratorDialogsTest.moc"
