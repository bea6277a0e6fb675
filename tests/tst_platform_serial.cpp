#include "Pty.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Transmitter.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The serial component against real pseudo-terminals: what the far end reads is
// what counts.
class SerialPortTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment;
    SettingsStore settings;

    // A port whose number 1 is mapped to the pty.
    std::unique_ptr<SerialPort> portOn(const Pty& pty)
    {
        settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), pty.slaveName());
        auto port = std::make_unique<SerialPort>(settings);
        port->setCommPort(1);
        port->setHandshaking(SerialPort::Handshaking::XonXoff);
        port->setSettings(QStringLiteral("1200,N,8,1"));
        return port;
    }

private slots:
    void init()
    {
        environment.clearSettings();
        for (int n = 1; n <= 4; ++n)
            qunsetenv(qPrintable(QStringLiteral("VESTIBAR_COM%1").arg(n)));
    }

    void writesArriveExactly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("closeAtOnce");
        QTest::newRow("greeting") << QByteArray("COM\r\n") << false;
        QTest::newRow("greeting, then close at once") << QByteArray("COM\r\n") << true;
        QTest::newRow("all byte values but XON/XOFF") << [] {
            QByteArray all;
            for (int b = 0; b < 256; ++b) {
                if (b != 0x11 && b != 0x13)
                    all.append(char(b));
            }
            return all;
        }() << true;
        QTest::newRow("long record line, then close") << QByteArray(600, 'x').append("\r\n") << true;
    }

    void writesArriveExactly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, closeAtOnce);
        Pty pty;
        QVERIFY(pty.isOpen());
        auto port = portOn(pty);
        QVERIFY(port->open().ok);
        QVERIFY(port->output(bytes));
        if (closeAtOnce) {
            port->close();
            QVERIFY(!port->portOpen());
        }
        QVERIFY(pty.waitFor(bytes));
        QCOMPARE(pty.take(), bytes);
    }

    void closeAndReopenKeepsEveryLine()
    {
        Pty pty;
        auto port = portOn(pty);
        QByteArray expected;
        for (int i = 0; i < 5; ++i) {
            QVERIFY(port->open().ok);
            const QByteArray line = "LINE" + QByteArray::number(i) + "\r\n";
            QVERIFY(port->output(line));
            port->close();
            expected += line;
        }
        QCOMPARE(port->openCount(), 5);
        QVERIFY(pty.waitFor(expected));
        QCOMPARE(pty.take(), expected);
    }

    void receivedBytesRaiseReceive()
    {
        Pty pty;
        auto port = portOn(pty);
        QVERIFY(port->open().ok);
        QByteArray got;
        connect(port.get(), &SerialPort::commChanged, this, [&] {
            if (port->commEvent() == SerialPort::EvReceive)
                got += port->input();
        });
        QVERIFY(pty.write("AB\r\nCD"));
        QTRY_COMPARE(got, QByteArray("AB\r\nCD"));
        QCOMPARE(port->inBufferCount(), 0);
    }

    void failedOpensCarryAReason_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("missing device") << false << "There is no device";
        QTest::newRow("held by another port") << true << "in use by another program";
    }

    void failedOpensCarryAReason()
    {
        QFETCH(bool, busy);
        QFETCH(QString, reasonPart);
        Pty pty;
        auto holder = portOn(pty);
        if (busy) {
            QVERIFY(holder->open().ok);
        } else {
            settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM1"),
                environment.filePath(QStringLiteral("no-such-tty")));
        }
        SerialPort port(settings);
        port.setCommPort(1);
        const SerialPort::OpenResult result = port.open();
        QVERIFY(!result.ok);
        QCOMPARE(result.error, SerialPort::PortOpenFailed);
        QVERIFY2(result.reason.contains(reasonPart), qPrintable(result.reason));
        QVERIFY(!port.portOpen());
    }

    // The far end holds XOFF while a line is written. Only XON lets it out (text the
    // far end prints meanwhile does not); each bound that passes is reported; a
    // line given up by the operator (abandon) never reaches the line.
    void xoffHoldsTheLine_data()
    {
        QTest::addColumn<int>("slackMs");
        QTest::addColumn<int>("reportsBeforeXon"); // ErTxFull events before XON comes
        QTest::addColumn<bool>("abandon"); // the operator cancels at the first report
        QTest::newRow("text during a short hold") << 2000 << 0 << false;
        QTest::newRow("held past two bounds") << 100 << 2 << false;
        QTest::newRow("given up at the report") << 100 << 1 << true;
    }

    void xoffHoldsTheLine()
    {
        QFETCH(int, slackMs);
        QFETCH(int, reportsBeforeXon);
        QFETCH(bool, abandon);
        Transmitter::setSlack(std::chrono::milliseconds(slackMs));
        Pty pty;
        auto port = portOn(pty);
        QVERIFY(port->open().ok);
        QVERIFY(pty.write(QByteArray(1, '\x13')));
        pty.drain(50);

        QObject context; // every timer below dies with the test
        QByteArray beforeXon;
        QByteArray received;
        int reports = 0;
        bool xonSent = false;
        const auto sendXon = [&] {
            beforeXon = pty.drain(20);
            xonSent = true;
            pty.write(QByteArray(1, '\x11'));
        };
        connect(port.get(), &SerialPort::commChanged, &context, [&] {
            if (port->commEvent() == SerialPort::EvReceive)
                received += port->input();
            if (port->commEvent() != SerialPort::ErTxFull)
                return;
            ++reports;
            if (abandon) {
                port->abandon();
                QTimer::singleShot(0, &context, sendXon);
            } else if (reports == reportsBeforeXon) {
                QTimer::singleShot(0, &context, sendXon);
            }
        });
        // The far end answers while it still holds the line.
        QTimer::singleShot(50, &context, [&] { pty.write("READY\r\n"); });
        if (reportsBeforeXon == 0)
            QTimer::singleShot(400, &context, sendXon);

        const bool left = port->output("PARPDL\r\n");

        QCOMPARE(left, !abandon);
        QTRY_VERIFY(xonSent);
        QCOMPARE(beforeXon, QByteArray());
        QCOMPARE(reports, reportsBeforeXon);
        if (abandon) {
            QVERIFY(!port->portOpen());
            QCOMPARE(pty.drain(200), QByteArray());
        } else {
            QVERIFY(pty.waitFor("PARPDL\r\n"));
            QCOMPARE(pty.take(), QByteArray("PARPDL\r\n"));
            QTRY_COMPARE(received, QByteArray("READY\r\n"));
        }
        Transmitter::setSlack(std::chrono::milliseconds(2000));
    }

    void hangUpClosesOnce()
    {
        Pty pty;
        auto port = portOn(pty);
        QVERIFY(port->open().ok);
        QSignalSpy lost(port.get(), &SerialPort::deviceLost);
        int events = 0;
        connect(port.get(), &SerialPort::commChanged, this, [&] { ++events; });
        pty.closeMaster();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!port->portOpen());
        // Whatever the dead device still raises, nothing more is reported.
        QTest::qWait(200);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(events, 0);
        QVERIFY(!port->output("DIS\r\n"));
    }
};

QTEST_MAIN(SerialPortTest)
#include "tst_platform_serial.moc"
