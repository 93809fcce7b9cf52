#pragma once

#include <QLabel>

namespace glowline {

class SequenceEditor;

// The status bar's count of the board's flash the sequence fills, kept
// current after every change; over the board's words it stands out, since
// Send will refuse the sequence.
class FlashStatus final : public QLabel
{
    Q_OBJECT

public:
    FlashStatus(SequenceEditor &editor, QWidget *parent);
    Q_DISABLE_COPY_MOVE(FlashStatus)

public slots:
    // Counts again; also after the words the board holds were changed.
    void refresh();

private:
    const SequenceEditor &m_editor;
};

} // namespace glowline
