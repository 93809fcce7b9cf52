#include "window/dialogs/QtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace glowline {

namespace {

QStringList sequenceFilters()
{
    return {QStringLiteral("Assembly Files (*.asm)"), QStringLiteral("All Files (*)")};
}

std::optional<QString> runFileDialog(QWidget *parent, QFileDialog::AcceptMode mode,
                                     QFileDialog::FileMode fileMode, const QString &initialName)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setNameFilters(sequenceFilters());
    dialog.selectNameFilter(sequenceFilters().first());
    // Saving writes exactly the name the user typed: no extension is added.
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    return chosenFile(dialog, initialName);
}

} // namespace

std::optional<QString> chosenFile(QFileDialog &dialog, const QString &initialName)
{
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

QWidget *QtDialogs::parentWindow()
{
    return QApplication::activeWindow();
}

Dialogs::Answer QtDialogs::message(Icon icon, Buttons buttons, const QString &text)
{
    QMessageBox box(parentWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setText(text);
    switch (icon) {
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Closed without a choice: Cancel where offered, otherwise the
        // answer that changes nothing.
        if (buttons == Buttons::YesNoCancel)
            return Answer::Cancel;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

std::optional<QString> QtDialogs::openFileName(const QString &initialName)
{
    return runFileDialog(parentWindow(), QFileDialog::AcceptOpen, QFileDialog::ExistingFile,
                         initialName);
}

std::optional<QString> QtDialogs::saveFileName(const QString &initialName)
{
    return runFileDialog(parentWindow(), QFileDialog::AcceptSave, QFileDialog::AnyFile,
                         initialName);
}

std::optional<Rgb24> QtDialogs::colour(Rgb24 initial)
{
    QColorDialog dialog(QColor(redOf(initial), greenOf(initial), blueOf(initial)), parentWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return rgb24(chosen.red(), chosen.green(), chosen.blue());
}

std::optional<QString> QtDialogs::text(const QString &prompt, const QString &initial)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parentWindow(), QApplication::applicationName(),
                                                 prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

} // namespace glowline
