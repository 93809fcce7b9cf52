#pragma once

#include "send/ProgrammerSettings.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace glowline {

// File > Programmer Settings...: the programmer type (an editable list of the
// ids avrdude knows), the port, and how many words of flash the sequence may
// use. Enter accepts, Escape cancels. The list may come while the dialog is
// open, and a note below the fields says how the asking goes.
class ProgrammerSettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ProgrammerSettingsDialog(const ProgrammerSettings &settings,
                                      QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ProgrammerSettingsDialog)

    // Fills the programmer list; what the field holds, typed or not, stays.
    void setProgrammerIds(const QStringList &ids);
    // The note below the fields; none when empty.
    void setNote(const QString &text);
    ProgrammerSettings settings() const;

private:
    QComboBox *m_programmer = nullptr;
    QLineEdit *m_port = nullptr;
    QSpinBox *m_words = nullptr;
    QLabel *m_note = nullptr;
};

} // namespace glowline
