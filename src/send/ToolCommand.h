#pragma once

#include <QString>
#include <QStringList>

class QProcess;

namespace glowline {

// One run of an external tool. The same command has two forms: an argument
// vector, started with no shell in between so that no file name can become a
// command, and on Windows the exact command line the board's tools have always
// been given (tool path unquoted, file paths in double quotes).
struct ToolCommand final
{
    QString program;
    QStringList arguments;
    QString windowsCommandLine;
    QString workingDirectory;

    // The assembler is given the sequence file's path.
    static ToolCommand assembler(const QString &program, const QString &sequencePath);
    // The programmer writes the HEX file into the flash of the board's
    // ATmega8 ("m8b" in the programmer's part list).
    static ToolCommand programmer(const QString &program, const QString &hexPath);
    // A stock avrdude needs more: the board's part from partFile (added to
    // its own configuration), the programmer type and, unless empty, the port.
    static ToolCommand stockProgrammer(const QString &program, const QString &hexPath,
                                       const QString &partFile, const QString &type,
                                       const QString &port);

    // The command as the user reads it: the Windows command line there, and
    // elsewhere the arguments quoted as a POSIX shell would need them.
    QString displayLine() const;
    static QString posixDisplayLine(const QString &program, const QStringList &arguments);

    // Sets program, arguments and working directory of process; on Windows
    // also hands CreateProcess the exact command line.
    void applyTo(QProcess &process) const;
};

} // namespace glowline
