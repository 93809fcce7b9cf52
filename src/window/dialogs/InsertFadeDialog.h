#pragma once

#include "window/dialogs/GeneratorDialog.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace glowline {

// Insert Fade: how many in-between lines go after the current line, the
// duration of each (typed as in the duration box) and whether equal
// neighbours merge.
class InsertFadeDialog final : public GeneratorDialog
{
    Q_OBJECT

public:
    InsertFadeDialog(const LineTable &table, int currentLine, QWidget *parent = nullptr);

    FadeOptions options() const;

protected:
    GeneratedLines generate() const override;

private:
    QSpinBox *m_inBetweens;
    QLineEdit *m_duration;
    QCheckBox *m_merge;
};

} // namespace glowline
