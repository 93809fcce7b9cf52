#include "window/dialogs/RainbowDialog.h"

#include "window/controls/DurationText.h"

#include <QLineEdit>
#include <QSpinBox>

namespace glowline {

RainbowDialog::RainbowDialog(const LineTable &table, int currentLine, QWidget *parent)
    : GeneratorDialog(table, currentLine, parent), m_count(new QSpinBox(this)),
      m_duration(new QLineEdit(formatDuration(RainbowOptions().duration), this))
{
    setObjectName(QStringLiteral("RainbowDialog"));
    setWindowTitle(tr("Rainbow"));

    m_count->setObjectName(QStringLiteral("udCount"));
    m_count->setRange(1, kMaxLines - 1);
    m_count->setValue(RainbowOptions().count);
    m_duration->setObjectName(QStringLiteral("txtDuration"));

    addField(tr("&Lines:"), m_count);
    addField(tr("&Duration of each:"), m_duration);

    connect(m_count, &QSpinBox::valueChanged, this, &RainbowDialog::refresh);
    connect(m_duration, &QLineEdit::textChanged, this, &RainbowDialog::refresh);
    refresh();
}

RainbowOptions RainbowDialog::options() const
{
    return {m_count->value(), durationFromText(m_duration->text())};
}

GeneratedLines RainbowDialog::generate() const
{
    return insertRainbow(currentLine(), options());
}

} // namespace glowline
