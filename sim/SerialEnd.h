#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The simulator's end of the serial line: either the master side of a new
// pseudo-terminal (the tool opens its slave) or a real serial device at 1200 8N1.
// Non-blocking, driven by socket notifiers; writes that the line cannot take yet
// wait in a bounded buffer.
class SerialEnd : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype maxPending = 64 * 1024;

    explicit SerialEnd(QObject* parent = nullptr);
    ~SerialEnd() override;

    // Creates a pseudo-terminal whose slave is raw at 1200 8N1. The slave is held
    // open here as well, so the tool may close and reopen it without the master
    // seeing a hang-up.
    bool openPty(QString* error);
    bool openDevice(const QString& path, QString* error);

    // The path the tool opens: the pty slave, or the device.
    QString path() const { return m_path; }

    void send(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    // The device went away (read error or end of file); nothing more will arrive.
    void lost(const QString& reason);

private:
    void readReady();
    void writeReady();
    void watch();

    int m_fd = -1;
    int m_heldSlave = -1;
    QString m_path;
    QByteArray m_pending;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};
