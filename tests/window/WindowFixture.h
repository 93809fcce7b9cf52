#pragma once

#include "support/ScriptedDialogs.h"
#include "window/main/MainWindow.h"

#include <QObject>
#include <QString>
#include <QTest>

namespace glowline::test {

// A test case that gets a fresh main window answered by scripted dialogs
// before every test function, and deletes both after it. After a test that
// otherwise passed, cleanup fails it when a dialog was asked for with nothing
// queued, or when a queued answer, file name, colour or text was never asked
// for: a reply left over means the window skipped a question the test
// expected.
//
// A test class that needs more set-up declares its own init() and cleanup()
// slots and calls openWindow() / closeWindow() from them.
class WindowFixture : public QObject
{
    Q_OBJECT

public:
    enum class Show
    {
        Hidden,  // built but never shown
        Exposed, // shown and painted
        Active,  // shown, painted and holding the keyboard focus
    };

protected:
    explicit WindowFixture(Show show = Show::Active) : m_show(show) {}

    // Builds the dialogs and the window, lets prepareWindow() wire it, then
    // shows it as asked. Returns false (with the test failed) when the window
    // did not come up.
    bool openWindow()
    {
        m_dialogs = new ScriptedDialogs;
        m_window = new MainWindow(*m_dialogs);
        prepareWindow(*m_window);
        if (m_show == Show::Hidden)
            return true;
        m_window->show();
        if (m_show == Show::Exposed) {
            if (!QTest::qWaitForWindowExposed(m_window)) {
                QTest::qFail("the window was never exposed", __FILE__, __LINE__);
                return false;
            }
            return true;
        }
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window)) {
            QTest::qFail("the window never became active", __FILE__, __LINE__);
            return false;
        }
        return true;
    }

    // Deletes the window and the dialogs; fails a test that passed so far
    // when the dialogs were not answered exactly as scripted.
    void closeWindow()
    {
        const bool unexpected = m_dialogs != nullptr && m_dialogs->unexpected;
        const QString unused = m_dialogs != nullptr ? m_dialogs->unused() : QString();
        delete m_window;
        m_window = nullptr;
        delete m_dialogs;
        m_dialogs = nullptr;
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(!unexpected, "a dialog was asked for with no reply queued");
        QVERIFY2(unused.isEmpty(), qPrintable(QStringLiteral("left unused: ") + unused));
    }

    // Called between building the window and showing it, for tools and
    // stand-in dialogs that must be in place before the window appears.
    virtual void prepareWindow(MainWindow &) {}

    ScriptedDialogs *m_dialogs = nullptr;
    MainWindow *m_window = nullptr;

protected slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

private:
    Show m_show;
};

} // namespace glowline::test
