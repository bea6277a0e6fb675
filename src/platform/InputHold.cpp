#include "InputHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

class Holder : public QObject
{
public:
    Holder()
    {
        for (QWindow* window : QGuiApplication::topLevelWindows())
            m_windows.append(window);
        QCoreApplication::instance()->installEventFilter(this);
    }

    ~Holder() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        // Posted, so they arrive once the handler that held them has returned.
        for (auto& [receiver, event] : m_held) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isUserInput(event->type()))
            return false;
        // Input reaches a window, or (sent straight, as tests do) one of its widgets.
        QWindow* window = nullptr;
        if (watched->isWindowType())
            window = static_cast<QWindow*>(watched);
        else if (watched->isWidgetType())
            window = static_cast<QWidget*>(watched)->window()->windowHandle();
        if (!window || !m_windows.contains(window))
            return false;
        m_held.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
        return true;
    }

private:
    QList<QPointer<QWindow>> m_windows;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

int g_depth = 0;
Holder* g_holder = nullptr;

} // namespace

InputHold::InputHold()
{
    if (g_depth++ == 0 && QCoreApplication::instance())
        g_holder = new Holder;
}

InputHold::~InputHold()
{
    if (g_depth == 1) {
        // Input still queued by the window system joins the held input first, so
        // that everything is handed on in the order it was given.
        takeQueuedInput();
    }
    if (--g_depth == 0) {
        delete g_holder;
        g_holder = nullptr;
    }
}

bool InputHold::active()
{
    return g_holder != nullptr;
}

void InputHold::takeQueuedInput()
{
    if (active())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
