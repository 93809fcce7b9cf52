#include "window/dialogs/SparkleDialog.h"

#include <QSpinBox>

#include <limits>

namespace glowline {

SparkleDialog::SparkleDialog(const LineTable &table, int currentLine, int colour, QWidget *parent)
    : GeneratorDialog(table, currentLine, parent), m_colour(colour), m_count(new QSpinBox(this)),
      m_percent(new QSpinBox(this)), m_seed(new QSpinBox(this))
{
    setObjectName(QStringLiteral("SparkleDialog"));
    setWindowTitle(tr("Sparkle"));

    const SparkleOptions defaults;
    m_count->setObjectName(QStringLiteral("udCount"));
    m_count->setRange(1, kMaxLines - 1);
    m_count->setValue(defaults.count);
    m_percent->setObjectName(QStringLiteral("udPercent"));
    m_percent->setRange(0, 100);
    m_percent->setSuffix(tr(" %"));
    m_percent->setValue(defaults.percent);
    m_seed->setObjectName(QStringLiteral("udSeed"));
    m_seed->setRange(0, std::numeric_limits<int>::max());
    m_seed->setValue(int(defaults.seed));
    m_seed->setToolTip(tr("The same seed, number of lines and chance give the same lines."));

    addField(tr("&Lines:"), m_count);
    addField(tr("&Chance lit:"), m_percent);
    addField(tr("&Seed:"), m_seed);

    connect(m_count, &QSpinBox::valueChanged, this, &SparkleDialog::refresh);
    connect(m_percent, &QSpinBox::valueChanged, this, &SparkleDialog::refresh);
    connect(m_seed, &QSpinBox::valueChanged, this, &SparkleDialog::refresh);
    refresh();
}

SparkleOptions SparkleDialog::options() const
{
    return {m_count->value(), m_percent->value(), std::uint32_t(m_seed->value()), m_colour};
}

GeneratedLines SparkleDialog::generate() const
{
    return insertSparkle(table(), currentLine(), options());
}

} // namespace glowline
