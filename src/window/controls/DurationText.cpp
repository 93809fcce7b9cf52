#include "window/controls/DurationText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace glowline {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exponents beyond this are far outside a double either way.
constexpr long kExponentLimit = 100000;

} // namespace

double leadingNumber(QStringView text)
{
    std::string s;
    s.reserve(std::size_t(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        // Anything outside ASCII ends the number like any other letter.
        s.push_back(u < 0x80 ? char(u) : '\x7f');
    }

    const std::size_t n = s.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string intDigits;
    while (i < n && isDigit(s[i]))
        intDigits.push_back(s[i++]);
    std::string fracDigits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && isDigit(s[i]))
            fracDigits.push_back(s[i++]);
    }
    if (intDigits.empty() && fracDigits.empty())
        return 0.0;

    long exponent = 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < n && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            ++j;
        }
        // Without a digit after it the "e" is no exponent and ends the number.
        if (j < n && isDigit(s[j])) {
            while (j < n && isDigit(s[j])) {
                if (exponent < kExponentLimit)
                    exponent = exponent * 10 + (s[j] - '0');
                ++j;
            }
            if (negativeExponent)
                exponent = -exponent;
        }
    }

    std::string clean = intDigits.empty() ? std::string("0") : intDigits;
    if (!fracDigits.empty())
        clean += '.' + fracDigits;
    clean += 'e' + std::to_string(exponent);

    double value = 0.0;
    const auto [end, error] = std::from_chars(clean.data(), clean.data() + clean.size(), value,
                                              std::chars_format::scientific);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Overflow when the number's decimal order is positive, underflow
        // otherwise; a significant digit count decides which.
        const auto firstSignificant = intDigits.find_first_not_of('0');
        const long intOrder =
            firstSignificant == std::string::npos ? 0 : long(intDigits.size() - firstSignificant);
        value = intOrder + exponent > 0 ? HUGE_VAL : 0.0;
    } else if (error != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

int durationFromText(QStringView text)
{
    QString typed = text.toString();
    typed.replace(QLatin1Char(','), QLatin1Char('.'));
    const double number = leadingNumber(typed);

    // The number is held as a 32-bit float before it is cut to range. Values
    // at or above 41 end at the limit either way; testing them first keeps the
    // conversion to float inside the float range.
    float seconds = 0.0f;
    if (!(number < 41.0))
        seconds = kMaxDurationSeconds;
    else if (number > 0.0)
        seconds = float(number);
    if (seconds < 0.0f)
        seconds = 0.0f;
    if (seconds > kMaxDurationSeconds)
        seconds = kMaxDurationSeconds;

    // A float times 100 is exact in a double; only this last rounding applies,
    // half to even (0.125 s is 12, 0.375 s is 38).
    const double hundredths = double(seconds) * 100.0;
    const double floor = std::floor(hundredths);
    const double fraction = hundredths - floor;
    int result = int(floor);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

QString formatDuration(int hundredths, const QLocale &locale)
{
    const int magnitude = std::abs(hundredths);
    QString text;
    if (hundredths < 0)
        text += QLatin1Char('-');
    text += QString::number(magnitude / 100);
    text += locale.decimalPoint() == QStringLiteral(",") ? QLatin1Char(',') : QLatin1Char('.');
    text += QString::number(magnitude % 100).rightJustified(2, QLatin1Char('0'));
    return text;
}

} // namespace glowline
