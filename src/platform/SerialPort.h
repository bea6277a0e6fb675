#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QSerialPort;
class SettingsStore;
class Transmitter;

// The serial communications component (MSComm1): one port numbered 1 to 4, opened
// with a settings string such as "1200,N,8,1", raising commChanged() with a
// standard event code for every change on the line.
class SerialPort : public QObject
{
    Q_OBJECT

public:
    // Standard event and error codes of the component.
    enum CommEvent {
        EvSend = 1,
        EvReceive = 2,
        EvCts = 3,
        EvDsr = 4,
        EvCd = 5,
        EvRing = 6,
        EvEof = 7,
        ErBreak = 1001,
        ErFrame = 1004,
        ErOverrun = 1006,
        ErRxOver = 1008,
        ErRxParity = 1009,
        ErTxFull = 1010,
    };
    enum class Handshaking { None, XonXoff, RtsCts };

    // Error codes of open().
    static constexpr int PortAlreadyOpen = 8005;
    static constexpr int PortOpenFailed = 8002;
    static constexpr int InvalidPortNumber = 8012;

    explicit SerialPort(const SettingsStore& settings, QObject* parent = nullptr);
    ~SerialPort() override;

    void setCommPort(int number);
    int commPort() const;

    // "baud,parity,data,stop", e.g. "1200,N,8,1". Returns false (and keeps the old
    // settings) when the string cannot be parsed.
    bool setSettings(const QString& settings);
    QString settings() const;

    void setHandshaking(Handshaking handshaking);
    Handshaking handshaking() const;

    // Send threshold and receive threshold, kept for the window layout's sake.
    void setSThreshold(int characters);

    bool portOpen() const;

    struct OpenResult
    {
        bool ok = false;
        int error = 0; // 0, PortAlreadyOpen, PortOpenFailed or InvalidPortNumber
        QString reason; // the system's reason in plain words, empty when none
    };
    // Opens the device of commPort() with the current settings and handshaking.
    OpenResult open();
    // Closes (waiting for what is queued) and opens the same device again with the
    // same settings: the renewal the direct line wants before every line. A port
    // mapping changed meanwhile takes effect at the next open(), not here.
    OpenResult reopen();
    // Waits until everything queued has left, then closes. Does nothing when closed.
    void close();
    // Closes at once, giving up whatever the far end has not taken yet: the
    // operator's Cancel on a line error.
    void abandon();

    // Writes the text unchanged and returns once every byte has left for the line,
    // after whatever was queued before. While the far end holds XOFF it waits,
    // raising ErTxFull each time the bound (line time plus slack) passes. False when
    // the port failed, was lost or was abandoned first: then the text did not leave.
    bool output(const QByteArray& bytes);
    // Ends the waits of output() and close() at once (the window is closing): they
    // return false, and what is queued stays for the close at destruction, which
    // gives it one bound to leave.
    void abortWaits();
    // Every character waiting in the receive buffer.
    QByteArray input();
    void discardInBuffer(); // InBufferCount = 0
    void discardOutBuffer(); // OutBufferCount = 0 (nothing is ever left there to drop)

    // The code of the last event raised (CommEvent values).
    int commEvent() const;

    // The device that port n maps to (PortMap).
    QString deviceName(int number) const;
    // The device open now; empty when the port is closed.
    QString deviceInUse() const;

    // How often the port was opened since construction; lets tests observe the
    // close-and-reopen before each command.
    int openCount() const;

signals:
    // OnComm: read commEvent() for the code.
    void commChanged();
    // The device went away (hang-up, unplugged); the port has been closed, once.
    void deviceLost(const QString& reason);
    // The port opened or closed.
    void openChanged(bool open);

private:
    void onReadyRead();
    void onErrorOccurred(int error);
    void raise(int event);
    // Raises EvReceive from the event loop, for bytes read while a write or close waits.
    void raiseReceiveLater();
    void closeNow();
    OpenResult openDevice(const QString& device);
    void closeLostDevice(int openNumber, const QString& reason);
    void applySettings();
    void startLineCounters();
    void noteLineErrors();

    const SettingsStore& m_settings;
    std::unique_ptr<QSerialPort> m_port;
    Transmitter* m_transmitter = nullptr;
    int m_number = 1;
    QString m_device; // the path the port was last opened with
    QString m_settingsText = QStringLiteral("9600,N,8,1");
    Handshaking m_handshaking = Handshaking::None;
    int m_sThreshold = 0;
    int m_event = 0;
    int m_openCount = 0;
    QByteArray m_input;
    bool m_lost = false; // the device went away; the close is queued
    bool m_waiting = false; // inside output() or close()
    bool m_receivePending = false;
    bool m_lineCountersAvailable = false;
    int m_lineCounters[5] = {}; // overrun, buffer overrun, frame, parity, break
};
