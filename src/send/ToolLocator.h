#pragma once

#include <QString>
#include <QStringList>

namespace glowline {

// Finds the external tools. Each is looked for first in the program's own
// folder under the name the board's tools have always had there, then on the
// search path under the name its package installs.
class ToolLocator final
{
public:
    enum class Tool
    {
        Assembler,
        Programmer,
    };

    // Where a tool was found; path is empty and error says what was looked
    // for where when it was not.
    struct Lookup final
    {
        QString path;
        QString error;
        // Found in the program's own folder, under the name the board's
        // tools have always had there.
        bool inProgramFolder = false;

        bool found() const { return !path.isEmpty(); }
    };

    // The folder of the running program, and the system's PATH.
    ToolLocator();
    // An empty searchPaths stands for the system's PATH.
    explicit ToolLocator(QString programFolder, QStringList searchPaths = {});

    QString programFolder() const { return m_programFolder; }
    QStringList searchPaths() const { return m_searchPaths; }

    Lookup find(Tool tool) const;
    // The part definition a stock avrdude needs for the board: beside the
    // program (a build folder) or where it is installed (../share/glowline).
    Lookup findPartFile() const;
    static QString partFileName();

    // "avra" and "avrdude-44", with ".exe" on Windows.
    static QString folderName(Tool tool);
    // "avra" and "avrdude".
    static QString searchName(Tool tool);
    static QString executableSuffix();

private:
    QString m_programFolder;
    QStringList m_searchPaths;
};

} // namespace glowline
