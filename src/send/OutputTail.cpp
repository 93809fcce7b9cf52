#include "send/OutputTail.h"

namespace glowline {

bool OutputTail::append(QStringView text)
{
    m_text.append(text);
    if (m_text.size() <= m_limit)
        return false;
    qsizetype cut = m_text.size() - (m_limit - m_limit / 8);
    // A character from outside the Basic Multilingual Plane goes whole.
    if (m_text.at(cut).isLowSurrogate())
        ++cut;
    m_dropped += QStringView(m_text).left(cut).toUtf8().size();
    m_text.remove(0, cut);
    return true;
}

QString OutputTail::text() const
{
    if (m_dropped == 0)
        return m_text;
    return QStringLiteral("… %1 earlier bytes not shown\n").arg(m_dropped) + m_text;
}

} // namespace glowline
