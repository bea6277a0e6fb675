#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include <chrono>

class QEventLoop;
class QSerialPort;

// The one way out to the line. Bytes handed over leave once and in the order given;
// a send returns only when they have left (Qt's buffer and the driver's queue both
// empty), so the next line, a close or a reopen never overtakes or drops them.
//
// A far end that holds XOFF longer than the bound (the line time of what is queued
// plus the slack) is reported through held(), again after every further bound, and
// the wait goes on: only XON lets the bytes out, and only drop() (the operator gave
// up on them) or the port closing discards them.
class Transmitter : public QObject
{
    Q_OBJECT

public:
    explicit Transmitter(QSerialPort& port, QObject* parent = nullptr);

    // The slack every bound gets beyond the line time (default two seconds); tests
    // shorten it.
    static void setSlack(std::chrono::milliseconds slack);

    // Queues bytes behind whatever is queued and waits until all of it has left.
    // False when the port closed, failed or dropped them first.
    bool send(const QByteArray& bytes);
    // Waits until whatever is queued has left; true when nothing is left.
    bool drain();
    // For a close that cannot wait on the operator (the program ends): waits at most
    // one bound, without reporting, and without running the event loop.
    bool drainWithinBound();
    // Discards what is still queued: the operator chose to give it up.
    void drop();
    // Ends every running wait at once (the window is closing); what is queued stays.
    void abortWaits();

    // Bytes not yet on the line: Qt's buffer plus the driver's queue.
    qint64 pending() const;
    // Milliseconds the line needs for bytes at the port's settings.
    int lineTimeMs(qint64 bytes) const;

signals:
    // The bound passed with bytes still held back by the far end.
    void held();

private:
    qint64 driverQueue() const;
    bool waitUntilLeft();

    QSerialPort& m_port;
    int m_drops = 0; // drop() calls so far: a send that sees it change lost its bytes
    QList<QEventLoop*> m_loops; // running waits, innermost last
};
