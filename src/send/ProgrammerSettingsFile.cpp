#include "send/ProgrammerSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <unistd.h>

namespace glowline {

namespace {

// QSettings tells only that a file could not be read or written; the user
// needs to know why, so the file is looked at again.
QString whyNotRead(const QString &path, QSettings::Status status)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("It is a folder.");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (status == QSettings::FormatError)
        return QStringLiteral("It does not hold settings in a form Glowline reads.");
    return QStringLiteral("The system gave no reason.");
}

QString whyNotWritten(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("It is a folder.");
    if (info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return file.errorString();
    }
    // The settings make the folders they need in the nearest one that
    // exists.
    QFileInfo folder(info.absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder = QFileInfo(folder.absolutePath());
    const QString shown = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder.").arg(shown);
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0)
        return QStringLiteral("%1: %2").arg(shown, qt_error_string(errno));
    return QStringLiteral("The system gave no reason.");
}

QSettings open(const QString &path)
{
    if (path.isEmpty())
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Glowline"),
                         QStringLiteral("Glowline"));
    return QSettings(path, QSettings::NativeFormat);
}

} // namespace

ProgrammerSettingsFile::ProgrammerSettingsFile() = default;

ProgrammerSettingsFile::ProgrammerSettingsFile(QString path) : m_path(std::move(path)) {}

QString ProgrammerSettingsFile::fileName() const
{
    return open(m_path).fileName();
}

ProgrammerSettings ProgrammerSettingsFile::load()
{
    m_error.clear();
    const QSettings settings = open(m_path);
    if (settings.status() == QSettings::NoError)
        return ProgrammerSettings::load(settings);
    m_error = QStringLiteral("Cannot read the settings file %1:\n%2")
                  .arg(QDir::toNativeSeparators(settings.fileName()),
                       whyNotRead(settings.fileName(), settings.status()));
    return ProgrammerSettings();
}

bool ProgrammerSettingsFile::save(const ProgrammerSettings &settings)
{
    m_error.clear();
    QSettings file = open(m_path);
    settings.save(file);
    if (file.status() == QSettings::NoError)
        return true;
    m_error = QStringLiteral("Cannot write the settings file %1:\n%2")
                  .arg(QDir::toNativeSeparators(file.fileName()), whyNotWritten(file.fileName()));
    return false;
}

} // namespace glowline
