#pragma once

#include <QCoro/QCoroTask>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>

#include <chrono>
#include <deque>
#include <functional>

class Wakeup;

// The operator's line commands, run one at a time, whole, in the order given. A
// command is a coroutine; its waits are awaited here, so the window stays live and
// nothing is held back or replayed. Only the long commands' pauses (Connect's waits,
// the database send's pause before each record) let queued commands in: each runs
// whole there, and the long command goes on after it.
//
// GCC 12 miscompiles a co_await inside a condition (if, while, &&): a command
// awaits into a local and tests that.
class CommandQueue : public QObject
{
    Q_OBJECT

public:
    using Command = std::function<QCoro::Task<>()>;
    // A long command (Connect, the database send) has pauses of its own and never
    // runs inside another's pause.
    enum class Kind { Short, Long };

    explicit CommandQueue(QObject* parent = nullptr);
    ~CommandQueue() override;

    // Runs the command now when nothing runs (up to its first wait), else after
    // what is queued before it.
    void enqueue(Command command, Kind kind = Kind::Short);
    bool idle() const;

    // A plain wait; false when the queue is being stopped.
    QCoro::Task<bool> sleep(std::chrono::milliseconds length);
    // The running command's pause: queued commands run meanwhile, each whole, and the
    // pause lasts at least until deadline and until the last of them has ended. A
    // command that runs inside another's pause waits plainly. False when stopped.
    QCoro::Task<bool> pauseUntil(QDeadlineTimer deadline);

    // Drops the queued commands and ends the running ones at their next wait (they
    // see stopping()). Returns how many queued commands were dropped. Commands
    // enqueued from now on run once the stopped ones have ended.
    int stop();
    bool stopping() const;

signals:
    // Nothing runs or waits any more.
    void becameIdle();

private:
    void startNext();
    QCoro::Task<> run(Command command);
    void finished();
    QCoro::Task<bool> sleepUntil(QDeadlineTimer deadline);

    struct Queued
    {
        Command command;
        Kind kind;
    };
    std::deque<Queued> m_queue;
    int m_running = 0; // 0, 1, or 2 while one runs inside another's pause
    bool m_pausing = false; // the outer command is in a pause
    QDeadlineTimer m_pauseEnd;
    Wakeup* m_innerDone = nullptr; // the pause waits for the inner command
    bool m_stopping = false;
    QList<Wakeup*> m_sleepers;
};
