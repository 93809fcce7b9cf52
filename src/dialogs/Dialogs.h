#pragma once

#include "model/Colour.h"

#include <QString>

#include <optional>

namespace glowline {

// Every modal question the editor asks goes through this interface, so that
// the window can be driven without a screen. The editor's own implementation
// shows Qt's dialogs; tests answer from a script and record what was asked.
class Dialogs
{
public:
    enum class Icon
    {
        Question,
        Error,
        Warning,
        Information,
    };
    enum class Buttons
    {
        Ok,
        YesNo,
        YesNoCancel, // Yes is the default button
    };
    enum class Answer
    {
        Ok,
        Yes,
        No,
        Cancel,
    };

    virtual ~Dialogs() = default;

    // A message box titled with the application's name.
    virtual Answer message(Icon icon, Buttons buttons, const QString &text) = 0;
    // The Open dialog: only an existing file; nullopt when cancelled. The
    // filter is "Assembly Files (*.asm)" then "All Files", the first selected.
    virtual std::optional<QString> openFileName(const QString &initialName) = 0;
    // The Save dialog: asks before replacing an existing file and adds no
    // extension; nullopt when cancelled. Same filter as openFileName.
    virtual std::optional<QString> saveFileName(const QString &initialName) = 0;
    // The colour dialog preset to initial; nullopt when cancelled.
    virtual std::optional<Rgb24> colour(Rgb24 initial) = 0;
    // A one-line text asked for with prompt, preset to initial; nullopt when
    // cancelled.
    virtual std::optional<QString> text(const QString &prompt, const QString &initial) = 0;
};

} // namespace glowline
