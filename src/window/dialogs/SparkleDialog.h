#pragma once

#include "window/dialogs/GeneratorDialog.h"

class QSpinBox;

namespace glowline {

// Sparkle: how many lines go after the current line, the chance in percent
// that an LED is lit with the active colour, and the seed that makes the
// pattern repeatable.
class SparkleDialog final : public GeneratorDialog
{
    Q_OBJECT

public:
    // colour is the packed active colour the lit LEDs take.
    SparkleDialog(const LineTable &table, int currentLine, int colour, QWidget *parent = nullptr);

    SparkleOptions options() const;

protected:
    GeneratedLines generate() const override;

private:
    int m_colour;
    QSpinBox *m_count;
    QSpinBox *m_percent;
    QSpinBox *m_seed;
};

} // namespace glowline
