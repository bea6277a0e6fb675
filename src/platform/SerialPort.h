#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QDeadlineTimer;
class QSerialPort;
class SettingsStore;

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
    int sThreshold() const;

    bool portOpen() const;

    struct OpenResult
    {
        bool ok = false;
        int error = 0; // 0, PortAlreadyOpen, PortOpenFailed or InvalidPortNumber
        QString reason; // the system's reason in plain words, empty when none
    };
    // Opens the device of commPort() with the current settings and handshaking.
    OpenResult open();
    // Hands every queued byte to the operating system (bounded by the line time of
    // the pending bytes plus two seconds), then closes. Does nothing when closed.
    void close();

    // Writes the text unchanged; returns once every byte has reached the operating
    // system, or false on a write error or when the bound expires (far end holding XOFF).
    // An expired bound raises ErTxFull afterwards; the bytes stay queued for XON.
    bool output(const QByteArray& bytes);
    // After an output that returned false: the port is still open and the bytes wait
    // for the far end's XON. They are not lost; ErTxFull tells the user.
    bool outputHeld() const;
    // Every character waiting in the receive buffer.
    QByteArray input();
    int inBufferCount() const;
    int outBufferCount() const;
    void discardInBuffer(); // InBufferCount = 0
    void discardOutBuffer(); // OutBufferCount = 0

    // The code of the last event raised (CommEvent values).
    int commEvent() const;

    // The device that port n maps to: the settings store's section "Ports", key
    // "COM<n>"; else the environment variable VESTIBAR_COM<n>; else "COM<n>" on
    // Windows and "/dev/ttyS<n-1>" elsewhere.
    QString deviceName(int number) const;

    // How often the port was opened since construction; lets tests observe the
    // close-and-reopen before each command.
    int openCount() const;

signals:
    // OnComm: read commEvent() for the code.
    void commChanged();
    // The device went away (hang-up, unplugged); the port has been closed, once.
    void deviceLost(const QString& reason);

private:
    void onReadyRead();
    void onErrorOccurred(int error);
    void raise(int event);
    // Raises EvReceive from the event loop, for bytes read while a write or close waits.
    void raiseReceiveLater();
    // Runs a nested event loop until done() holds, the port closes or is lost, or the
    // deadline passes, calling poke now and then; returns done().
    bool waitInLoop(
        const QDeadlineTimer& deadline, const std::function<bool()>& done, const std::function<void()>& poke);
    // Waits (bounded) until Qt's buffer has reached the operating system.
    bool drainToSystem();
    // Waits (bounded) until the driver has put its queued bytes on the line.
    bool drainDriver();
    void closeLostDevice(int openNumber, const QString& reason);
    void applySettings();
    void noteLineErrors();
    int lineTimeMs(qint64 bytes) const;

    const SettingsStore& m_settings;
    std::unique_ptr<QSerialPort> m_port;
    int m_number = 1;
    QString m_settingsText = QStringLiteral("9600,N,8,1");
    Handshaking m_handshaking = Handshaking::None;
    int m_sThreshold = 0;
    int m_event = 0;
    int m_openCount = 0;
    bool m_closing = false;
    QByteArray m_input;
    bool m_lost = false; // the device went away; the close is queued
    bool m_waiting = false; // inside output() or close()
    bool m_receivePending = false;
    bool m_lineCountersAvailable = false;
    int m_lineCounters[5] = {}; // overrun, buffer overrun, frame, parity, break
};
