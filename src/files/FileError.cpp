#include "files/FileError.h"

#include <algorithm>

namespace glowline {

QString FileError::message() const
{
    if (line <= 0)
        return description;
    const QString word = unit == Unit::Row ? QStringLiteral("row") : QStringLiteral("line");
    return QStringLiteral("%1 %2: %3").arg(word, QString::number(line), description);
}

QString FileError::message(const QString &file) const
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(file, description);
    return QStringLiteral("%1:%2: %3").arg(file, QString::number(line), description);
}

QString printableText(QByteArrayView text, qsizetype maxChars)
{
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const qsizetype shownCount = std::min(text.size(), maxChars);
    QString shown;
    shown.reserve(shownCount + 3);
    for (qsizetype i = 0; i < shownCount; ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch >= 0x20 && ch < 0x7F) {
            shown += QLatin1Char(char(ch));
        } else {
            shown += QLatin1String("\\x");
            shown += QLatin1Char(kHexDigits[ch >> 4]);
            shown += QLatin1Char(kHexDigits[ch & 0xF]);
        }
    }
    if (text.size() > shownCount)
        shown += QLatin1String("...");
    return shown;
}

} // namespace glowline
