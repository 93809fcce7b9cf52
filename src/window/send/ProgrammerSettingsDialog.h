#pragma once

#include "send/ProgrammerSettings.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace glowline {

// File > Programmer Settings...: the programmer type (an editable list of the
// ids avrdude knows), the port, and how many words of flash the sequence may
// use. Enter accepts, Escape cancels.
class ProgrammerSettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    ProgrammerSettingsDialog(const ProgrammerSettings &settings, const QStringList &programmerIds,
                             QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ProgrammerSettingsDialog)

    ProgrammerSettings settings() const;

private:
    QComboBox *m_programmer = nullptr;
    QLineEdit *m_port = nullptr;
    QSpinBox *m_words = nullptr;
};

} // namespace glowline
