#include "window/send/ProgrammerSettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace glowline {

ProgrammerSettingsDialog::ProgrammerSettingsDialog(const ProgrammerSettings &settings,
                                                   QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgProgrammerSettings"));
    setWindowTitle(QStringLiteral("Programmer Settings"));
    setModal(true);

    m_programmer = new QComboBox(this);
    m_programmer->setObjectName(QStringLiteral("cboProgrammer"));
    m_programmer->setEditable(true);
    m_programmer->setInsertPolicy(QComboBox::NoInsert);
    m_programmer->setEditText(settings.programmer);

    m_port = new QLineEdit(settings.port, this);
    m_port->setObjectName(QStringLiteral("txtPort"));
    m_port->setPlaceholderText(QStringLiteral("usb or /dev/ttyUSB0; empty for none"));

    m_words = new QSpinBox(this);
    m_words->setObjectName(QStringLiteral("spnWords"));
    m_words->setRange(1, ProgrammerSettings::kFlashWords);
    m_words->setValue(settings.words);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblNote"));
    m_note->setWordWrap(true);
    m_note->setVisible(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Programmer:"), m_programmer);
    form->addRow(QStringLiteral("P&ort:"), m_port);
    form->addRow(QStringLiteral("&Words for the sequence:"), m_words);
    form->addRow(m_note);
    form->addRow(buttons);

    setTabOrder(m_programmer, m_port);
    setTabOrder(m_port, m_words);
    m_programmer->setFocus();
    m_programmer->lineEdit()->selectAll();
}

void ProgrammerSettingsDialog::setProgrammerIds(const QStringList &ids)
{
    // Filling the list puts its first id into the field; the user may be
    // typing there.
    QLineEdit *field = m_programmer->lineEdit();
    const QString text = field->text();
    const int cursor = field->cursorPosition();
    const int selectionStart = field->selectionStart();
    const int selectionLength = field->selectionLength();
    m_programmer->clear();
    m_programmer->addItems(ids);
    m_programmer->setEditText(text);
    if (selectionStart >= 0)
        field->setSelection(selectionStart, selectionLength);
    else
        field->setCursorPosition(cursor);
}

void ProgrammerSettingsDialog::setNote(const QString &text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

ProgrammerSettings ProgrammerSettingsDialog::settings() const
{
    ProgrammerSettings result;
    result.programmer = m_programmer->currentText().trimmed();
    result.port = m_port->text().trimmed();
    result.words = m_words->value();
    return result;
}

} // namespace glowline
