#include "send/FlashBudget.h"

#include "files/SequenceWriter.h"

namespace glowline {

FlashBudget FlashBudget::of(const LineTable &table, int available)
{
    return FlashBudget(sequenceWordCount(table), available);
}

QString FlashBudget::statusText() const
{
    const qint64 percent =
        m_available > 0 ? (qint64(m_used) * 100 + m_available / 2) / m_available : 0;
    return QStringLiteral("Flash: %1 of %2 words (%3 %)").arg(m_used).arg(m_available).arg(percent);
}

QString FlashBudget::refusalText() const
{
    return QStringLiteral("The sequence needs %1 words of flash; the board holds %2. Shorten it "
                          "by %3 words, then send again.")
        .arg(m_used)
        .arg(m_available)
        .arg(excess());
}

} // namespace glowline
