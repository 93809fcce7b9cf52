#include "window/dialogs/ChaseDialog.h"

#include <QComboBox>
#include <QSpinBox>

namespace glowline {

ChaseDialog::ChaseDialog(const LineTable &table, int currentLine, QWidget *parent)
    : GeneratorDialog(table, currentLine, parent), m_count(new QSpinBox(this)),
      m_direction(new QComboBox(this))
{
    setObjectName(QStringLiteral("ChaseDialog"));
    setWindowTitle(tr("Chase"));

    m_count->setObjectName(QStringLiteral("udCount"));
    m_count->setRange(1, kMaxLines - 1);
    m_count->setValue(ChaseOptions().count);
    m_direction->setObjectName(QStringLiteral("cboDirection"));
    m_direction->addItem(tr("Right (towards LED 10)"), int(RotateDirection::Right));
    m_direction->addItem(tr("Left (towards LED 0)"), int(RotateDirection::Left));
    m_direction->setCurrentIndex(m_direction->findData(int(ChaseOptions().direction)));

    addField(tr("&Lines:"), m_count);
    addField(tr("&Direction:"), m_direction);

    connect(m_count, &QSpinBox::valueChanged, this, &ChaseDialog::refresh);
    connect(m_direction, &QComboBox::currentIndexChanged, this, &ChaseDialog::refresh);
    refresh();
}

ChaseOptions ChaseDialog::options() const
{
    return {m_count->value(), RotateDirection(m_direction->currentData().toInt())};
}

GeneratedLines ChaseDialog::generate() const
{
    return insertChase(table(), currentLine(), options());
}

} // namespace glowline
