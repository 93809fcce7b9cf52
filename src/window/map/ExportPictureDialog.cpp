#include "window/map/ExportPictureDialog.h"

#include "window/dialogs/QtDialogs.h"
#include "window/map/SequenceMap.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace glowline {

ExportPictureDialog::ExportPictureDialog(int currentZoomWidth, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Export Picture"));
    auto *form = new QFormLayout(this);

    m_width = new QSpinBox(this);
    m_width->setObjectName(QStringLiteral("txtPictureWidth"));
    m_width->setSuffix(QStringLiteral(" px"));
    const bool zoomFits = currentZoomWidth <= SequenceMap::kMaxPictureWidth;
    if (zoomFits) {
        m_width->setRange(0, SequenceMap::kMaxPictureWidth);
        m_width->setSpecialValueText(QStringLiteral("current zoom"));
        m_width->setValue(0);
    } else {
        m_width->setRange(1, SequenceMap::kMaxPictureWidth);
        m_width->setValue(SequenceMap::kMaxPictureWidth);
    }
    form->addRow(QStringLiteral("&Width:"), m_width);
    auto *note = new QLabel(this);
    note->setObjectName(QStringLiteral("lblPictureZoomWidth"));
    note->setText(zoomFits ? QStringLiteral("At the current zoom: %1 px").arg(currentZoomWidth)
                           : QStringLiteral("At the current zoom the picture would be %1 px "
                                            "wide; the most is %2 px.")
                                 .arg(currentZoomWidth)
                                 .arg(SequenceMap::kMaxPictureWidth));
    form->addRow(QString(), note);

    m_height = new QSpinBox(this);
    m_height->setObjectName(QStringLiteral("txtPictureHeight"));
    m_height->setSuffix(QStringLiteral(" px"));
    m_height->setRange(kLedCount, SequenceMap::kMaxPictureHeight);
    m_height->setValue(SequenceMap::kDefaultPictureHeight);
    form->addRow(QStringLiteral("&Height:"), m_height);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);

    m_width->setFocus();
    m_width->selectAll();
}

PictureSize ExportPictureDialog::pictureSize() const
{
    return {m_width->value(), m_height->value()};
}

std::optional<PictureSize> QtExportPictureQuestions::pictureSize(int currentZoomWidth)
{
    ExportPictureDialog dialog(currentZoomWidth, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.pictureSize();
}

std::optional<QString> QtExportPictureQuestions::pictureFileName(const QString &suggestedName)
{
    QFileDialog dialog(m_parent, QStringLiteral("Export Picture"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("PNG Images (*.png)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    return chosenFile(dialog, suggestedName);
}

} // namespace glowline
