#include "WindowTest.h"

#include "CommandQueue.h"
#include "ScriptedDialogs.h"
#include "form1.h"

#include <QTest>

void WindowTest::openWindow(bool show)
{
    m_environment.clearSettings();
    m_fixture = std::make_unique<MainWindowFixture>(m_timing);
    m_window = nullptr;
    if (!show)
        return;
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void WindowTest::closeWindow()
{
    if (m_fixture)
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

QWidget* WindowTest::control(const QString& name) const
{
    auto* found = m_fixture ? m_fixture->window().findChild<QWidget*>(name) : nullptr;
    if (!found)
        QTest::qFail(
            qPrintable(QStringLiteral("the main window has no control ") + name), __FILE__, __LINE__);
    return found;
}

void WindowTest::enableLinkControls() const
{
    for (const QString& name : linkControlSet())
        control(name)->setEnabled(true);
}

void WindowTest::settle(int timeoutMs) const
{
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture->window().commands().idle(), timeoutMs);
}

void WindowTest::click(const QString& name) const
{
    clickControl(control(name));
    settle();
}
