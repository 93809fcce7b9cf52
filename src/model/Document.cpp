#include "model/Document.h"

namespace glowline {

void Document::replace(LineTable table)
{
    m_table = std::move(table);
    m_currentLine = 1;
    m_anchorLine = 1;
    m_heldLast = 0;
    m_state.clearChangedMarker();
    emit replaced();
}

} // namespace glowline
