#include "window/dialogs/InsertFadeDialog.h"

#include "window/controls/DurationText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

namespace glowline {

InsertFadeDialog::InsertFadeDialog(const LineTable &table, int currentLine, QWidget *parent)
    : GeneratorDialog(table, currentLine, parent), m_inBetweens(new QSpinBox(this)),
      m_duration(new QLineEdit(formatDuration(FadeOptions().duration), this)),
      m_merge(new QCheckBox(tr("&Merge equal lines"), this))
{
    setObjectName(QStringLiteral("InsertFadeDialog"));
    setWindowTitle(tr("Insert Fade"));

    m_inBetweens->setObjectName(QStringLiteral("udInBetweens"));
    m_inBetweens->setRange(1, kMaxFadeInBetweens);
    m_inBetweens->setValue(FadeOptions().inBetweens);
    m_duration->setObjectName(QStringLiteral("txtDuration"));
    m_merge->setObjectName(QStringLiteral("chkMerge"));
    m_merge->setToolTip(tr("In-betweens that come out equal become one line with their "
                           "durations added, which saves flash."));

    addField(tr("&In-betweens:"), m_inBetweens);
    addField(tr("&Duration of each:"), m_duration);
    addField(QString(), m_merge);

    connect(m_inBetweens, &QSpinBox::valueChanged, this, &InsertFadeDialog::refresh);
    connect(m_duration, &QLineEdit::textChanged, this, &InsertFadeDialog::refresh);
    connect(m_merge, &QCheckBox::toggled, this, &InsertFadeDialog::refresh);
    refresh();
}

FadeOptions InsertFadeDialog::options() const
{
    return {m_inBetweens->value(), durationFromText(m_duration->text()), m_merge->isChecked()};
}

GeneratedLines InsertFadeDialog::generate() const
{
    return insertFade(table(), currentLine(), options());
}

} // namespace glowline
