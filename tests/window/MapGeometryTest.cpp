#include "window/map/MapGeometry.h"

#include "support/TestTables.h"

#include <QTest>

#include <cmath>

using namespace glowline;

Q_DECLARE_METATYPE(MapGeometry::Scale)

namespace {

// A geometry over the table at the given zoom, with a view too narrow for
// the fit to hold the zoom up.
MapGeometry zoomed(const LineTable &table, MapGeometry::Scale scale, double zoom)
{
    MapGeometry geometry;
    geometry.setViewWidth(1);
    geometry.setLines(table);
    geometry.setScale(scale);
    geometry.setZoom(zoom);
    return geometry;
}

} // namespace

class MapGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void linesLieWhereTheirScaleAndZoomPutThem_data();
    void linesLieWhereTheirScaleAndZoomPutThem();
    void aFittedMapShowsTheWholeSequenceInTheView_data();
    void aFittedMapShowsTheWholeSequenceInTheView();
    void zoomKeepsTheLineUnderTheAnchorAndStaysInItsLimits();
    void onlyADurationChangeAtTheDurationScaleMovesLines();
    void ensureVisibleBringsALineIntoTheView();
};

void MapGeometryTest::linesLieWhereTheirScaleAndZoomPutThem_data()
{
    QTest::addColumn<QList<int>>("durations");
    QTest::addColumn<MapGeometry::Scale>("scale");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QList<double>>("starts"); // lines 1..n, then the end

    const QList<int> uneven{50, 0, 100, 1};
    QTest::newRow("one pixel per line")
        << uneven << MapGeometry::Scale::PerLine << 1.0 << QList<double>{0, 1, 2, 3, 4};
    QTest::newRow("four pixels per line")
        << uneven << MapGeometry::Scale::PerLine << 4.0 << QList<double>{0, 4, 8, 12, 16};
    QTest::newRow("a third of a pixel per line") << uneven << MapGeometry::Scale::PerLine << 1.0 / 3
                                                 << QList<double>{0, 1. / 3, 2. / 3, 1, 4. / 3};
    // Duration 0 weighs as one hundredth: one pixel at one pixel per hundredth.
    QTest::newRow("one pixel per hundredth")
        << uneven << MapGeometry::Scale::ByDuration << 1.0 << QList<double>{0, 50, 51, 151, 152};
    QTest::newRow("half a pixel per hundredth")
        << uneven << MapGeometry::Scale::ByDuration << 0.5 << QList<double>{0, 25, 25.5, 75.5, 76};
    QTest::newRow("ten pixels per hundredth") << uneven << MapGeometry::Scale::ByDuration << 10.0
                                              << QList<double>{0, 500, 510, 1510, 1520};
    QTest::newRow("only zero durations") << QList<int>{0, 0, 0} << MapGeometry::Scale::ByDuration
                                         << 2.0 << QList<double>{0, 2, 4, 6};
}

void MapGeometryTest::linesLieWhereTheirScaleAndZoomPutThem()
{
    QFETCH(QList<int>, durations);
    QFETCH(MapGeometry::Scale, scale);
    QFETCH(double, zoom);
    QFETCH(QList<double>, starts);

    const MapGeometry geometry = zoomed(test::withDurations(durations), scale, zoom);
    QCOMPARE(geometry.zoom(), zoom);
    const int count = int(durations.size());
    for (int n = 1; n <= count + 1; ++n)
        QCOMPARE(geometry.lineStart(n), starts[n - 1]);
    for (int n = 1; n <= count; ++n) {
        QCOMPARE(geometry.lineAt(geometry.lineStart(n)), n);
        const double middle = (geometry.lineStart(n) + geometry.lineEnd(n)) / 2;
        QCOMPARE(geometry.lineAt(middle), n);
    }
    QCOMPARE(geometry.lineAt(-3), 1);
    QCOMPARE(geometry.lineAt(starts.last() + 100), count);
}

void MapGeometryTest::aFittedMapShowsTheWholeSequenceInTheView_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<MapGeometry::Scale>("scale");

    QTest::newRow("1 line") << 1 << MapGeometry::Scale::PerLine;
    QTest::newRow("1000 lines by duration") << 1000 << MapGeometry::Scale::ByDuration;
    QTest::newRow("32767 lines by duration") << kMaxLines << MapGeometry::Scale::ByDuration;
}

