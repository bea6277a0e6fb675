// The link when the far end misbehaves: it holds XOFF, hangs up in the middle of
// a send, the log's disk is full.
#include "Pty.h"
#include "QueuedInput.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "Transmitter.h"
#include "Vestibar.h"
#include "WindowTest.h"
#include "form1.h"

#include <QBuffer>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <memory>
#include <thread>

#include <unistd.h>

using Answer = Dialogs::Answer;

namespace {

const QByteArray Xoff("\x13");
const QByteArray Xon("\x11");

// A log whose write fails, as on a full disk, while it holds the next of failOn;
// what it takes goes to written, which outlives it (the window deletes its log).
struct FailingLog : QBuffer
{
    QByteArrayList failOn;

    FailingLog(QByteArray* written, QByteArrayList texts)
        : QBuffer(written)
        , failOn(std::move(texts))
    {
        open(QIODevice::WriteOnly);
    }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (failOn.isEmpty() || !QByteArray(data, size).contains(failOn.constFirst()))
            return QBuffer::writeData(data, size);
        failOn.removeFirst();
        setErrorString(QStringLiteral("The disk is full."));
        return -1;
    }
};

} // namespace

class LinkFaultsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup()
    {
        Transmitter::setSlack(std::chrono::milliseconds(2000));
        closeWindow();
    }

    // RS232 mode. The far end holds XOFF past the bound twice while Time writes, and
    // prints a line meanwhile, which must not let the line go; Pulse and Tone are
    // clicked meanwhile. The operator answers each report with OK; after XON the three
    // lines arrive whole, once each, in the order clicked. Held again in modem mode,
    // Multi's line is given up by Cancel, which closes the port: the command says so
    // and does nothing after its write, the controls stay as they are; the next
    // command finds the port closed.
    void heldLines()
    {
        Transmitter::setSlack(std::chrono::milliseconds(300));
        m_fixture->connectRs232();
        Pty& pty = m_fixture->pty();
        enableLinkControls();
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        // Clicked as the window system delivers clicks: queued for the event loop.
        QObject context;
        QTimer::singleShot(30, &context, [&pty] { pty.write("READY\r\n"); });
        QTimer::singleShot(50, &context, [this] { queueClick(control("Pluse")); });
        QTimer::singleShot(100, &context, [this] { queueClick(control("tone")); });
        QByteArray beforeXon;
        expectHeld(Answer::Ok);
        m_fixture->dialogs().whileShown([&] { beforeXon = pty.drain(20); });
        expectHeld(Answer::Ok);
        m_fixture->dialogs().whileShown([&] {
            beforeXon += pty.drain(20);
            pty.write(Xon);
        });
        QTest::mouseClick(control("RtRTc"), Qt::LeftButton);

        QVERIFY(pty.waitFor("PARTDL\r\n"));
        pty.drain();
        const QByteArray got = pty.take();
        QCOMPARE(beforeXon, QByteArray());
        // The digits of the time line are the clock's.
        QCOMPARE(got.left(4) + got.mid(got.indexOf("\r\n")), QByteArray("TIM \r\nPARPDL\r\nPARTDL\r\n"));
        QCOMPARE(m_fixture->dialogs().beeps(), 2);
        QCOMPARE(m_window->panelText(1), QStringLiteral("Status: Transmit Buffer Full"));
        QCOMPARE(control<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("READY\n"));

        click("Option8");
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        expectHeld(Answer::Cancel);
        m_fixture->dialogs().expectMessage(QStringLiteral("The command could not be sent to the controller"),
            QStringLiteral("Disconnect"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        QTest::mouseClick(control("Multi"), Qt::LeftButton);
        QVERIFY(!m_window->MSComm1().portOpen());
        QVERIFY(control("systemid")->isEnabled());
        QVERIFY(pty.write(Xon));
        QCOMPARE(pty.drain(200), QByteArray());
        m_fixture->dialogs().expectMessage(
            QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"));
        QTest::mouseClick(control("Multi"), Qt::LeftButton);
        QCOMPARE(pty.drain(), QByteArray());
    }

    // A send of five records. The far end holds the second back past the bound: every
    // record arrives once, in order, and is counted only once it has left. The device
    // goes away after the third: the send stops with one message, and the window is
    // as before the send.
    void sendHeldThenHungUp()
    {
        Transmitter::setSlack(std::chrono::milliseconds(200));
        const QByteArray records("TNTDIR:1\r\nTNTDIR:2\r\nTNTDIR:3\r\nTNTDIR:4\r\nTNTDIR:5\r\n");
        const QString path = m_environment.writeFile(QStringLiteral("five.TNT"), records);
        // Modem mode: the port is not opened again before each record.
        m_fixture->connectRs232();
        click("Option8");
        Pty& pty = m_fixture->pty();
        QByteArray arrived;
        QSocketNotifier reader(pty.masterFd(), QSocketNotifier::Read);
        connect(&reader, &QSocketNotifier::activated, this, [&] {
            char buffer[256];
            const ssize_t got = ::read(pty.masterFd(), buffer, sizeof buffer);
            if (got <= 0)
                return;
            if (arrived.isEmpty())
                pty.write(Xoff); // busy after the first record
            arrived.append(buffer, int(got));
            if (arrived.count("\r\n") == 3) {
                reader.setEnabled(false);
                pty.closeMaster();
            }
        });
        QString countWhileHeld;
        m_fixture->dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
        expectHeld(Answer::Ok);
        m_fixture->dialogs().whileShown([&] {
            countWhileHeld = m_window->panelText(3);
            pty.write(Xon);
        });
        m_fixture->dialogs().expectMessage(
            QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"));
        control("sendfileg")->setEnabled(true);
        QTest::mouseClick(control("sendfileg"), Qt::LeftButton);

        QCOMPARE(arrived, QByteArray("TNTDIR:1\r\nTNTDIR:2\r\nTNTDIR:3\r\n"));
        QCOMPARE(countWhileHeld, QStringLiteral("Send Record:  1"));
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  3"));
        QVERIFY(!m_window->MSComm1().portOpen());
        QVERIFY(!control("Command1")->isVisible());
        QVERIFY(!control<QProgressBar>("Progress")->isVisible());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
        QVERIFY(m_window->panelText(1).startsWith(QStringLiteral("Status: The connection to")));
    }

    // The log cannot be written. Retry writes again, and text that arrives while the
    // Retry box is up comes after the text being retried, in the box and in the log;
    // Cancel closes the log, and the display goes on with everything received.
    void logWriteFailures()
    {
        m_fixture->connectRs232();
        Pty& pty = m_fixture->pty();
        QByteArray logged;
        m_window->openLog(std::make_unique<FailingLog>(&logged, QByteArrayList { "FIRST", "THIRD" }));
        m_fixture->dialogs().expectMessage("The disk is full.", Dialogs::applicationTitle(), Answer::Retry,
            Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);
        m_fixture->dialogs().whileShown([&pty] {
            pty.write("SECOND\r\n");
            QTest::qWait(200);
        });
        m_fixture->dialogs().expectMessage("The disk is full.", Dialogs::applicationTitle(), Answer::Cancel,
            Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);
        QVERIFY(pty.write("FIRST\r\n"));
        auto* box = control<QPlainTextEdit>("Text1");
        QTRY_COMPARE(box->toPlainText(), QStringLiteral("FIRST\nSECOND\n"));
        QVERIFY(pty.write("THIRD\r\n"));
        QTRY_COMPARE(m_window->logFileNumber(), 0);
        QVERIFY(pty.write("FOURTH\r\n"));

        QTRY_COMPARE(box->toPlainText(), QStringLiteral("FIRST\nSECOND\nTHIRD\nFOURTH\n"));
        QCOMPARE(logged, QByteArray("FIRST\r\nSECOND\r\n"));
        QVERIFY(m_window->MSComm1().portOpen());
    }

    // The window is closed while the far end holds a line back: the line still leaves
    // when XON comes within the bound.
    void closingTheWindowLetsAHeldLineLeave()
    {
        Transmitter::setSlack(std::chrono::milliseconds(1500));
        // A window of its own on the same port, so that it can go while the far end stays.
        std::unique_ptr<form1> window
            = Vestibar::createMainWindow(m_fixture->settings(), m_fixture->dialogs());
        window->show();
        for (const char* name : { "Option1", "Option7", "connect", "Option8" })
            clickControl(window->findChild<QWidget*>(name));
        Pty& pty = m_fixture->pty();
        QVERIFY(pty.waitFor("COM\r\n"));
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        auto* pulse = window->findChild<QWidget*>("Pluse");
        pulse->setEnabled(true);
        QTimer::singleShot(100, window.get(), [&window] { window->close(); });
        QTest::mouseClick(pulse, Qt::LeftButton);
        QCOMPARE(pty.drain(50), QByteArray());

        // The far end lets go while the window goes away.
        std::thread farEnd([fd = pty.masterFd()] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            (void)::write(fd, "\x11", 1);
        });
        window.reset();
        farEnd.join();
        QVERIFY(pty.waitFor("PARPDL\r\n"));
        QCOMPARE(pty.take(), QByteArray("COM\r\nPARPDL\r\n"));
    }

private:
    void expectHeld(Answer answer)
    {
        m_fixture->dialogs().expectMessage(QStringLiteral("Transmit Buffer Full"),
            QStringLiteral("Click Cancel to quit, OK to ignore."), answer, Dialogs::Buttons::OkCancel);
    }
};

QTEST_MAIN(LinkFaultsTest)
#include "tst_faults_link.moc"
