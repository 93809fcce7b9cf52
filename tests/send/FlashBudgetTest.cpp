#include "send/FlashBudget.h"

#include "model/LineTable.h"
#include "support/TestTables.h"

#include <QTest>

using namespace glowline;

class FlashBudgetTest : public QObject
{
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<int>("used");
        QTest::addColumn<int>("available");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("excess");

        QTest::newRow("empty") << 0 << 4096 << "Flash: 0 of 4096 words (0 %)" << 0;
        QTest::newRow("rounds down") << 20 << 4096 << "Flash: 20 of 4096 words (0 %)" << 0;
        QTest::newRow("rounds up") << 2029 << 4096 << "Flash: 2029 of 4096 words (50 %)" << 0;
        QTest::newRow("full") << 4096 << 4096 << "Flash: 4096 of 4096 words (100 %)" << 0;
        QTest::newRow("one over") << 4097 << 4096 << "Flash: 4097 of 4096 words (100 %)" << 1;
        QTest::newRow("three times over")
            << 12000 << 4096 << "Flash: 12000 of 4096 words (293 %)" << 7904;
        QTest::newRow("bootloader board")
            << 3585 << 3584 << "Flash: 3585 of 3584 words (100 %)" << 1;
    }

    void text()
    {
        QFETCH(int, used);
        QFETCH(int, available);
        QFETCH(QString, status);
        QFETCH(int, excess);
        const FlashBudget budget(used, available);
        QCOMPARE(budget.statusText(), status);
        QCOMPARE(budget.excess(), excess);
        QCOMPARE(budget.isOver(), excess > 0);
    }

    void refusal()
    {
        QCOMPARE(FlashBudget(12000, 4096).refusalText(),
                 QStringLiteral("The sequence needs 12000 words of flash; the board holds 4096. "
                                "Shorten it by 7904 words, then send again."));
    }

    // The words used are the words Save writes.
    void countsTheWritersWords()
    {
        const LineTable table = test::threeWordTable();
        QCOMPARE(FlashBudget::of(table, 4096).used(), 3);
        QCOMPARE(FlashBudget::of(table, 2).isOver(), true);
    }
};

QTEST_GUILESS_MAIN(FlashBudgetTest)
#include "FlashBudgetTest.moc"
