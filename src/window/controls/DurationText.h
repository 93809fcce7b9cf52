#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

namespace glowline {

// Durations are stored in hundredths of a second, 0..4095 (0.00 to 40.95 s).
inline constexpr int kMaxDuration = 4095;
// 40.95 as a 32-bit float (0x4223CCCD); typed values above it are cut to it.
inline constexpr float kMaxDurationSeconds = 40.95f;

// The leading number of a typed text, as the editor has always read it:
// blanks, tabs and line feeds anywhere are skipped, then an optional sign,
// digits, an optional point with digits and an optional exponent are taken up
// to the first character that cannot continue the number. A text that does
// not start with a number is 0. Only "." is a decimal point here.
double leadingNumber(QStringView text);

// The duration a typed text stands for: commas read as points (the box shows
// the user's own decimal separator), the leading number taken as a 32-bit
// float, cut to 0..40.95, then in hundredths rounded half to even.
int durationFromText(QStringView text);

// Hundredths shown as seconds with at least one digit before and exactly two
// after the decimal separator, and no group separator ("1.50"). The digits are
// always ASCII, and the separator is the locale's own only when it is a point
// or a comma, which the entry reads back; any other (the Arabic decimal
// separator, say) becomes a point, so that a shown duration always reads back
// as the same duration.
QString formatDuration(int hundredths, const QLocale &locale = QLocale());

} // namespace glowline
