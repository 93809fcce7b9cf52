#include "send/ProgrammerSettings.h"

#include <QRegularExpression>
#include <QSettings>

namespace glowline {

namespace {

const QString kProgrammerKey = QStringLiteral("programmer/type");
const QString kPortKey = QStringLiteral("programmer/port");
const QString kWordsKey = QStringLiteral("programmer/words");

} // namespace

ProgrammerSettings ProgrammerSettings::load(const QSettings &settings)
{
    ProgrammerSettings result;
    result.programmer = settings.value(kProgrammerKey).toString().trimmed();
    result.port = settings.value(kPortKey).toString().trimmed();
    bool ok = false;
    const int words = settings.value(kWordsKey, kFlashWords).toInt(&ok);
    result.words = ok && words >= 1 && words <= kFlashWords ? words : kFlashWords;
    return result;
}

void ProgrammerSettings::save(QSettings &settings) const
{
    settings.setValue(kProgrammerKey, programmer);
    settings.setValue(kPortKey, port);
    settings.setValue(kWordsKey, words);
    settings.sync();
}

QStringList ProgrammerSettings::programmerIds(const QString &listing)
{
    // "  arduino            = Arduino for bootloader using STK500 v1 protocol"
    static const QRegularExpression entry(QStringLiteral("^\\s+(\\S+)\\s+=\\s"),
                                          QRegularExpression::MultilineOption);
    QStringList ids;
    auto matches = entry.globalMatch(listing);
    while (matches.hasNext())
        ids.append(matches.next().captured(1));
    return ids;
}

} // namespace glowline
