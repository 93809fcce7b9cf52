#include "window/controls/DurationText.h"

#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace glowline;

class DurationTextTest final : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void durationFromText_data();
    void durationFromText();
    void limitIsTheFloatOf4095();
    void formatDuration_data();
    void formatDuration();
    void everyDurationReadsBackInEveryLocale_data();
    void everyDurationReadsBackInEveryLocale();
};

void DurationTextTest::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("integer") << "12" << 12.0;
    QTest::newRow("decimal") << "1.5" << 1.5;
    QTest::newRow("comma is no point") << "1,5" << 1.0;
    QTest::newRow("stops at a letter") << "2.5 s" << 2.5;
    QTest::newRow("blanks inside are skipped") << "1 2" << 12.0;
    QTest::newRow("tabs and line feeds are skipped") << "\t1\n.\t5\n" << 1.5;
    QTest::newRow("carriage return ends it") << "1\r2" << 1.0;
    QTest::newRow("letters give zero") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus sign") << "+2" << 2.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("two signs") << "+-3" << 0.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "1.5e1" << 15.0;
    QTest::newRow("capital exponent with sign") << "25E-1" << 2.5;
    QTest::newRow("exponent with blanks") << "1 e 1" << 10.0;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "1e+" << 1.0;
    QTest::newRow("exponent alone") << "e5" << 0.0;
    QTest::newRow("overflow") << "1e400" << inf;
    QTest::newRow("overflow from many digits") << "0.0001e400" << inf;
    QTest::newRow("negative overflow") << "-1e400" << -inf;
    QTest::newRow("underflow") << "1e-400" << 0.0;
    QTest::newRow("huge exponent of zero") << "0e999999999999" << 0.0;
    QTest::newRow("non-ASCII digit ends it") << QString::fromUtf8("1\u0661") << 1.0;
}

void DurationTextTest::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(glowline::leadingNumber(text), expected);
}

void DurationTextTest::durationFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hundredths");

    QTest::newRow("comma") << "1,5" << 150;
    QTest::newRow("point") << "1.5" << 150;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("negative") << "-3" << 0;
    QTest::newRow("above the limit") << "50" << 4095;
    QTest::newRow("the limit") << "40.95" << 4095;
    QTest::newRow("just above the limit") << "40.951" << 4095;
    QTest::newRow("just below the limit") << "40.94" << 4094;
    QTest::newRow("unit after the number") << "2.5 s" << 250;
    QTest::newRow("blank between digits") << "1 2" << 1200;
    QTest::newRow("rounds down") << "1.234" << 123;
    QTest::newRow("rounds up") << "1.235" << 124;
    QTest::newRow("exact half to even below") << "0.125" << 12;
    QTest::newRow("exact half to even above") << "0.375" << 38;
    QTest::newRow("exact half 62.5 hundredths") << "0.625" << 62;
    // As floats, 0.005, 0.015 and 2.675 lie a little below the half, 0.025
    // and 0.045 a little above it.
    QTest::newRow("float below the half 0.005") << "0.005" << 0;
    QTest::newRow("float below the half 0.015") << "0.015" << 1;
    QTest::newRow("float below the half 2.675") << "2.675" << 267;
    QTest::newRow("float above the half 0.025") << "0.025" << 3;
    QTest::newRow("float above the half 0.045") << "0.045" << 5;
    QTest::newRow("several commas") << "1,2,3" << 120;
    QTest::newRow("exponent") << "1.5e-1" << 15;
    QTest::newRow("infinite") << "1e400" << 4095;
    QTest::newRow("negative infinite") << "-1e400" << 0;
    QTest::newRow("negative zero") << "-0" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("shown text") << "12.00" << 1200;
}

void DurationTextTest::durationFromText()
{
    QFETCH(QString, text);
    QFETCH(int, hundredths);
    QCOMPARE(glowline::durationFromText(text), hundredths);
}

void DurationTextTest::limitIsTheFloatOf4095()
{
    const float limit = kMaxDurationSeconds;
    quint32 bits = 0;
    std::memcpy(&bits, &limit, sizeof bits);
    QCOMPARE(bits, quint32(0x4223CCCD));
}

void DurationTextTest::formatDuration_data()
{
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("0") << 0 << english << "0.00";
    QTest::newRow("5") << 5 << english << "0.05";
    QTest::newRow("150") << 150 << english << "1.50";
    QTest::newRow("1200") << 1200 << english << "12.00";
    QTest::newRow("4095") << 4095 << english << "40.95";
    QTest::newRow("no group separator") << 123456 << english << "1234.56";
    QTest::newRow("negative") << -5 << english << "-0.05";
    QTest::newRow("comma 0") << 0 << german << "0,00";
    QTest::newRow("comma 150") << 150 << german << "1,50";
    QTest::newRow("comma 4095") << 4095 << german << "40,95";
    QTest::newRow("comma no group separator") << 123456 << german << "1234,56";
}

void DurationTextTest::formatDuration()
{
    QFETCH(int, hundredths);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(glowline::formatDuration(hundredths, locale), expected);
}

void DurationTextTest::everyDurationReadsBackInEveryLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QChar>("separator");

    QTest::newRow("C") << "C" << QChar(u'.');
    QTest::newRow("de_DE") << "de_DE" << QChar(u',');
    // Both write the Arabic decimal separator and Arabic-Indic digits, which
    // the entry does not read.
    QTest::newRow("ar_EG") << "ar_EG" << QChar(u'.');
    QTest::newRow("fa_IR") << "fa_IR" << QChar(u'.');
}

// The box shows the default locale's form, and tabbing through the box reads
// the shown text back: that must give the same duration.
void DurationTextTest::everyDurationReadsBackInEveryLocale()
{
    QFETCH(QString, locale);
    QFETCH(QChar, separator);

    const QLocale saved;
    QLocale::setDefault(QLocale(locale));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(saved); });
    const QRegularExpression shape(QStringLiteral("^[0-9]+\\%1[0-9][0-9]$").arg(separator));
    for (int hundredths = 0; hundredths <= kMaxDuration; ++hundredths) {
        const QString shown = glowline::formatDuration(hundredths);
        if (!shape.match(shown).hasMatch() || glowline::durationFromText(shown) != hundredths)
            QFAIL(qPrintable(QStringLiteral("%1 is shown as \"%2\"").arg(hundredths).arg(shown)));
    }
}

QTEST_APPLESS_MAIN(DurationTextTest)
#include "DurationTextTest.moc"
