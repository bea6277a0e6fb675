#pragma once

#include <QObject>

#include <chrono>

class QTimer;

// Timer1: a repeating tick, one second long (tests shorten it).
class Ticker : public QObject
{
    Q_OBJECT

public:
    explicit Ticker(std::chrono::milliseconds length, QObject* parent = nullptr);

    // The length of one tick; a new length counts from the next start().
    void setTickLength(std::chrono::milliseconds length);
    std::chrono::milliseconds tickLength() const;

    // (Re)starts the tick from now.
    void start();
    void stop();
    bool isActive() const;

signals:
    void ticked();

private:
    QTimer* m_timer;
};
