#include "window/dialogs/GeneratorDialog.h"

#include "files/SequenceWriter.h"

#include <QAbstractSpinBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace glowline {

GeneratorDialog::GeneratorDialog(const LineTable &table, int currentLine, QWidget *parent)
    : QDialog(parent), m_table(table), m_currentLine(currentLine),
      m_wordsBefore(sequenceWordCount(table)), m_form(new QFormLayout), m_summary(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setModal(true);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_summary->setWordWrap(true);
    m_summary->setMinimumWidth(320);
    m_buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(m_summary);
    layout->addWidget(m_buttons);
}

std::optional<GeneratedLines> GeneratorDialog::acceptedLines() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return fittingLines();
}

std::optional<GeneratedLines> GeneratorDialog::fittingLines() const
{
    GeneratedLines lines = generate();
    if (refusalFor(m_table, lines))
        return std::nullopt;
    return lines;
}

void GeneratorDialog::done(int result)
{
    // The OK button is disabled while the fields give no lines, but Enter
    // typed into a field reaches accept() all the same.
    if (result == QDialog::Accepted && !fittingLines())
        return;
    QDialog::done(result);
    emit previewCleared();
}

void GeneratorDialog::addField(const QString &label, QWidget *field)
{
    m_form->addRow(label, field);
    if (m_firstField == nullptr)
        m_firstField = field;
}

void GeneratorDialog::refresh()
{
    const GeneratedLines lines = generate();
    const std::optional<EditResult> refusal = refusalFor(m_table, lines);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!refusal);
    if (!refusal) {
        m_summary->setText(summaryOf(lines));
        emit previewChanged(lines);
    } else {
        m_summary->setText(refusal->message());
        emit previewCleared();
    }
}

void GeneratorDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
    if (m_firstField == nullptr)
        return;
    m_firstField->setFocus(Qt::OtherFocusReason);
    if (auto *spinBox = qobject_cast<QAbstractSpinBox *>(m_firstField))
        spinBox->selectAll();
    else if (auto *lineEdit = qobject_cast<QLineEdit *>(m_firstField))
        lineEdit->selectAll();
}

QString GeneratorDialog::summaryOf(const GeneratedLines &lines) const
{
    const int made = lines.lineCount();
    QString text = lines.replaceCount == 0
                       ? (made == 1 ? tr("Makes 1 line.") : tr("Makes %1 lines.").arg(made))
                       : (made == 1 ? tr("Changes 1 line.") : tr("Changes %1 lines.").arg(made));

    const int wordsAfter = sequenceWordCount(withGeneratedLines(m_table, lines));
    const int change = wordsAfter - m_wordsBefore;
    const int size = std::abs(change);
    text += QLatin1Char(' ');
    if (change > 0)
        text += size == 1 ? tr("The file gains 1 word") : tr("The file gains %1 words").arg(size);
    else if (change < 0)
        text += size == 1 ? tr("The file loses 1 word") : tr("The file loses %1 words").arg(size);
    else
        text += tr("The file keeps its word count");
    text += tr(" (%1 in all).").arg(wordsAfter);
    return text;
}

} // namespace glowline
