#include "model/DocumentState.h"

namespace glowline {

QString DocumentState::changedMarker() const
{
    return m_changed ? QStringLiteral("*") : QString();
}

void DocumentState::markChanged()
{
    if (!m_refreshing)
        setChanged(true);
}

void DocumentState::clearChangedMarker()
{
    setChanged(false);
}

void DocumentState::setFileName(const QString &fileName)
{
    if (fileName == m_fileName)
        return;
    m_fileName = fileName;
    emit fileNameChanged(m_fileName);
}

void DocumentState::setChanged(bool changed)
{
    if (changed == m_changed)
        return;
    m_changed = changed;
    emit changedMarkerChanged(changedMarker());
}

} // namespace glowline
