#include "Ticker.h"

#include <QTimer>

Ticker::Ticker(std::chrono::milliseconds length, QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(length);
    connect(m_timer, &QTimer::timeout, this, &Ticker::ticked);
}

void Ticker::setTickLength(std::chrono::milliseconds length)
{
    m_timer->setInterval(length);
}

std::chrono::milliseconds Ticker::tickLength() const
{
    return m_timer->intervalAsDuration();
}

void Ticker::start()
{
    m_timer->start();
}

void Ticker::stop()
{
    m_timer->stop();
}

bool Ticker::isActive() const
{
    return m_timer->isActive();
}
