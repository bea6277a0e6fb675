#include "Pty.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QTest>

// The serial component against real pseudo-terminals: what the far end reads is
// what counts.
class SerialPortTest : public QObject
{
    Q_OBJECT

    TestEnvironment environment;
    SettingsStore settings;

    // A port whose number 1 is the pty, opened as the tool opens it.
    std::unique_ptr<SerialPort> openOn(const Pty& pty)
    {
        settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), pty.slaveName());
        auto port = std::make_unique<SerialPort>(settings);
        port->setCommPort(1);
        port->setHandshaking(SerialPort::Handshaking::XonXoff);
        port->setSettings(QStringLiteral("1200,N,8,1"));
        return port->open().ok ? std::move(port) : nullptr;
    }

private slots:
    // Every byte value but XON/XOFF, a long line and a short one, the port closed at
    // once after each write and opened again for the next, as a command on the direct
    // line does: every byte leaves, in order. Then the device vanishes: that is reported
    // once, whatever the dead device still raises.
    void writesArriveThenHangUp()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            if (b != 0x11 && b != 0x13)
                all.append(char(b));
        const QByteArrayList lines { all, QByteArray(600, 'x') + "\r\n", "DIS\r\n" };
        Pty pty;
        auto port = openOn(pty);
        QVERIFY(port);
        for (const QByteArray& line : lines) {
            QVERIFY(port->portOpen() || port->open().ok);
            QVERIFY(port->output(line));
            port->close();
        }
        QVERIFY(pty.waitFor(lines.join()));
        QCOMPARE(pty.take(), lines.join());

        QVERIFY(port->open().ok);
        QSignalSpy lost(port.get(), &SerialPort::deviceLost);
        int events = 0;
        connect(port.get(), &SerialPort::commChanged, this, [&] { ++events; });
        pty.closeMaster();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!port->portOpen());
        QTest::qWait(200);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(events, 0);
        QVERIFY(!port->output("DIS\r\n"));
    }
};

QTEST_MAIN(SerialPortTest)
#include "tst_platform_serial.moc"
