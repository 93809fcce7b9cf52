#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "files/SequenceWriter.h"
#include "window/map/SequenceMap.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace glowline;

// The panels and menus around the line window: the sequence map, the flash
// budget in the status bar and the Generate menu, as the window wires them.
class PanelsWindowTest final : public test::WindowFixture
{
    Q_OBJECT

public:
    PanelsWindowTest() : WindowFixture(Show::Exposed) {}

private slots:
    void init()
    {
        if (!openWindow())
            return;
        test::loadTable(*m_window, test::patternTable(20), 5);
    }

    void theMapGoesToLinesAndSelectsThem()
    {
        auto *map = test::control<SequenceMap>(*m_window, QStringLiteral("sequenceMap"));
        emit map->rangeSelected(3, 8);
        QCOMPARE(m_window->document().anchorLine(), 3);
        QCOMPARE(m_window->document().currentLine(), 8);
        QCOMPARE(m_window->lineWindow().lineScrollBar()->value(), 8);
        emit map->lineClicked(12);
        QCOMPARE(m_window->document().currentLine(), 12);
        QCOMPARE(m_window->document().selectionCount(), 1);

        QAction *show = test::control<QAction>(*m_window, QStringLiteral("actSequenceMap"));
        show->trigger();
        QVERIFY(!map->isVisible());
        show->trigger();
        QVERIFY(map->isVisible());
    }

    void theFlashBudgetFollowsEveryChange()
    {
        auto *flash = test::control<QLabel>(*m_window, QStringLiteral("lblFlash"));
        const auto shows = [&] {
            return QStringLiteral("Flash: %1 of ")
                .arg(sequenceWordCount(m_window->document().table()));
        };
        QVERIFY2(flash->text().startsWith(shows()), qPrintable(flash->text()));
        test::control<QAction>(*m_window, QStringLiteral("actAddLine"))->trigger();
        QVERIFY2(flash->text().startsWith(shows()), qPrintable(flash->text()));
        m_window->editor().setCell(0, 1, 0x123);
        QVERIFY2(flash->text().startsWith(shows()), qPrintable(flash->text()));
    }

    void generatorsAreOneUndoStep_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("enter"); // how its dialog, if any, is answered
        QTest::newRow("rotate left") << "actRotateLeft" << true;
        QTest::newRow("mirror") << "actMirror" << true;
        QTest::newRow("blend") << "actBlend" << true;
        QTest::newRow("fade, Enter") << "actInsertFade" << true;
        QTest::newRow("fade, Esc") << "actInsertFade" << false;
        QTest::newRow("chase, Enter") << "actChase" << true;
        QTest::newRow("rainbow, Esc") << "actRainbow" << false;
        QTest::newRow("sparkle, Enter") << "actSparkle" << true;
    }
    void generatorsAreOneUndoStep()
    {
        QFETCH(QString, action);
        QFETCH(bool, enter);
        m_window->editor().setSelection(4, 9);
        const LineTable before = m_window->document().table();
        auto *map = test::control<SequenceMap>(*m_window, QStringLiteral("sequenceMap"));
        const QImage shownBefore = map->renderPicture(600, 11);
        // A dialog is answered once it is up; while it is, the map previews
        // its lines.
        bool previewed = false;
        QTimer::singleShot(0, this, [&, enter] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                previewed = map->renderPicture(600, 11) != shownBefore;
                QTest::keyClick(dialog, enter ? Qt::Key_Return : Qt::Key_Escape);
            }
        });
        test::control<QAction>(*m_window, action)->trigger();
        const bool changed = m_window->document().table() != before;
        QCOMPARE(changed, enter);
        if (action.endsWith(QLatin1String("Fade")) || action.endsWith(QLatin1String("Chase")) ||
            action.endsWith(QLatin1String("Rainbow")) || action.endsWith(QLatin1String("Sparkle")))
            QVERIFY(previewed);
        if (!enter) {
            QCOMPARE(map->renderPicture(600, 11), shownBefore);
            QCOMPARE(m_window->document().anchorLine(), 4);
            QCOMPARE(m_window->document().currentLine(), 9);
            return;
        }
        QCOMPARE(m_window->editor().stepCount(), std::size_t(1));
        test::control<QAction>(*m_window, QStringLiteral("actUndo"))->trigger();
        QCOMPARE(m_window->document().table(), before);
    }
};

QTEST_MAIN(PanelsWindowTest)
#include "PanelsWindowTest.moc"
