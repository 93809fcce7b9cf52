#include "window/map/MapGeometry.h"

#include <algorithm>
#include <cmath>

namespace glowline {

int MapGeometry::weight(const LineTable &table, int line)
{
    return std::max(1, int(table.duration(line)));
}

void MapGeometry::setLines(const LineTable &table)
{
    m_lineCount = table.lineCount();
    m_weights.assign(std::size_t(m_lineCount) + 1, 0);
    m_prefix.assign(std::size_t(m_lineCount) + 1, 0);
    for (int n = 1; n <= m_lineCount; ++n) {
        m_weights[std::size_t(n)] = weight(table, n);
        m_prefix[std::size_t(n)] = m_prefix[std::size_t(n) - 1] + m_weights[std::size_t(n)];
    }
    if (m_fitted)
        fit();
    else
        setZoom(m_zoom);
}

bool MapGeometry::updateLines(const LineTable &table, int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, m_lineCount);
    int changedFrom = 0;
    for (int n = first; n <= last; ++n) {
        const int w = weight(table, n);
        if (w != m_weights[std::size_t(n)]) {
            m_weights[std::size_t(n)] = w;
            if (changedFrom == 0)
                changedFrom = n;
        }
    }
    if (changedFrom == 0)
        return false;
    for (int n = changedFrom; n <= m_lineCount; ++n)
        m_prefix[std::size_t(n)] = m_prefix[std::size_t(n) - 1] + m_weights[std::size_t(n)];
    if (m_scale != Scale::ByDuration)
        return false;
    if (m_fitted)
        fit();
    else
        setZoom(m_zoom);
    return true;
}

void MapGeometry::setScale(Scale scale)
{
    if (scale == m_scale)
        return;
    const double relative = m_zoom / minZoom();
    m_scale = scale;
    if (m_fitted)
        fit();
    else
        setZoom(relative * minZoom());
}

void MapGeometry::setViewWidth(int width)
{
    m_viewWidth = std::max(1, width);
    if (m_fitted)
        fit();
    else
        setZoom(m_zoom);
}

std::int64_t MapGeometry::totalUnits() const
{
    return unitsBefore(m_lineCount + 1);
}

double MapGeometry::minZoom() const
{
    return double(m_viewWidth) / double(totalUnits());
}

double MapGeometry::maxZoom() const
{
    const double limit = std::min(kMaxPixelsPerUnit, kMaxContentWidth / double(totalUnits()));
    return std::max(minZoom(), limit);
}

void MapGeometry::fit()
{
    m_zoom = minZoom();
    m_fitted = true;
    m_scrollOffset = 0;
}

void MapGeometry::setZoom(double zoom, int anchorViewX)
{
    // The anchor is the centre of its pixel column, where the line is sampled.
    const double anchorUnits = (m_scrollOffset + anchorViewX + 0.5) / m_zoom;
    const double lowest = minZoom();
    m_zoom = std::clamp(zoom, lowest, maxZoom());
    // Zooming out to the fit, or close enough that the content would be a
    // pixel wider than the view, is the fit.
    m_fitted = m_zoom <= lowest * (1.0 + 1e-9) || contentWidth() <= m_viewWidth;
    if (m_fitted) {
        fit();
        return;
    }
    m_scrollOffset = int(std::lround(anchorUnits * m_zoom - anchorViewX - 0.5));
    clampScroll();
}

int MapGeometry::contentWidth() const
{
    const double width = std::ceil(m_zoom * double(totalUnits()) - 1e-6);
    return int(std::clamp(width, 1.0, kMaxContentWidth));
}

int MapGeometry::maxScrollOffset() const
{
    return std::max(0, contentWidth() - m_viewWidth);
}

void MapGeometry::setScrollOffset(int offset)
{
    m_scrollOffset = offset;
    clampScroll();
}

void MapGeometry::clampScroll()
{
    m_scrollOffset = std::clamp(m_scrollOffset, 0, maxScrollOffset());
}

void MapGeometry::ensureVisible(int line)
{
    const double start = lineStart(line);
    const double end = lineEnd(line);
    if (start < m_scrollOffset || end - start >= m_viewWidth)
        m_scrollOffset = int(std::floor(start));
    else if (end > m_scrollOffset + m_viewWidth)
        m_scrollOffset = int(std::ceil(end)) - m_viewWidth;
    clampScroll();
}

std::int64_t MapGeometry::unitsBefore(int line) const
{
    if (m_scale == Scale::PerLine)
        return line - 1;
    return m_prefix[std::size_t(line) - 1];
}

double MapGeometry::lineStart(int line) const
{
    return double(unitsBefore(line)) * m_zoom;
}

int MapGeometry::lineAt(double contentX) const
{
    const double units = contentX / m_zoom;
    int line = 1;
    if (m_scale == Scale::PerLine) {
        line = int(std::clamp(std::floor(units) + 1, 1.0, double(m_lineCount)));
    } else {
        // The first line whose end lies beyond the position covers it.
        const auto it = std::upper_bound(m_prefix.begin() + 1, m_prefix.end(), units,
                                         [](double u, std::int64_t p) { return u < double(p); });
        line = std::clamp(int(it - m_prefix.begin()), 1, m_lineCount);
    }
    // Rounding in the division must not disagree with lineStart, which is
    // what the drawing and the tests use.
    while (line < m_lineCount && lineStart(line + 1) <= contentX)
        ++line;
    while (line > 1 && lineStart(line) > contentX)
        --line;
    return line;
}

std::pair<int, int> MapGeometry::viewColumns(int line) const
{
    // Pixel x shows the line that covers its centre x + 0.5.
    const double start = lineStart(line) - m_scrollOffset;
    const double end = lineEnd(line) - m_scrollOffset;
    const int first = std::max(0, int(std::ceil(start - 0.5)));
    const int last = std::min(m_viewWidth - 1, int(std::ceil(end - 0.5)) - 1);
    return {first, last};
}

} // namespace glowline
