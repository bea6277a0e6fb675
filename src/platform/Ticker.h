#pragma once

#include <QObject>

#include <chrono>

class QTimer;

// Timer1: a repeating tick, one second long (tests shorten it).
class Ticker : public QObject
{
    Q_OBJECT

public:
    explicit Ticker(QObject* parent = nullptr);

    // The length of one tick for every Ticker of the process (default 1000 ms).
    static void setTickLength(std::chrono::milliseconds length);
    static std::chrono::milliseconds tickLength();

    // (Re)starts the tick from now.
    void start();
    void stop();
    bool isActive() const;

signals:
    void ticked();

private:
    QTimer* m_timer;
};
