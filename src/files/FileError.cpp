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

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendEscaped(QString &shown, unsigned char byte)
{
    shown += QLatin1String("\\x");
    shown += QLatin1Char(kHexDigits[byte >> 4]);
    shown += QLatin1Char(kHexDigits[byte & 0xF]);
}

} // namespace

QString printableText(QByteArrayView text, qsizetype maxChars)
{
    const qsizetype shownCount = std::min(text.size(), maxChars);
    QString shown;
    shown.reserve(shownCount + 3);
    for (qsizetype i = 0; i < shownCount; ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch >= 0x20 && ch < 0x7F) {
            shown += QLatin1Char(char(ch));
        } else {
            appendEscaped(shown, ch);
        }
    }
    if (text.size() > shownCount)
        shown += QLatin1String("...");
    return shown;
}

QString printableFileName(const QString &name)
{
    QString shown;
    shown.reserve(name.size());
    for (const QChar ch : name) {
        const char16_t code = ch.unicode();
        if (code < 0x20 || code == 0x7F) {
            appendEscaped(shown, static_cast<unsigned char>(code));
        } else if (code >= 0x80 && code <= 0x9F) {
            // A C1 control is two bytes in UTF-8: C2 80 to C2 9F.
            appendEscaped(shown, 0xC2);
            appendEscaped(shown, static_cast<unsigned char>(code));
        } else {
            shown += ch;
        }
    }
    return shown;
}

} // namespace glowline
