#include "model/Colour.h"

#include <QTest>

using namespace glowline;

class ColourTest final : public QObject
{
    Q_OBJECT

private slots:
    void expand_data()
    {
        QTest::addColumn<int>("packed");
        QTest::addColumn<uint>("expected"); // 0xBBGGRR

        QTest::newRow("black") << 0x000 << 0x000000u;
        QTest::newRow("white shows as 240") << 0xFFF << 0xF0F0F0u;
        QTest::newRow("0x321") << 0x321 << 0x102030u;
        // Red lives in the low byte of the 24-bit colour.
        QTest::newRow("red") << 0xF00 << 0x0000F0u;
        QTest::newRow("green") << 0x0F0 << 0x00F000u;
        QTest::newRow("blue") << 0x00F << 0xF00000u;
        QTest::newRow("no-value mark shows black") << 4096 << 0x000000u;
        QTest::newRow("bits above 11 ignored") << 0xF123 << 0x302010u;
    }
    void expand()
    {
        QFETCH(int, packed);
        QFETCH(uint, expected);
        QCOMPARE(glowline::expand(packed), Rgb24(expected));
    }

    void quantize_data()
    {
        QTest::addColumn<uint>("colour"); // 0xBBGGRR
        QTest::addColumn<int>("expected");

        QTest::newRow("(255,255,255)") << 0xFFFFFFu << 0xFFF;
        QTest::newRow("(15,15,15)") << 0x0F0F0Fu << 0x000;
        QTest::newRow("(48,32,16)") << 0x102030u << 0x321;
        QTest::newRow("(255,128,143)") << 0x8F80FFu << 0xF88;
        QTest::newRow("(240,0,0)") << 0x0000F0u << 0xF00;
        QTest::newRow("(239,0,0)") << 0x0000EFu << 0xE00;
        QTest::newRow("(0,0,255)") << 0xFF0000u << 0x00F;
        QTest::newRow("(16,16,16)") << 0x101010u << 0x111;
        QTest::newRow("top byte ignored") << 0xAB0000FFu << 0xF00;
    }
    void quantize()
    {
        QFETCH(uint, colour);
        QFETCH(int, expected);
        QCOMPARE(glowline::quantize(Rgb24(colour)), expected);
    }

    void everyPackedColourSurvivesExpandThenQuantize()
    {
        for (int p = 0; p <= 0xFFF; ++p) {
            const Rgb24 c = glowline::expand(p);
            // Each channel is a multiple of 16 from 0 to 240 and nothing lies above bit 23.
            QVERIFY2((c & ~Rgb24(0xF0F0F0)) == 0, qPrintable(QString::number(p, 16)));
            QCOMPARE(glowline::quantize(c), p);
        }
    }

    void quantizeThenExpandClearsTheLowBits()
    {
        for (uint r = 0; r < 256; r += 5) {
            for (uint g = 0; g < 256; g += 7) {
                for (uint b = 0; b < 256; b += 11) {
                    const Rgb24 c = r | g << 8 | b << 16;
                    QCOMPARE(glowline::expand(glowline::quantize(c)), c & 0xF0F0F0u);
                }
            }
        }
    }

    void channelHelpers()
    {
        QCOMPARE(rgb24(0x12, 0x34, 0x56), Rgb24(0x563412));
        QCOMPARE(redOf(0x563412), 0x12);
        QCOMPARE(greenOf(0x563412), 0x34);
        QCOMPARE(blueOf(0x563412), 0x56);
        QCOMPARE(packChannels(255, 128, 143), 0xF88);
        QCOMPARE(redNibble(0xA5C), 0xA);
        QCOMPARE(greenNibble(0xA5C), 0x5);
        QCOMPARE(blueNibble(0xA5C), 0xC);
    }
};

QTEST_GUILESS_MAIN(ColourTest)
#include "ColourTest.moc"
