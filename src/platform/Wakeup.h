#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <coroutine>
#include <utility>

// A one-shot event a command coroutine awaits. fire() resumes the waiting coroutine
// from the event loop, never inside the caller's stack: a signal handler that fires
// it (a timer, the serial port's read) is over before the command goes on, so the
// command may open, close or write the port, or show a dialog, without re-entering it.
// The resumption goes through the context object (the link session or the command
// queue): a window destroyed meanwhile takes it along, and nothing resumes into it.
class Wakeup
{
public:
    explicit Wakeup(QObject* context)
        : m_context(context)
    {
    }
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    // co_await wakeup.fired(): a small awaiter that refers to this event.
    struct Awaiter
    {
        Wakeup* event;
        bool await_ready() const noexcept { return event->m_fired; }
        void await_suspend(std::coroutine_handle<> waiting) noexcept { event->m_waiting = waiting; }
        void await_resume() const noexcept { }
    };
    Awaiter fired() { return { this }; }

    void fire()
    {
        m_fired = true;
        auto waiting = std::exchange(m_waiting, {});
        if (waiting && m_context)
            QMetaObject::invokeMethod(
                m_context, [waiting] { waiting.resume(); }, Qt::QueuedConnection);
    }

private:
    QPointer<QObject> m_context;
    bool m_fired = false;
    std::coroutine_handle<> m_waiting;
};
