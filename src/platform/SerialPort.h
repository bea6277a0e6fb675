#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QSerialPort;
class SettingsStore;

// The serial device: one port numbered 1 to 4 (mapped to a device by PortMap),
// opened with a settings string such as "1200,N,8,1". A thin adapter: writes go to
// the device at once and reads come out as received(). The controller's XON/XOFF
// reach the application as bytes: the link session keeps the hold, so that it lasts
// across a close and reopen. Only the tool's own input flow control (IXOFF) is left
// to the driver.
class SerialPort : public QObject
{
    Q_OBJECT

public:
    enum class LineError { Overrun, ReceiveOverflow, Framing, Parity, Break };
    enum class OpenFailure { None, AlreadyOpen, Failed, NoSuchPort };

    struct OpenResult
    {
        OpenFailure failure = OpenFailure::None;
        QString reason; // the system's reason in plain words, empty when none
        bool ok() const { return failure == OpenFailure::None; }
    };

    explicit SerialPort(const SettingsStore& settings, QObject* parent = nullptr);
    ~SerialPort() override;

    void setCommPort(int number);
    int commPort() const;

    // "baud,parity,data,stop", e.g. "1200,N,8,1". Returns false (and keeps the old
    // settings) when the string cannot be parsed.
    bool setSettings(const QString& settings);
    QString settings() const;

    // Open and not lost.
    bool isOpen() const;
    // Opens the device of commPort() with the current settings.
    OpenResult open();
    // Opens the device the port was last opened with (the direct line's renewal).
    OpenResult openAgain();
    // Closes at once; whatever the driver still holds is given up.
    void close();

    // Hands bytes to the device; returns how many it took.
    qint64 write(const QByteArray& bytes);
    // Bytes handed over that the device has not put on the line yet.
    qint64 pendingOutput() const;
    // Milliseconds the line needs for bytes at the current settings.
    int lineTimeMs(qint64 bytes) const;
    void discardInput();

    // The device that port n maps to (PortMap).
    QString deviceName(int number) const;
    // The device open now; empty when the port is closed.
    QString deviceInUse() const;
    // How often the port was opened since construction.
    int openCount() const;

signals:
    void received(const QByteArray& bytes);
    void lineError(SerialPort::LineError error);
    // The device went away (hang-up, unplugged); the port has been closed, once.
    void deviceLost(const QString& reason);
    void openChanged(bool open);

private:
    void onReadyRead();
    void onErrorOccurred(int error);
    OpenResult openDevice(const QString& device);
    void closeLostDevice(int openNumber, const QString& reason);
    void applySettings();
    void startLineCounters();
    void noteLineErrors();

    const SettingsStore& m_settings;
    std::unique_ptr<QSerialPort> m_port;
    int m_number = 1;
    QString m_device; // the path the port was last opened with
    QString m_settingsText = QStringLiteral("9600,N,8,1");
    int m_openCount = 0;
    bool m_lost = false; // the device went away; the close is queued
    bool m_lineCountersAvailable = false;
    int m_lineCounters[5] = {}; // overrun, buffer overrun, frame, parity, break
};
