#include "send/HexPath.h"

#include <QTest>

using namespace glowline;

class HexPathTest : public QObject
{
    Q_OBJECT

private slots:
    void hexPath_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<QString>("hex");

        QTest::newRow("windows path") << "C:\\Seq\\run.asm"
                                      << "C:\\Seq\\run.hex";
        QTest::newRow("windows, dot in folder only") << "C:\\My.Data\\run"
                                                     << "C:\\My.Data\\run.hex";
        QTest::newRow("windows, upper case") << "D:\\Shows\\UP.ASM"
                                             << "D:\\Shows\\UP.hex";
        QTest::newRow("windows, spaces") << "C:\\Program Files\\a b.c\\x y.asm"
                                         << "C:\\Program Files\\a b.c\\x y.hex";
        QTest::newRow("dot in folder only") << "My.Data/run"
                                            << "My.Data/run.hex";
        QTest::newRow("other extension") << "seq.inc"
                                         << "seq.inc.hex";
        QTest::newRow("upper case") << "UP.ASM"
                                    << "UP.hex";
        QTest::newRow("mixed case") << "/home/u/x.aSm"
                                    << "/home/u/x.hex";
        QTest::newRow("unix path") << "/home/u/shows/run.asm"
                                   << "/home/u/shows/run.hex";
        QTest::newRow("only the last .asm") << "/a.asm/b.asm.asm"
                                            << "/a.asm/b.asm.hex";
        QTest::newRow("asm in folder") << "/a.asm/run"
                                       << "/a.asm/run.hex";
        QTest::newRow("asm not a suffix") << "/x/run.asmx"
                                          << "/x/run.asmx.hex";
        QTest::newRow("asm without dot") << "/x/wasm"
                                         << "/x/wasm.hex";
        QTest::newRow("hex already") << "/x/run.hex"
                                     << "/x/run.hex.hex";
        QTest::newRow("trailing dot") << "/x/run."
                                      << "/x/run..hex";
        QTest::newRow("name is .asm") << "/x/.asm"
                                      << "/x/.hex";
        QTest::newRow("non-ASCII")
            << QStringLiteral("/x/Lichter \u00FC.asm") << QStringLiteral("/x/Lichter \u00FC.hex");
    }

    void hexPath()
    {
        QFETCH(QString, sequence);
        QFETCH(QString, hex);
        QCOMPARE(hexPathFor(sequence), hex);
    }
};

QTEST_GUILESS_MAIN(HexPathTest)
#include "HexPathTest.moc"
