#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace glowline {

// How the device programmer reaches the board when it is a stock avrdude:
// the programmer type (-c) and the port (-P, none when empty), and how many
// words of the board's flash the sequence may fill. These are the only
// settings the editor keeps between runs.
struct ProgrammerSettings final
{
    // The ATmega8's 8 KB of flash; a bootloader at the top leaves fewer.
    static constexpr int kFlashWords = 4096;

    QString programmer;
    QString port;
    int words = kFlashWords;

    // Reads the settings, putting anything missing or out of range back to
    // its default.
    static ProgrammerSettings load(const QSettings &settings);
    void save(QSettings &settings) const;

    // The programmer ids in what "avrdude -c ?" prints, in its order.
    static QStringList programmerIds(const QString &listing);

    bool operator==(const ProgrammerSettings &) const = default;
};

} // namespace glowline
