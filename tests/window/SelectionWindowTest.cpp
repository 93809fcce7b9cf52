#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/ClickLabel.h"
#include "window/main/MainWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

using namespace glowline;
using test::control;

class SelectionWindowTest : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!openWindow())
            return;
        test::loadTable(*m_window, test::patternTable(20), 5);
    }

    // The selection keys from anywhere in the window, the status bar and the
    // highlighted line numbers; scrLine collapses the selection.
    void keysAndStatusBar()
    {
        const Document &document = m_window->document();
        auto *slider = control<QScrollBar>(*m_window, "scrR", 2);
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(slider, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(document.anchorLine(), 5);
        QCOMPARE(document.currentLine(), 7);
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Lines 5\u20137 selected (3)"));
        // Rows 1..3 show lines 5..7; row 0 shows line 4.
        const auto highlighted = [this](int row) {
            const QPalette &colours = control<QLabel>(*m_window, "lblLine", row)->palette();
            return colours.color(QPalette::Window) == colours.color(QPalette::Highlight);
        };
        QVERIFY(highlighted(1));
        QVERIFY(!highlighted(0));

        QTest::keyClick(slider, Qt::Key_PageUp, Qt::ShiftModifier);
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Lines 1\u20135 selected (5)"));

        QTest::mouseClick(control<QLabel>(*m_window, "lblLine", 5), Qt::LeftButton,
                          Qt::ShiftModifier);
        QCOMPARE(document.anchorLine(), 5);
        QCOMPARE(document.currentLine(), 3);

        QTest::keyClick(slider, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(document.anchorLine(), 1);
        QCOMPARE(document.currentLine(), 20);

        control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setValue(10);
        QCOMPARE(document.selectionCount(), 1);
        QVERIFY(m_window->statusBar()->currentMessage().isEmpty());
    }

    // In the duration box Ctrl+A acts on the text; Shift+Down commits the
    // typed text, then extends.
    void durationBoxKeys()
    {
        const Document &document = m_window->document();
        auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
        box->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), box->text());
        QCOMPARE(document.selectionCount(), 1);
        QTest::keyClicks(box, QStringLiteral("1.5"));
        QTest::keyClick(box, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(document.table().duration(5), 150);
        QCOMPARE(document.currentLine(), 6);
        QCOMPARE(document.anchorLine(), 5);
    }

    // The editing keys of the duration box act on its text and leave the
    // lines, the selection and the history alone, though the window has the
    // same keys for its own commands.
    void durationBoxKeepsItsKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");      // in the box after the key
        QTest::addColumn<QString>("clipboard"); // after the key
        QTest::addColumn<int>("cursor");
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << "1.25"
                                << "25" << 2;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << "1."
                                << "25" << 2;
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << "1.7"
                                << "7" << 3;
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << "1.25"
                                << "7" << 2;
        QTest::newRow("Ctrl+Left") << int(Qt::Key_Left) << "1.25"
                                   << "7" << 1;
        QTest::newRow("Ctrl+Right") << int(Qt::Key_Right) << "1.25"
                                    << "7" << 4;
    }
    void durationBoxKeepsItsKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, clipboard);
        QFETCH(int, cursor);
        MainWindow &window = *m_window;
        window.run(ActionManager::Command::ExtendDown);
        window.editor().clearHistory();
        const LineTable before = window.document().table();
        QGuiApplication::clipboard()->setText(QStringLiteral("7"));

        auto *box = control<QLineEdit>(window, "txtTime", 3);
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("1.25"));
        // "25" selected, from the end leftwards.
        QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
        if (key == Qt::Key_Z)
            QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClick(box, Qt::Key(key), Qt::ControlModifier);

        QCOMPARE(box->text(), text);
        QCOMPARE(box->cursorPosition(), cursor);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(window.document().table(), before);
        QCOMPARE(window.document().selectionFirst(), 5);
        QCOMPARE(window.document().selectionLast(), 6);
        QCOMPARE(window.editor().stepCount(), std::size_t(0));
    }

    // An LED click, Fill, a slider and a typed duration on three selected
    // lines each change all three in one undo step.
    void editsSpread_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("LED click") << QStringLiteral("led");
        QTest::newRow("Fill") << QStringLiteral("fill");
        QTest::newRow("slider") << QStringLiteral("slider");
        QTest::newRow("duration") << QStringLiteral("duration");
    }

    void editsSpread()
    {
        QFETCH(QString, edit);
        MainWindow &window = *m_window;
        const Document &document = window.document();
        window.editor().clearHistory();
        window.run(ActionManager::Command::ExtendDown);
        window.run(ActionManager::Command::ExtendDown);
        const LineTable before = document.table();

        if (edit == QLatin1String("led")) {
            QTest::mouseClick(control<ClickLabel>(window, "lblColor", 9), Qt::LeftButton);
            window.clickLed(4);
        } else if (edit == QLatin1String("fill")) {
            QTest::mouseClick(control<ClickLabel>(window, "lblColor", 9), Qt::LeftButton);
            window.run(ActionManager::Command::Fill);
        } else if (edit == QLatin1String("slider")) {
            auto *slider = control<QScrollBar>(window, "scrG", 4);
            slider->setValue((slider->value() + 3) % 16);
        } else {
            auto *box = control<QLineEdit>(window, "txtTime", 3);
            box->setFocus(Qt::MouseFocusReason);
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("2.5"));
            QTest::keyClick(box, Qt::Key_Tab);
        }

        QCOMPARE(window.editor().stepCount(), std::size_t(1));
        const LineTable after = document.table();
        const Cell first = after.cell(4, 5);
        for (int line = 5; line <= 7; ++line) {
            if (edit == QLatin1String("duration")) {
                QCOMPARE(after.duration(line), Cell(250));
            } else if (edit == QLatin1String("slider")) {
                // Only green changes; each line keeps its red and blue.
                QCOMPARE(after.cell(4, line) & 0xF0F, before.cell(4, line) & 0xF0F);
                QCOMPARE(after.cell(4, line) & 0x0F0, first & 0x0F0);
                QVERIFY(after.cell(4, line) != before.cell(4, line));
            } else {
                QCOMPARE(after.cell(4, line), first);
                QVERIFY(after.cell(4, line) != before.cell(4, line));
            }
        }
        QCOMPARE(after.line(8)[4], before.line(8)[4]);
        window.run(ActionManager::Command::Undo);
        QCOMPARE(document.table(), before);
    }

    // Copy puts the show text on the clipboard; Paste of a bad table says the
    // row and changes nothing; too many lines are refused with the numbers.
    void clipboardAndRefusals()
    {
        MainWindow &window = *m_window;
        const Document &document = window.document();
        window.run(ActionManager::Command::ExtendDown);
        window.run(ActionManager::Command::Copy);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count(QLatin1Char('\n')), 3);
        window.run(ActionManager::Command::Paste);
        QCOMPARE(document.lineCount(), 22);
        QCOMPARE(document.currentLine(), 7);
        QCOMPARE(document.anchorLine(), 8);

        QGuiApplication::clipboard()->setText(QStringLiteral("1\t0xG00\n"));
        const LineTable before = document.table();
        m_dialogs->answers.push_back(Dialogs::Answer::Ok);
        window.run(ActionManager::Command::Paste);
        QVERIFY(m_dialogs->lastMessage().contains(QStringLiteral("row 1: ")));
        QCOMPARE(document.table(), before);

        test::loadTable(window, LineTable(kMaxLines - 1), 1);
        window.run(ActionManager::Command::ExtendDown);
        m_dialogs->answers.push_back(Dialogs::Answer::Ok);
        window.run(ActionManager::Command::Duplicate);
        QVERIFY(m_dialogs->lastMessage().contains(QStringLiteral("32766 lines; adding 2")));
        QCOMPARE(document.lineCount(), kMaxLines - 1);
    }
};

QTEST_MAIN(SelectionWindowTest)
#include "SelectionWindowTest.moc"
