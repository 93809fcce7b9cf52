#include "send/ProgressMarks.h"

#include <algorithm>

namespace glowline {

namespace {

// Longer than any phase word; a line that long before its '|' is no bar.
constexpr qsizetype kLongestPhase = 32;

} // namespace

bool ProgressMarks::feed(QStringView text)
{
    bool moved = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            m_lineStart.clear();
            m_inBar = false;
            m_barSeen = false;
        } else if (c == QLatin1Char('|')) {
            if (m_inBar) {
                m_inBar = false; // the closing bar; "100% 0.52s" follows
            } else if (!m_barSeen) {
                const QString word = m_lineStart.trimmed();
                if (!word.isEmpty() && !word.contains(QLatin1Char(' '))) {
                    m_phase = word;
                    m_marks = 0;
                    m_inBar = true;
                    m_barSeen = true;
                    moved = true;
                }
            }
        } else if (m_inBar) {
            if (c == QLatin1Char('#') && m_marks < kMarksPerBar) {
                ++m_marks;
                moved = true;
            }
        } else if (!m_barSeen && m_lineStart.size() < kLongestPhase) {
            m_lineStart.append(c);
        }
    }
    return moved;
}

} // namespace glowline
