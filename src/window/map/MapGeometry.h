#pragma once

#include "model/LineTable.h"

#include <cstdint>
#include <vector>

namespace glowline {

// Where each line of the sequence lies along the map's time axis, and which
// part of that axis the map's view shows. Positions are in pixels from the
// start of the sequence ("content x"); the view shows viewWidth() pixels of
// it from scrollOffset().
//
// Two scales: every line one unit wide, or every line as many units as its
// duration in hundredths. A line of duration 0 counts as one hundredth, so
// that it never vanishes: at one pixel per hundredth it is one pixel wide.
// The zoom is pixels per unit; the smallest zoom fits the whole sequence to
// the view, so the map never shows empty space after the last line.
class MapGeometry final
{
public:
    enum class Scale
    {
        PerLine,
        ByDuration,
    };

    // Widest a unit gets when zooming in (a short sequence fitted to the view
    // may be wider), and the longest the content may be, so that scroll
    // positions stay within an int.
    static constexpr double kMaxPixelsPerUnit = 64.0;
    static constexpr double kMaxContentWidth = 1 << 30;

    // Takes every line's duration; keeps the zoom fitted if it was.
    void setLines(const LineTable &table);
    // Takes the durations of lines first..last again. Returns true when the
    // positions of the lines changed (only a duration change at the duration
    // scale moves anything).
    bool updateLines(const LineTable &table, int first, int last);

    Scale scale() const { return m_scale; }
    // Keeps a fitted view fitted; otherwise keeps the zoom relative to the fit.
    void setScale(Scale scale);

    int viewWidth() const { return m_viewWidth; }
    void setViewWidth(int width);

    int lineCount() const { return m_lineCount; }
    std::int64_t totalUnits() const;

    double zoom() const { return m_zoom; }
    double minZoom() const;
    double maxZoom() const;
    bool isFitted() const { return m_fitted; }
    void fit();
    // Clamps to minZoom..maxZoom; the content x under the view's x stays put.
    void setZoom(double zoom, int anchorViewX = 0);
    void zoomBy(double factor, int anchorViewX) { setZoom(m_zoom * factor, anchorViewX); }

    // The content's width in whole pixels.
    int contentWidth() const;
    int scrollOffset() const { return m_scrollOffset; }
    int maxScrollOffset() const;
    void setScrollOffset(int offset);
    // Scrolls as little as needed to bring the line into view.
    void ensureVisible(int line);

    // Content x of the start and end of a line (1..lineCount).
    double lineStart(int line) const;
    double lineEnd(int line) const { return lineStart(line + 1); }
    // The line that covers content x; positions outside the sequence give the
    // first or last line.
    int lineAt(double contentX) const;
    // The line shown by the view's pixel column x (sampled at its centre), so
    // that a click names the line that is drawn under it.
    int lineAtViewX(int viewX) const { return lineAt(m_scrollOffset + viewX + 0.5); }
    // The view's pixel columns [first, last] that show part of the line;
    // first > last when the line is out of view.
    std::pair<int, int> viewColumns(int line) const;

private:
    static int weight(const LineTable &table, int line);
    std::int64_t unitsBefore(int line) const;
    void clampScroll();

    Scale m_scale = Scale::PerLine;
    int m_lineCount = 1;
    // m_prefix[n] is the sum of the duration weights of lines 1..n.
    std::vector<std::int64_t> m_prefix{0, 1};
    std::vector<int> m_weights{0, 1};
    int m_viewWidth = 1;
    double m_zoom = 1.0;
    bool m_fitted = true;
    int m_scrollOffset = 0;
};

} // namespace glowline
