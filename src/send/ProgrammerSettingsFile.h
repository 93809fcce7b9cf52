#pragma once

#include "send/ProgrammerSettings.h"

#include <QString>

namespace glowline {

// The file that keeps the programmer settings between runs
// (~/.config/Glowline/Glowline.conf on Linux), and why it could not be read
// or written when it could not.
class ProgrammerSettingsFile final
{
public:
    // The editor's own settings file.
    ProgrammerSettingsFile();
    // A settings file at path, in the same format.
    explicit ProgrammerSettingsFile(QString path);

    // The kept settings, the default for any not kept. When the file cannot
    // be read: the defaults, and error() says why.
    ProgrammerSettings load();
    // False, with error() saying why, when the file could not be written.
    bool save(const ProgrammerSettings &settings);

    QString fileName() const;
    // Why the last load or save failed, naming the file; empty when it did
    // not.
    QString error() const { return m_error; }

private:
    QString m_path; // empty for the editor's own file
    QString m_error;
};

} // namespace glowline
