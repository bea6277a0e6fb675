#include "Ticker.h"

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
