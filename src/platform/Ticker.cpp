#include "Ticker.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {
std::chrono::milliseconds g_tickLength { 1000 };
}

Ticker::Ticker(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(g_tickLength);
    connect(m_timer, &QTimer::timeout, this, &Ticker::ticked);
}

Ticker::~Ticker()
{
    abortWaits();
}

void Ticker::setTickLength(std::chrono::milliseconds length)
{
    g_tickLength = length;
}

std::chrono::milliseconds Ticker::tickLength()
{
    return g_tickLength;
}

void Ticker::start()
{
    m_timer->start(g_tickLength);
}

void Ticker::stop()
{
    m_timer->stop();
}

bool Ticker::isActive() const
{
    return m_timer->isActive();
}

bool Ticker::waitUntil(const std::function<bool()>& done)
{
    // A wait on a stopped timer would never see a tick.
    if (!m_timer->isActive())
        start();

    QPointer<Ticker> self(this);
    const int generation = m_abortGeneration;
    QEventLoop loop;
    bool finished = false;
    // Checked after every tick, after the handlers connected before the wait have run.
    const auto connection = connect(this, &Ticker::ticked, &loop, [&] {
        if (!finished && done()) {
            finished = true;
            loop.quit();
        }
    });

    m_loops.append(&loop);
    ++m_waits;
    loop.exec();
    if (!self)
        return false; // the ticker went away with the window
    --m_waits;
    m_loops.removeOne(&loop);
    disconnect(connection);
    return finished && generation == m_abortGeneration;
}

void Ticker::abortWaits()
{
    ++m_abortGeneration;
    // Nested loops return innermost first once control gets back to them.
    for (QEventLoop* loop : std::as_const(m_loops))
        loop->quit();
}

int Ticker::activeWaits() const
{
    return m_waits;
}
