#include "CommandQueue.h"

#include "Wakeup.h"

#include <QTimer>

#include <utility>

CommandQueue::CommandQueue(QObject* parent)
    : QObject(parent)
{
}

// A window closes only once its commands have ended. One destroyed otherwise
// leaves them asleep: their wake-ups go with this queue and the session.
CommandQueue::~CommandQueue() = default;

void CommandQueue::enqueue(Command command, Kind kind)
{
    m_queue.push_back({ std::move(command), kind });
    startNext();
}

bool CommandQueue::idle() const
{
    return m_running == 0 && m_queue.empty();
}

void CommandQueue::startNext()
{
    if (m_queue.empty() || m_stopping)
        return;
    // A second command runs only inside the first one's pause, and only before its end.
    const bool inPause = m_running == 1 && m_pausing && !m_innerDone && !m_pauseEnd.hasExpired()
        && m_queue.front().kind == Kind::Short;
    if (m_running > 0 && !inPause)
        return;
    Command command = std::move(m_queue.front().command);
    m_queue.pop_front();
    ++m_running;
    // Detached: the coroutine frees itself when it ends.
    run(std::move(command));
}

QCoro::Task<> CommandQueue::run(Command command)
{
    co_await command();
    finished();
}

void CommandQueue::finished()
{
    --m_running;
    if (m_running == 1 && m_innerDone) {
        // The inner command ended inside the outer one's pause.
        std::exchange(m_innerDone, nullptr)->fire();
        return;
    }
    if (m_running == 0)
        m_stopping = false;
    startNext();
    if (m_running == 0 && m_queue.empty())
        emit becameIdle();
}

QCoro::Task<bool> CommandQueue::sleep(std::chrono::milliseconds length)
{
    return sleepUntil(QDeadlineTimer(length, Qt::PreciseTimer));
}

QCoro::Task<bool> CommandQueue::sleepUntil(QDeadlineTimer deadline)
{
    if (m_stopping)
        co_return false;
    Wakeup wake(this);
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &timer, [&wake] { wake.fire(); });
    timer.start(std::max<qint64>(0, deadline.remainingTime()));
    m_sleepers.append(&wake);
    co_await wake.fired();
    m_sleepers.removeOne(&wake);
    co_return !m_stopping;
}

QCoro::Task<bool> CommandQueue::pauseUntil(QDeadlineTimer deadline)
{
    if (m_pausing || m_running > 1) {
        const bool slept = co_await sleepUntil(deadline);
        co_return slept;
    }
    m_pausing = true;
    m_pauseEnd = deadline;
    startNext();
    bool going = true;
    for (;;) {
        if (m_running > 1) {
            // Whatever started in the pause ends first, even past the deadline.
            Wakeup innerDone(this);
            m_innerDone = &innerDone;
            co_await innerDone.fired();
            startNext();
            continue;
        }
        if (m_stopping || deadline.hasExpired())
            break;
        going = co_await sleepUntil(deadline);
        if (m_running == 1)
            break;
    }
    m_pausing = false;
    co_return going && !m_stopping;
}

int CommandQueue::stop()
{
    const int dropped = int(m_queue.size());
    m_queue.clear();
    if (m_running == 0)
        return dropped;
    m_stopping = true;
    for (Wakeup* sleeper : std::exchange(m_sleepers, {}))
        sleeper->fire();
    return dropped;
}

bool CommandQueue::stopping() const
{
    return m_stopping;
}
