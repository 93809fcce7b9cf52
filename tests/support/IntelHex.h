#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <map>
#include <optional>

namespace glowline::test {

// The program words of an Intel HEX image from address 0 on, each word stored
// low byte first as the AVR assemblers write them; nullopt, with the reason
// in *why when given, on a malformed record, a bad checksum, a record after
// the end, no end record, or addresses that do not fill whole words from 0.
inline std::optional<QList<quint16>> hexWords(const QByteArray &hex, QString *why = nullptr)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    std::map<quint32, quint8> bytes;
    quint32 base = 0;
    bool ended = false;
    for (QByteArray record : hex.split('\n')) {
        record = record.trimmed();
        if (record.isEmpty())
            continue;
        const QString text = QString::fromLatin1(record);
        if (ended || !record.startsWith(':') || record.size() < 11 || record.size() % 2 == 0)
            return fail(QStringLiteral("bad record %1").arg(text));
        const QByteArray raw = QByteArray::fromHex(record.mid(1));
        if (raw.size() * 2 != record.size() - 1 || raw.size() != 5 + quint8(raw[0]))
            return fail(QStringLiteral("bad length in %1").arg(text));
        quint8 sum = 0;
        for (char b : raw)
            sum = quint8(sum + quint8(b));
        if (sum != 0)
            return fail(QStringLiteral("bad checksum in %1").arg(text));
        const int count = quint8(raw[0]);
        const quint32 address = quint32(quint8(raw[1])) << 8 | quint8(raw[2]);
        const quint32 value = count == 2 ? (quint32(quint8(raw[4])) << 8 | quint8(raw[5])) : 0;
        switch (quint8(raw[3])) {
        case 0x00:
            for (int i = 0; i < count; ++i)
                bytes[base + address + quint32(i)] = quint8(raw[4 + i]);
            break;
        case 0x01:
            ended = true;
            break;
        case 0x02:
            base = value << 4;
            break;
        case 0x04:
            base = value << 16;
            break;
        case 0x03:
        case 0x05:
            break; // start addresses: no data
        default:
            return fail(QStringLiteral("unknown record type in %1").arg(text));
        }
    }
    if (!ended)
        return fail(QStringLiteral("no end-of-file record"));
    if (bytes.size() % 2 != 0 || (!bytes.empty() && bytes.rbegin()->first != bytes.size() - 1))
        return fail(QStringLiteral("the image does not fill addresses 0 to %1 in whole words")
                        .arg(bytes.size() - 1));
    QList<quint16> words;
    for (quint32 a = 0; a < bytes.size(); a += 2)
        words.append(quint16(bytes[a] | bytes[a + 1] << 8));
    return words;
}

} // namespace glowline::test
