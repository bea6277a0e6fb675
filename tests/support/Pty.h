#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// A pseudo-terminal pair in raw mode: the code under test opens slaveName()
// through the serial component, the test reads and writes the master side.
class Pty
{
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    QString slaveName() const { return m_slave; }
    int masterFd() const { return m_master; }

    // Writes to the line (the tool receives it).
    bool write(const QByteArray& bytes);
    // Reads whatever the tool has written by now, processing Qt events for up to
    // timeoutMs while nothing is there; appends to received().
    QByteArray read(int timeoutMs = 100);
    // Waits (processing events) until received() contains needle; false on timeout.
    bool waitFor(const QByteArray& needle, int timeoutMs = 5000);
    // Everything read so far, and taking it (clears).
    QByteArray received() const { return m_received; }
    QByteArray take();
    // Reads for quietMs and returns what arrived (to show that nothing was sent).
    QByteArray drain(int quietMs = 150);

    // Hangs up: closes the master, as a vanished device.
    void closeMaster();

private:
    void readAvailable();
    void waitReadable(int timeoutMs);
    // Reads until done() holds; false when timeoutMs passed first.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);

    int m_master = -1;
    // The slave end is held open here too: without it the master reads EIO while
    // the tool has its port closed.
    int m_slaveFd = -1;
    QString m_slave;
    QByteArray m_received;
};
