#include "model/Generators.h"

#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

using namespace glowline;

Q_DECLARE_METATYPE(glowline::RotateDirection)

namespace {

using test::mark;
using test::numberedTable;
using test::uniformTable;

Cell cellOf(const GeneratedLines &lines, int index, int column)
{
    return lines.cells[std::size_t(index) * kColumnCount + std::size_t(column)];
}

// LED colours of each generated line, failing when a line is not one colour.
QList<int> uniformColours(const GeneratedLines &lines)
{
    QList<int> colours;
    for (int i = 0; i < lines.lineCount(); ++i) {
        for (int c = 1; c < kLedCount; ++c) {
            if (cellOf(lines, i, c) != cellOf(lines, i, 0))
                return {-1};
        }
        colours.append(cellOf(lines, i, 0));
    }
    return colours;
}

QList<int> durations(const GeneratedLines &lines)
{
    QList<int> result;
    for (int i = 0; i < lines.lineCount(); ++i)
        result.append(cellOf(lines, i, kDurationColumn));
    return result;
}

} // namespace

class GeneratorsTest final : public QObject
{
    Q_OBJECT

private slots:
    void interpolation_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("expected");

        QTest::newRow("step m is the end") << 3 << 12 << 7 << 7 << 12;
        QTest::newRow("a rising half goes up") << 0 << 1 << 1 << 2 << 1;
        QTest::newRow("a falling half goes up") << 1 << 0 << 1 << 2 << 1;
        QTest::newRow("15 to 0 halfway") << 15 << 0 << 1 << 2 << 8;
        QTest::newRow("a quarter below half rounds down") << 15 << 0 << 1 << 4 << 11;
        QTest::newRow("just over a half rounds up") << 0 << 15 << 2 << 29 << 1;
        QTest::newRow("last of 1000 in-betweens before 15") << 0 << 15 << 1000 << 1001 << 15;
    }
    void interpolation()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, k);
        QFETCH(int, m);
        QFETCH(int, expected);
        QCOMPARE(interpolateChannel(a, b, k, m), expected);
    }

    void fade_data()
    {
        QTest::addColumn<QList<int>>("colours"); // one per line, all LEDs
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("inBetweens");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("one in-between: halves up, channels apart")
            << QList<int>{0x000, 0x123} << 1 << 1 << QList<int>{0x112};
        QTest::newRow("decreasing and increasing at once")
            << QList<int>{0x0F0, 0xF00} << 1 << 4 << QList<int>{0x3C0, 0x690, 0x960, 0xC30};
        QTest::newRow("from the last line to line 1")
            << QList<int>{0xF00, 0x0F0, 0x00F} << 3 << 2 << QList<int>{0x50A, 0xA05};
        QTest::newRow("one line fades to itself")
            << QList<int>{0x48C} << 1 << 3 << QList<int>{0x48C, 0x48C, 0x48C};
    }
    void fade()
    {
        QFETCH(QList<int>, colours);
        QFETCH(int, current);
        QFETCH(int, inBetweens);
        QFETCH(QList<int>, expected);

        const LineTable table = uniformTable(colours);
        const GeneratedLines lines = insertFade(table, current, {inBetweens, 7, false});
        QVERIFY(!refusalFor(table, lines));
        QCOMPARE(lines.first, current + 1);
        QCOMPARE(lines.replaceCount, 0);
        QCOMPARE(uniformColours(lines), expected);
        QCOMPARE(durations(lines), QList<int>(inBetweens, 7));
        QCOMPARE(lines.selectionAfter, (LineSelection{current, current, current}));

        // The in-betweens sit right after the current line, the rest intact.
        const LineTable after = withGeneratedLines(table, lines);
        QCOMPARE(after.lineCount(), table.lineCount() + inBetweens);
        for (int n = 1; n <= table.lineCount(); ++n) {
            const int moved = n <= current ? n : n + inBetweens;
            QVERIFY(std::ranges::equal(after.line(moved), table.line(n)));
        }
    }

    void fadeMerge_data()
    {
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("inBetweens");
        QTest::addColumn<int>("duration");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<QList<int>>("colours");
        QTest::addColumn<QList<int>>("durations");

        // From black to 0x001 in 5 steps: 0, 0, 1, 1, 1.
        QTest::newRow("off: every in-between a line")
            << 0x001 << 5 << 10 << false << QList<int>{0, 0, 1, 1, 1}
            << QList<int>{10, 10, 10, 10, 10};
        QTest::newRow("on: equal neighbours become one line")
            << 0x001 << 5 << 10 << true << QList<int>{0, 1} << QList<int>{20, 30};
        QTest::newRow("on: a merged line stops at 4095, the rest starts a new line")
            << 0x001 << 5 << 2000 << true << QList<int>{0, 1, 1} << QList<int>{4000, 4095, 1905};
        QTest::newRow("on: 4095 each never merge")
            << 0x001 << 5 << 4095 << true << QList<int>{0, 0, 1, 1, 1}
            << QList<int>{4095, 4095, 4095, 4095, 4095};
    }
    void fadeMerge()
    {
        QFETCH(int, to);
        QFETCH(int, inBetweens);
        QFETCH(int, duration);
        QFETCH(bool, merge);
        QFETCH(QList<int>, colours);
        QFETCH(QList<int>, durations);

        const GeneratedLines lines =
            insertFade(uniformTable({0x000, to}), 1, {inBetweens, duration, merge});
        QCOMPARE(uniformColours(lines), colours);
        QCOMPARE(::durations(lines), durations);
    }

    void blend()
    {
        const int anchor = 6, current = 2;

        // Lines 2 and 6 are the ends; the inner lines hold other colours.
        const LineTable table = uniformTable({0x777, 0x000, 0xABC, 0x123, 0xFFF, 0xF84, 0x555});
        const auto lines = blendSelection(table, {current, anchor, current});
        QVERIFY(lines);
        QCOMPARE(lines->first, 3);
        QCOMPARE(lines->replaceCount, 3);
        QCOMPARE(uniformColours(*lines), (QList<int>{0x421, 0x842, 0xB63}));
        QCOMPARE(durations(*lines), (QList<int>{30, 40, 50}));
        QCOMPARE(lines->selectionAfter, (LineSelection{current, anchor, current}));
        QVERIFY(!blendSelection(table, {1, 2, 2}));
    }

    // Blend steps its channels along the lines without dividing; every inner
    // line must still be the interpolation of its ends at its own step.
    void blendMatchesInterpolation_data()
    {
        QTest::addColumn<int>("lines");
        for (const int lines : {3, 4, 5, 17, 31, 1000, 4099})
            QTest::addRow("%d lines", lines) << lines;
    }
    void blendMatchesInterpolation()
    {
        QFETCH(int, lines);
        QRandomGenerator random{quint32(lines)};
        LineTable table(lines);
        for (const int line : {1, lines}) {
            for (int c = 0; c < kLedCount; ++c)
                table.setCell(c, line, Cell(random.bounded(4096)));
        }
        const auto blended = blendSelection(table, {1, lines, lines});
        QVERIFY(blended);
        QCOMPARE(blended->lineCount(), lines - 2);
        for (int k = 1; k <= lines - 2; ++k) {
            for (int c = 0; c < kLedCount; ++c) {
                const int want =
                    interpolateColour(table.cell(c, 1), table.cell(c, lines), k, lines - 1);
                const Cell got = blended->cells[std::size_t(k - 1) * kColumnCount + std::size_t(c)];
                QVERIFY2(got == want,
                         qPrintable(QStringLiteral("line %1, LED %2").arg(k + 1).arg(c)));
            }
        }
    }

    void gradient()
    {
        LineTable table = numberedTable(3);
        table.setCell(0, 2, 0x000);
        table.setCell(10, 2, 0xAF0);
        const GeneratedLines lines = gradientAcrossLeds(table, {2, 3, 3});
        QCOMPARE(lines.first, 2);
        QCOMPARE(lines.replaceCount, 2);
        const QList<int> expected{0x000, 0x120, 0x230, 0x350, 0x460, 0x580,
                                  0x690, 0x7B0, 0x8C0, 0x9E0, 0xAF0};
        for (int c = 0; c < kLedCount; ++c)
            QCOMPARE(int(cellOf(lines, 0, c)), expected[c]);
        QCOMPARE(cellOf(lines, 0, kDurationColumn), mark(kDurationColumn, 2));
        QCOMPARE(cellOf(lines, 1, 10), mark(10, 3));
    }

    void rotateAndMirrorRoundTrips()
    {
        const LineTable table = numberedTable(5);
        const LineSelection all{1, 5, 5};
        auto twice = [&](auto first, auto second) {
            return withGeneratedLines(withGeneratedLines(table, first(table)),
                                      second(withGeneratedLines(table, first(table))));
        };
        auto left = [&](const LineTable &t) { return rotateLeds(t, all, RotateDirection::Left); };
        auto right = [&](const LineTable &t) { return rotateLeds(t, all, RotateDirection::Right); };
        auto mirror = [&](const LineTable &t) { return mirrorLeds(t, all); };
        QCOMPARE(twice(left, right), table);
        QCOMPARE(twice(right, left), table);
        QCOMPARE(twice(mirror, mirror), table);
        const GeneratedLines once = left(table);
        QCOMPARE(once.replaceCount, 5);
        QCOMPARE(cellOf(once, 2, 10), mark(0, 3));
        QCOMPARE(cellOf(once, 2, kDurationColumn), mark(kDurationColumn, 3));
        QCOMPARE(cellOf(mirror(table), 2, 0), mark(10, 3));

        LineTable turned = table;
        for (int i = 0; i < kLedCount; ++i) {
            turned = withGeneratedLines(turned, left(turned));
            QCOMPARE(turned == table, i == kLedCount - 1);
        }
    }

    void chase_data()
    {
        QTest::addColumn<RotateDirection>("direction");
        QTest::addColumn<int>("offset"); // new line's LED j is the line before's LED j + offset

        QTest::newRow("left") << RotateDirection::Left << 1;
        QTest::newRow("right") << RotateDirection::Right << kLedCount - 1;
    }
    void chase()
    {
        QFETCH(RotateDirection, direction);
        QFETCH(int, offset);

        const LineTable table = numberedTable(3);
        const GeneratedLines lines = insertChase(table, 2, {13, direction});
        QCOMPARE(lines.first, 3);
        QCOMPARE(lines.replaceCount, 0);
        QCOMPARE(lines.lineCount(), 13);
        QCOMPARE(lines.selectionAfter, (LineSelection{3, 15, 3}));
        for (int i = 0; i < 13; ++i) {
            for (int j = 0; j < kLedCount; ++j)
                QCOMPARE(cellOf(lines, i, j), mark((j + (i + 1) * offset) % kLedCount, 2));
            QCOMPARE(cellOf(lines, i, kDurationColumn), mark(kDurationColumn, 2));
        }
    }

    void hue_data()
    {
        QTest::addColumn<int>("numerator");
        QTest::addColumn<int>("denominator");
        QTest::addColumn<int>("expected");

        QTest::newRow("red") << 0 << 6 << 0xF00;
        QTest::newRow("yellow") << 1 << 6 << 0xFF0;
        QTest::newRow("green") << 2 << 6 << 0x0F0;
        QTest::newRow("blue") << 4 << 6 << 0x00F;
        QTest::newRow("a whole turn is red again") << 11 << 11 << 0xF00;
        QTest::newRow("orange: 127.5 goes up to 128") << 1 << 12 << 0xF80;
        QTest::newRow("chartreuse: falling half also 128") << 3 << 12 << 0x8F0;
        QTest::newRow("two elevenths: 232 is 14") << 2 << 11 << 0xEF0;
    }
    void hue()
    {
        QFETCH(int, numerator);
        QFETCH(int, denominator);
        QFETCH(int, expected);
        QCOMPARE(hueColour(numerator, denominator), expected);
    }

    void rainbow()
    {
        const GeneratedLines lines = insertRainbow(2, {6, 250});
        QCOMPARE(lines.first, 3);
        QCOMPARE(lines.selectionAfter, (LineSelection{3, 8, 3}));
        QCOMPARE(durations(lines), QList<int>(6, 250));
        // LED 0 of line i has hue i / 6; LED j adds j / 11.
        const std::array<int, 6> led0{0xF00, 0xFF0, 0x0F0, 0x0FF, 0x00F, 0xF0F};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(int(cellOf(lines, i, 0)), led0[std::size_t(i)]);
            for (int j = 0; j < kLedCount; ++j)
                QCOMPARE(int(cellOf(lines, i, j)), hueColour(6 * j + 11 * i, 66));
        }
        QCOMPARE(int(cellOf(lines, 0, 1)), 0xF80);
    }

    void sparkleFollowsTheFixedSequence()
    {
        // The first three splitmix64 outputs for seed 0, modulo 100, are
        // 35, 0 and 79: at 50 % the first two LEDs are lit and the third not.
        const GeneratedLines lines = insertSparkle(numberedTable(1), 1, {1, 50, 0, 0x0AB});
        QCOMPARE(int(cellOf(lines, 0, 0)), 0x0AB);
        QCOMPARE(int(cellOf(lines, 0, 1)), 0x0AB);
        QCOMPARE(int(cellOf(lines, 0, 2)), 0);
        QCOMPARE(cellOf(lines, 0, kDurationColumn), mark(kDurationColumn, 1));
        QCOMPARE(lines.selectionAfter, (LineSelection{2, 2, 2}));
    }

    void sparkleShare_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<uint>("seed");

        QTest::newRow("never") << 0 << 7u;
        QTest::newRow("default share") << 20 << 1u;
        QTest::newRow("most") << 90 << 42u;
    }
    void sparkleShare()
    {
        QFETCH(int, percent);
        QFETCH(uint, seed);

        const LineTable table = numberedTable(1);
        const SparkleOptions options{16000, percent, seed, 0xFFF};
        const GeneratedLines lines = insertSparkle(table, 1, options);
        QCOMPARE(insertSparkle(table, 1, options).cells, lines.cells);

        int lit = 0;
        for (int i = 0; i < lines.lineCount(); ++i) {
            for (int j = 0; j < kLedCount; ++j) {
                const int cell = cellOf(lines, i, j);
                QVERIFY(cell == 0 || cell == 0xFFF);
                lit += cell != 0;
            }
        }
        const double share = 100.0 * lit / (16000.0 * kLedCount);
        QVERIFY2(std::abs(share - percent) < 0.5, qPrintable(QString::number(share)));

        SparkleOptions otherSeed = options;
        otherSeed.seed = seed + 1;
        QCOMPARE(insertSparkle(table, 1, otherSeed).cells == lines.cells, percent == 0);
    }

    void lineLimit_data()
    {
        QTest::addColumn<int>("generator"); // 0 fade, 1 chase, 2 rainbow, 3 sparkle
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("refused");

        const char *names[] = {"fade", "chase", "rainbow", "sparkle"};
        for (int g = 0; g < 4; ++g) {
            QTest::addRow("%s reaching the limit", names[g]) << g << kMaxLines - 11 << false;
            QTest::addRow("%s one past the limit", names[g]) << g << kMaxLines - 10 << true;
        }
    }
    void lineLimit()
    {
        QFETCH(int, generator);
        QFETCH(int, lines);
        QFETCH(bool, refused);

        const LineTable table(lines);
        const GeneratedLines made = generator == 0 ? insertFade(table, 5, {11, 5, false})
                                    : generator == 1
                                        ? insertChase(table, 5, {11, RotateDirection::Left})
                                    : generator == 2 ? insertRainbow(5, {11, 5})
                                                     : insertSparkle(table, 5, {11, 20, 1, 0xFFF});
        const std::optional<EditResult> refusal = refusalFor(table, made);
        QCOMPARE(bool(refusal), refused);
        if (refused) {
            QVERIFY(refusal->isRefused() && !refusal->changed);
            QCOMPARE(refusal->linesNow, lines);
            QCOMPARE(refusal->linesToAdd, 11);
            const QString text = refusal->message();
            QVERIFY(text.contains(QString::number(lines)) && text.contains(QStringLiteral("11")) &&
                    text.contains(QStringLiteral("32767")));
        }
    }

    void mergedFadeCountsItsMergedLinesAgainstTheLimit()
    {
        // 20 in-betweens of one colour merge into one line, which still fits.
        const LineTable table(kMaxLines - 1);
        QVERIFY(!refusalFor(table, insertFade(table, 1, {20, 5, true})));
        QVERIFY(refusalFor(table, insertFade(table, 1, {20, 5, false})));
    }
};

QTEST_GUILESS_MAIN(GeneratorsTest)
#include "GeneratorsTest.moc"
