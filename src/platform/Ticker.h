#pragma once

#include <QList>
#include <QObject>

#include <chrono>
#include <functional>

class QEventLoop;
class QTimer;

// Timer1: a repeating tick (one second; tests shorten it) and the nested wait built
// on it. A wait runs an event loop that sleeps until the next event, so serial
// events, clicks and ticks go on while it waits.
class Ticker : public QObject
{
    Q_OBJECT

public:
    explicit Ticker(QObject* parent = nullptr);
    ~Ticker() override;

    // The length of one tick for every Ticker of the process (default 1000 ms).
    static void setTickLength(std::chrono::milliseconds length);
    static std::chrono::milliseconds tickLength();

    // (Re)starts the tick from now.
    void start();
    void stop();
    bool isActive() const;

    // Runs a nested event loop until done() holds (checked after every tick) or
    // abortWaits() is called. Returns false when it was aborted.
    bool waitUntil(const std::function<bool()>& done);
    // Ends every running wait, e.g. when the window closes.
    void abortWaits();
    int activeWaits() const;

signals:
    void ticked();

private:
    QTimer* m_timer;
    int m_waits = 0;
    int m_abortGeneration = 0;
    QList<QEventLoop*> m_loops; // innermost last
};
