#pragma once

#include "window/dialogs/GeneratorDialog.h"

class QLineEdit;
class QSpinBox;

namespace glowline {

// Rainbow: how many lines go after the current line, the hues turning across
// the LEDs and from line to line, and the duration of each (typed as in the
// duration box).
class RainbowDialog final : public GeneratorDialog
{
    Q_OBJECT

public:
    RainbowDialog(const LineTable &table, int currentLine, QWidget *parent = nullptr);

    RainbowOptions options() const;

protected:
    GeneratedLines generate() const override;

private:
    QSpinBox *m_count;
    QLineEdit *m_duration;
};

} // namespace glowline
