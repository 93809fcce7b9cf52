#pragma once

#include "window/dialogs/GeneratorDialog.h"

class QComboBox;
class QSpinBox;

namespace glowline {

// Chase: how many lines go after the current line, each the one before it
// turned by one LED, and which way they turn.
class ChaseDialog final : public GeneratorDialog
{
    Q_OBJECT

public:
    ChaseDialog(const LineTable &table, int currentLine, QWidget *parent = nullptr);

    ChaseOptions options() const;

protected:
    GeneratedLines generate() const override;

private:
    QSpinBox *m_count;
    QComboBox *m_direction;
};

} // namespace glowline
