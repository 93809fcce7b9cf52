#include "window/send/ProgrammerSettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace glowline {

ProgrammerSettingsDialog::ProgrammerSettingsDialog(const ProgrammerSettings &settings,
                                                   const QStringList &programmerIds,
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
    m_programmer->addItems(programmerIds);
    m_programmer->setEditText(settings.programmer);

    m_port = new QLineEdit(settings.port, this);
    m_port->setObjectName(QStringLiteral("txtPort"));
    m_port->setPlaceholderText(QStringLiteral("usb or /dev/ttyUSB0; empty for none"));

    m_words = new QSpinBox(this);
    m_words->setObjectName(QStringLiteral("spnWords"));
    m_words->setRange(1, ProgrammerSettings::kFlashWords);
    m_words->setValue(settings.words);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Programmer:"), m_programmer);
    form->addRow(QStringLiteral("P&ort:"), m_port);
    form->addRow(QStringLiteral("&Words for the sequence:"), m_words);
    form->addRow(buttons);

    setTabOrder(m_programmer, m_port);
    setTabOrder(m_port, m_words);
    m_programmer->setFocus();
    m_programmer->lineEdit()->selectAll();
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
