#pragma once

#include <QString>

namespace glowline {

class LineTable;

// How much of the board's flash a sequence fills: the data words Save would
// write for it against the words the board has for the sequence (4096 on a
// bare ATmega8, fewer under a bootloader).
class FlashBudget final
{
public:
    FlashBudget(int used, int available) : m_used(used), m_available(available) {}
    static FlashBudget of(const LineTable &table, int available);

    int used() const { return m_used; }
    int available() const { return m_available; }
    bool isOver() const { return m_used > m_available; }
    int excess() const { return isOver() ? m_used - m_available : 0; }

    // "Flash: N of 4096 words (P %)", P rounded to the nearest whole.
    QString statusText() const;
    // Why Send refuses a sequence that does not fit.
    QString refusalText() const;

private:
    int m_used = 0;
    int m_available = 0;
};

} // namespace glowline
