#include "send/ToolCommand.h"

#include <QProcess>

#include <memory>
#include <string>

namespace glowline {

namespace {

QString windowsPath(QString path)
{
    return path.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString quotedForPosixShell(const QString &argument)
{
    if (argument.isEmpty())
        return QStringLiteral("''");
    bool plain = true;
    for (const QChar c : argument) {
        if (!(c.isLetterOrNumber() || QStringLiteral("/._-+:=@%,").contains(c))) {
            plain = false;
            break;
        }
    }
    if (plain)
        return argument;
    QString quoted = argument;
    quoted.replace(QStringLiteral("'"), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

ToolCommand ToolCommand::assembler(const QString &program, const QString &sequencePath)
{
    ToolCommand command;
    command.program = program;
    command.arguments = {sequencePath};
    command.windowsCommandLine =
        windowsPath(program) + QStringLiteral(" \"") + windowsPath(sequencePath) + QLatin1Char('"');
    return command;
}

ToolCommand ToolCommand::programmer(const QString &program, const QString &hexPath)
{
    ToolCommand command;
    command.program = program;
    command.arguments = {QStringLiteral("-p"), QStringLiteral("m8b"), QStringLiteral("-U"),
                         QStringLiteral("flash:w:") + hexPath + QStringLiteral(":i")};
    command.windowsCommandLine = windowsPath(program) + QStringLiteral(" -p m8b -U flash:w:\"") +
                                 windowsPath(hexPath) + QStringLiteral("\":i");
    return command;
}

ToolCommand ToolCommand::stockProgrammer(const QString &program, const QString &hexPath,
                                         const QString &partFile, const QString &type,
                                         const QString &port)
{
    ToolCommand command;
    command.program = program;
    command.arguments = {QStringLiteral("-C"), QLatin1Char('+') + partFile, QStringLiteral("-c"),
                         type};
    QString line = windowsPath(program) + QStringLiteral(" -C \"+") + windowsPath(partFile) +
                   QStringLiteral("\" -c \"") + type + QLatin1Char('"');
    if (!port.isEmpty()) {
        command.arguments << QStringLiteral("-P") << port;
        line += QStringLiteral(" -P \"") + port + QLatin1Char('"');
    }
    command.arguments << QStringLiteral("-p") << QStringLiteral("m8b") << QStringLiteral("-U")
                      << QStringLiteral("flash:w:") + hexPath + QStringLiteral(":i");
    command.windowsCommandLine = line + QStringLiteral(" -p m8b -U flash:w:\"") +
                                 windowsPath(hexPath) + QStringLiteral("\":i");
    return command;
}

QString ToolCommand::displayLine() const
{
#ifdef Q_OS_WIN
    return windowsCommandLine;
#else
    return posixDisplayLine(program, arguments);
#endif
}

QString ToolCommand::posixDisplayLine(const QString &program, const QStringList &arguments)
{
    QStringList words{quotedForPosixShell(program)};
    for (const QString &argument : arguments)
        words.append(quotedForPosixShell(argument));
    return words.join(QLatin1Char(' '));
}

void ToolCommand::applyTo(QProcess &process) const
{
    process.setProgram(program);
    process.setWorkingDirectory(workingDirectory);
#ifdef Q_OS_WIN
    // QProcess would quote the program path; the tools get the command line
    // exactly as written above instead. CreateProcess may write into the
    // buffer, so it is a private, writable copy that lives with the process.
    auto line = std::make_shared<std::wstring>(windowsCommandLine.toStdWString());
    process.setCreateProcessArgumentsModifier(
        [line](QProcess::CreateProcessArguments *args) { args->arguments = line->data(); });
#else
    process.setArguments(arguments);
#endif
}

} // namespace glowline
