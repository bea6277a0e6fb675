#pragma once

#include <QObject>

// Turns SIGTERM and SIGINT into a Qt signal through a self-pipe, so the simulator
// can save its state and remove its link before it exits.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject* parent = nullptr);
    bool isWatching() const { return m_watching; }

signals:
    void terminate();

private:
    bool m_watching = false;
};
