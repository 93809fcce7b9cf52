#include "model/DocumentState.h"

#include <QSignalSpy>
#include <QTest>

using namespace glowline;

class DocumentStateTest final : public QObject
{
    Q_OBJECT

private slots:
    void startsClean()
    {
        const DocumentState state;
        QCOMPARE(state.changedMarker(), QString());
        QVERIFY(!state.hasUnsavedChanges());
        QCOMPARE(state.fileName(), QString());
        QVERIFY(!state.hasFileName());
        QVERIFY(!state.isRefreshing());
    }

    void markChangedSetsTheMarker()
    {
        DocumentState state;
        QSignalSpy spy(&state, &DocumentState::changedMarkerChanged);
        state.markChanged();
        QCOMPARE(state.changedMarker(), QStringLiteral("*"));
        QVERIFY(state.hasUnsavedChanges());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("*"));
        state.markChanged();
        QCOMPARE(spy.count(), 1);

        state.clearChangedMarker();
        QCOMPARE(state.changedMarker(), QString());
        QVERIFY(!state.hasUnsavedChanges());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString());
    }

    void markChangedWhileRefreshingLeavesTheMarker_data()
    {
        QTest::addColumn<bool>("changedBefore");
        QTest::newRow("clear stays clear") << false;
        QTest::newRow("set stays set") << true;
    }
    void markChangedWhileRefreshingLeavesTheMarker()
    {
        QFETCH(bool, changedBefore);
        DocumentState state;
        if (changedBefore)
            state.markChanged();
        QSignalSpy spy(&state, &DocumentState::changedMarkerChanged);
        {
            RefreshingScope refreshing(state);
            QVERIFY(state.isRefreshing());
            state.markChanged();
            QCOMPARE(state.hasUnsavedChanges(), changedBefore);
        }
        QVERIFY(!state.isRefreshing());
        QCOMPARE(spy.count(), 0);
        state.markChanged();
        QVERIFY(state.hasUnsavedChanges());
    }

    void refreshingScopesNest()
    {
        DocumentState state;
        {
            RefreshingScope outer(state);
            {
                RefreshingScope inner(state);
            }
            QVERIFY(state.isRefreshing());
        }
        QVERIFY(!state.isRefreshing());
    }

    void fileName()
    {
        DocumentState state;
        QSignalSpy spy(&state, &DocumentState::fileNameChanged);
        state.setFileName(QStringLiteral("/tmp/a.asm"));
        QVERIFY(state.hasFileName());
        QCOMPARE(state.fileName(), QStringLiteral("/tmp/a.asm"));
        state.setFileName(QStringLiteral("/tmp/a.asm"));
        QCOMPARE(spy.count(), 1);
        state.setFileName(QString());
        QVERIFY(!state.hasFileName());
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_GUILESS_MAIN(DocumentStateTest)
#include "DocumentStateTest.moc"
