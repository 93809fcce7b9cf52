#pragma once

#include "dialogs/Dialogs.h"

class QFileDialog;
class QWidget;

namespace glowline {

// The editor's dialogs shown with Qt: message boxes titled with the
// application's name, the Open and Save file dialogs for assembler sources,
// and the colour dialog. Each is modal to the active window.
class QtDialogs final : public Dialogs
{
public:
    QtDialogs() = default;
    Q_DISABLE_COPY_MOVE(QtDialogs)

    Answer message(Icon icon, Buttons buttons, const QString &text) override;
    std::optional<QString> openFileName(const QString &initialName) override;
    std::optional<QString> saveFileName(const QString &initialName) override;
    std::optional<Rgb24> colour(Rgb24 initial) override;
    std::optional<QString> text(const QString &prompt, const QString &initial) override;

private:
    static QWidget *parentWindow();
};

// Shows dialog with initialName chosen, if any; the file the user chose, or
// nothing when cancelled.
std::optional<QString> chosenFile(QFileDialog &dialog, const QString &initialName);

} // namespace glowline