void MapGeometryTest::aFittedMapShowsTheWholeSequenceInTheView()
{
    QFETCH(int, lines);
    QFETCH(MapGeometry::Scale, scale);

    LineTable table(lines);
    for (int n = 1; n <= lines; ++n)
        table.setCell(kDurationColumn, n, Cell(n % 7 * 100));
    MapGeometry geometry;
    geometry.setScale(scale);
    geometry.setViewWidth(602);
    geometry.setLines(table);

    QVERIFY(geometry.isFitted());
    QCOMPARE(geometry.contentWidth(), 602);
    QCOMPARE(geometry.maxScrollOffset(), 0);
    QVERIFY(std::abs(geometry.lineEnd(lines) - 602.0) < 1e-6);
    // The first and last pixel columns show lines from the sequence's first
    // and last pixel (with many lines a pixel, the one under its centre).
    QVERIFY(geometry.lineStart(geometry.lineAtViewX(0)) < 1.0);
    QVERIFY(geometry.lineEnd(geometry.lineAtViewX(601)) > 601.0);
    if (lines <= 602) {
        QCOMPARE(geometry.lineAtViewX(0), 1);
        QCOMPARE(geometry.lineAtViewX(601), lines);
    }
    // Zooming out of the fit is no change.
    geometry.zoomBy(0.5, 300);
    QVERIFY(geometry.isFitted());
    QCOMPARE(geometry.contentWidth(), 602);
}

void MapGeometryTest::zoomKeepsTheLineUnderTheAnchorAndStaysInItsLimits()
{
    MapGeometry geometry;
    geometry.setViewWidth(602);
    geometry.setLines(LineTable(1000));
    // The scroll offset is whole pixels, so the line may be its neighbour.
    for (const int anchor : {0, 137, 601}) {
        const int before = geometry.lineAtViewX(anchor);
        geometry.zoomBy(4, anchor);
        QVERIFY(!geometry.isFitted());
        QVERIFY(std::abs(geometry.lineAtViewX(anchor) - before) <= 1);
        geometry.zoomBy(0.5, anchor);
        QVERIFY(std::abs(geometry.lineAtViewX(anchor) - before) <= 1);
    }
    geometry.zoomBy(1e9, 0);
    QCOMPARE(geometry.zoom(), MapGeometry::kMaxPixelsPerUnit);
    QCOMPARE(geometry.contentWidth(), 64000);
    QCOMPARE(geometry.maxScrollOffset(), 64000 - 602);
    geometry.setScrollOffset(1 << 30);
    QCOMPARE(geometry.scrollOffset(), 64000 - 602);
    QCOMPARE(geometry.lineAtViewX(601), 1000);
    geometry.fit();
    QCOMPARE(geometry.scrollOffset(), 0);
    QCOMPARE(geometry.contentWidth(), 602);

    // The longest sequence at the longest durations still scrolls within an int.
    LineTable longest(kMaxLines);
    for (int n = 1; n <= kMaxLines; ++n)
        longest.setCell(kDurationColumn, n, kMaxCellValue);
    geometry.setLines(longest);
    geometry.setScale(MapGeometry::Scale::ByDuration);
    geometry.zoomBy(1e9, 0);
    QVERIFY(geometry.contentWidth() <= MapGeometry::kMaxContentWidth);
    geometry.setScrollOffset(geometry.maxScrollOffset());
    QCOMPARE(geometry.lineAtViewX(601), kMaxLines);
}

void MapGeometryTest::onlyADurationChangeAtTheDurationScaleMovesLines()
{
    LineTable table = test::withDurations({10, 20, 30});
    MapGeometry geometry = zoomed(table, MapGeometry::Scale::ByDuration, 1.0);

    QVERIFY(!geometry.updateLines(table, 1, 3)); // nothing changed
    table.setCell(0, 2, 0xF00);
    QVERIFY(!geometry.updateLines(table, 2, 2)); // a colour moves nothing
    table.setCell(kDurationColumn, 2, 40);
    QVERIFY(geometry.updateLines(table, 2, 2));
    QCOMPARE(geometry.lineStart(3), 50.0);
    QCOMPARE(geometry.lineEnd(3), 80.0);
    table.setCell(kDurationColumn, 1, 1);
    table.setCell(kDurationColumn, 3, 0);
    QVERIFY(geometry.updateLines(table, 1, 3));
    QCOMPARE(geometry.lineEnd(3), 42.0);
    // From 1 to 0 the line keeps its width.
    table.setCell(kDurationColumn, 1, 0);
    QVERIFY(!geometry.updateLines(table, 1, 1));
    // At one column per line a duration moves nothing.
    geometry.setScale(MapGeometry::Scale::PerLine);
    table.setCell(kDurationColumn, 2, 5);
    QVERIFY(!geometry.updateLines(table, 2, 2));
}

void MapGeometryTest::ensureVisibleBringsALineIntoTheView()
{
    MapGeometry geometry;
    geometry.setViewWidth(100);
    geometry.setLines(LineTable(1000));
    geometry.setZoom(10);
    for (const int line : {1000, 500, 1, 37}) {
        geometry.ensureVisible(line);
        const auto [first, last] = geometry.viewColumns(line);
        QCOMPARE(last - first + 1, 10);
        QCOMPARE(geometry.lineAtViewX(first), line);
        QCOMPARE(geometry.lineAtViewX(last), line);
    }
    // A line already in view stays where it is.
    const int offset = geometry.scrollOffset();
    geometry.ensureVisible(36);
    QCOMPARE(geometry.scrollOffset(), offset);
}

QTEST_APPLESS_MAIN(MapGeometryTest)
#include "MapGeometryTest.moc"
