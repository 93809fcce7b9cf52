#include "send/ToolLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace glowline {

ToolLocator::ToolLocator() : m_programFolder(QCoreApplication::applicationDirPath()) {}

ToolLocator::ToolLocator(QString programFolder, QStringList searchPaths)
    : m_programFolder(std::move(programFolder)), m_searchPaths(std::move(searchPaths))
{}

QString ToolLocator::executableSuffix()
{
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return QString();
#endif
}

QString ToolLocator::folderName(Tool tool)
{
    const QString base =
        tool == Tool::Assembler ? QStringLiteral("avra") : QStringLiteral("avrdude-44");
    return base + executableSuffix();
}

QString ToolLocator::searchName(Tool tool)
{
    return tool == Tool::Assembler ? QStringLiteral("avra") : QStringLiteral("avrdude");
}

ToolLocator::Lookup ToolLocator::find(Tool tool) const
{
    const QString inFolder = QDir(m_programFolder).filePath(folderName(tool));
    const QFileInfo info(inFolder);
    if (!m_programFolder.isEmpty() && info.isFile() && info.isExecutable())
        return {info.absoluteFilePath(), QString(), true};

    const QString onPath = QStandardPaths::findExecutable(searchName(tool), m_searchPaths);
    if (!onPath.isEmpty())
        return {onPath, QString(), false};

    const QString what = tool == Tool::Assembler ? QStringLiteral("the assembler")
                                                 : QStringLiteral("the device programmer");
    const QString where = m_searchPaths.isEmpty()
                              ? QStringLiteral("on the search path (PATH)")
                              : QStringLiteral("in %1").arg(QDir::toNativeSeparators(
                                    m_searchPaths.join(QDir::listSeparator())));
    return {QString(),
            QStringLiteral("Cannot find %1 %2.\nLooked for %3 and for %4 %5.")
                .arg(what, folderName(tool), QDir::toNativeSeparators(inFolder), searchName(tool),
                     where),
            false};
}

QString ToolLocator::partFileName()
{
    return QStringLiteral("glowline-avrdude.conf");
}

ToolLocator::Lookup ToolLocator::findPartFile() const
{
    const QDir folder(m_programFolder);
    const QStringList candidates{
        folder.filePath(partFileName()),
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/glowline/")) + QLatin1Char('/') +
                        partFileName())};
    if (!m_programFolder.isEmpty()) {
        for (const QString &candidate : candidates) {
            if (QFileInfo(candidate).isFile())
                return {QFileInfo(candidate).absoluteFilePath(), QString(), true};
        }
    }
    QStringList shown;
    for (const QString &candidate : candidates)
        shown << QDir::toNativeSeparators(candidate);
    return {QString(),
            QStringLiteral("Cannot find %1, the board's part for avrdude.\nLooked for %2.")
                .arg(partFileName(), shown.join(QStringLiteral(" and "))),
            false};
}

} // namespace glowline
