#pragma once

#include "SerialPort.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <chrono>
#include <deque>
#include <memory>

class CommandQueue;
class QTimer;
class SettingsStore;
class Wakeup;

// The one owner of the line for the window's whole life: the serial port, the
// controller's hold and the queue of the operator's commands. Lines go out whole,
// once, in order, in small pieces at the line's pace, and never while the
// controller holds the line with XOFF; the hold lasts until its XON, across every
// close and reopen of the port.
class LinkSession : public QObject
{
    Q_OBJECT

public:
    // A piece written at a time: at most two of them can leave after an XOFF arrives.
    static constexpr int PieceBytes = 8;

    explicit LinkSession(const SettingsStore& settings, QObject* parent = nullptr);
    ~LinkSession() override;

    CommandQueue& commands();

    // The port (number, settings, device).
    void setCommPort(int number);
    int commPort() const;
    bool setSettings(const QString& settings);
    QString settings() const;
    QString deviceName(int number) const;
    QString deviceInUse() const;
    int openCount() const;
    bool portOpen() const;
    SerialPort::OpenResult open();

    // Waits until what is queued has left, then closes and opens the same device
    // again: the renewal the direct line wants before every line. Fails, without
    // opening, when the port was closed or lost meanwhile.
    QCoro::Task<SerialPort::OpenResult> reopen();
    // Waits until what is queued has left, then closes.
    QCoro::Task<> close();
    // The operator gave up: what is still queued goes, the port closes at once.
    void abandon();
    // Drops what has not left yet (Disconnect, the window closing). Returns true
    // when something was dropped.
    bool dropOutput();
    void discardInput();

    // Queues bytes behind what is queued; true once all of them have left, false
    // when they were dropped or the port closed first.
    QCoro::Task<bool> send(QByteArray bytes);
    // True once everything queued has left.
    QCoro::Task<bool> drain();

    // Marks a step of the link for whoever watches the line.
    void note(const QString& what);

    bool held() const;
    // How long the present hold has lasted, in milliseconds; 0 when not held.
    qint64 heldForMs() const;
    // The slack a held line gets beyond its line time before the operator is told
    // (two seconds; tests shorten it).
    void setHoldSlack(std::chrono::milliseconds slack);

signals:
    // What the controller sent, without its XON and XOFF.
    void received(const QByteArray& bytes);
    void lineError(SerialPort::LineError error);
    // A hold outlasted its bound with a line waiting: once per hold.
    void holdOutlasted();
    void heldChanged(bool held);
    // Every byte as it came from the device, XON and XOFF included (for watching
    // the line; the receive path takes received()).
    void arrived(const QByteArray& bytes);
    // Bytes that went to the device.
    void written(const QByteArray& bytes);
    // The direct line's port was closed and opened again.
    void renewed();
    // A step of the link worth marking for whoever watches the line ("Connect").
    void noted(const QString& what);
    void deviceLost(const QString& reason);
    void openChanged(bool open);

private:
    void onReceived(const QByteArray& bytes);
    void onDeviceLost(const QString& reason);
    void pump();
    void pieceSent();
    void wakeWaiters();
    void watchHold();
    void holdBoundPassed();
    qint64 queuedBytes() const;

    // One line handed to send(): waiting, left whole, or dropped (part of it, or
    // all, never reached the line).
    struct LineState
    {
        enum Status { Waiting, Left, Dropped } status = Waiting;
        Wakeup* waiter = nullptr;
    };
    struct QueuedLine
    {
        std::shared_ptr<LineState> state;
        QByteArray rest; // not written yet
    };
    static void settle(LineState& line, LineState::Status status);

    SerialPort* m_port;
    CommandQueue* m_commands;
    QTimer* m_pace; // runs while a piece is on its way
    QTimer* m_bound; // runs while a held line waits
    std::deque<QueuedLine> m_lines; // not written whole yet
    std::vector<std::shared_ptr<LineState>> m_endsInFlight; // written whole, last piece on its way
    qint64 m_inFlight = 0; // written, its line time not over yet
    bool m_held = false;
    bool m_reported = false; // this hold was reported already
    QElapsedTimer m_heldSince;
    std::chrono::milliseconds m_slack { 2000 };
    QList<Wakeup*> m_waiters; // drain() and reopen() waiting for the line to empty
};
