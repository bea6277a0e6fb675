// The link when the far end misbehaves: it holds XOFF across the direct line's
// renewals, while clicks come in, while the operator looks at the report, past the
// window closing; it reads slowly, hangs up in the middle of a send; the log's disk
// is full. The test's pseudo-terminal is raw (no IXON), as a device left so by
// another program: only the tool itself can keep the hold.
#include "CommandQueue.h"
#include "LinkSession.h"
#include "Pty.h"
#include "QueuedInput.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Ticker.h"
#include "Vestibar.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSocketNotifier>
#include <QTest>

#include <memory>

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
    void init()
    {
        openWindow();
        m_window->MSComm1().setHoldSlack(std::chrono::seconds(60));
    }
    void cleanup() { closeWindow(); }

    // Three buttons clicked 0.3 s apart while the far end holds XOFF, the clicks
    // queued as the window system delivers them: nothing leaves during the hold, not
    // even on the direct line, whose port is closed and opened again before Pulse and
    // Tone; after XON the three lines arrive whole, once each, in click order.
    void clicksDuringAHold_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("reopens");
        QTest::newRow("RS232") << "Option7" << 2;
        QTest::newRow("modem") << "Option8" << 0;
    }
    void clicksDuringAHold()
    {
        QFETCH(QString, mode);
        QFETCH(int, reopens);
        m_fixture->connectRs232();
        click(mode);
        enableLinkControls();
        Pty& pty = m_fixture->pty();
        const int opened = m_window->MSComm1().openCount();
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        for (const char* button : { "Pluse", "tone", "RtRTc" }) {
            queueClick(control(button));
            QTest::qWait(300);
        }
        QCOMPARE(pty.drain(700), QByteArray());
        QVERIFY(pty.write(Xon));
        QVERIFY(pty.waitFor("TIM "));
        settle();
        const QByteArray got = pty.take();
        // The digits of the time line are the clock's.
        QCOMPARE(got.left(got.lastIndexOf("TIM ") + 4), QByteArray("PARPDL\r\nPARTDL\r\nTIM "));
        QVERIFY(got.endsWith("\r\n"));
        QCOMPARE(m_window->MSComm1().openCount() - opened, reopens);
    }

    // An XOFF in the middle of a long line stops it within two pieces of the link.
    void xoffStopsALineAtOnce()
    {
        m_fixture->connectRs232();
        click("Option8");
        enableLinkControls();
        const QString text = QStringLiteral("Welcome to the residence of the twelve tenants of number 4");
        clickInside(control("MsgWel"), 0.5);
        QTest::keyClicks(control("MsgWel"), text);
        Pty& pty = m_fixture->pty();
        clickControl(control("message"));
        QVERIFY(pty.waitFor("PARMSG"));
        QVERIFY(pty.write(Xoff));
        const qsizetype atXoff = pty.received().size();
        pty.drain(500);
        QVERIFY2(pty.received().size() - atXoff <= 16, pty.received().constData());
        QVERIFY(pty.write(Xon));
        QVERIFY(pty.waitFor("\r\n"));
        settle();
        QCOMPARE(pty.take(), "PARMSG " + text.toLatin1() + "\r\n");
    }

    // The far end lets go while the report of its hold is up, and the line leaves;
    // the operator then answers Cancel: the port closes, but the line counts as sent,
    // so the command does its after-steps and says nothing of a failure.
    void xonWhileTheReportIsUp()
    {
        m_fixture->connectRs232();
        click("Option8");
        enableLinkControls();
        control("systemid")->setEnabled(false);
        m_window->MSComm1().setHoldSlack(std::chrono::milliseconds(200));
        Pty& pty = m_fixture->pty();
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        expectHeld(Answer::Cancel);
        m_fixture->dialogs().whileShown([&pty] {
            pty.write(Xon);
            pty.waitFor("PARCONM\r\n");
        });
        clickControl(control("Multi"));
        settle();
        QCOMPARE(pty.take(), QByteArray("PARCONM\r\n"));
        QVERIFY(control("systemid")->isEnabled());
        QVERIFY(!m_window->MSComm1().portOpen());
        QCOMPARE(m_fixture->dialogs().beeps(), 1);
    }

    // A long hold answered OK: one report, the status bar counts the hold, and the
    // line leaves at XON. Held again and cancelled, the line is given up and the
    // command says so; the next command finds the port closed.
    void longHoldIsReportedOnce()
    {
        m_fixture->connectRs232();
        click("Option8");
        enableLinkControls();
        m_window->MSComm1().setHoldSlack(std::chrono::milliseconds(100));
        Pty& pty = m_fixture->pty();
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        expectHeld(Answer::Ok);
        clickControl(control("Pluse"));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_window->panelText(1).startsWith(QStringLiteral("Status: Held by the controller for 1 s")),
            5000);
        QCOMPARE(pty.drain(1000), QByteArray());
        QVERIFY(m_fixture->dialogs().done());
        QVERIFY(pty.write(Xon));
        settle();
        QCOMPARE(pty.take(), QByteArray("PARPDL\r\n"));

        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        expectHeld(Answer::Cancel);
        m_fixture->dialogs().expectMessage(QStringLiteral("The command could not be sent to the controller"),
            QStringLiteral("Disconnect"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        control("systemid")->setEnabled(false);
        click("Multi");
        QVERIFY(!m_window->MSComm1().portOpen());
        QVERIFY(!control("systemid")->isEnabled());
        QVERIFY(pty.write(Xon));
        QCOMPARE(pty.drain(300), QByteArray());
        m_fixture->dialogs().expectMessage(
            QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"));
        click("Multi");
        QCOMPARE(pty.drain(), QByteArray());
        QCOMPARE(m_fixture->dialogs().beeps(), 2);
    }

    // Disconnect, or closing the window, while a line is held and others are queued:
    // they are dropped, never sent later, and the operator is told once how many; only
    // Disconnect's own line goes, once XON comes.
    void stoppingDropsWhatIsHeld_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::addColumn<QStringList>("clicked");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("Disconnect") << true << QStringList { "Pluse", "tone", "OWR" }
                                    << "3 commands were not sent to the controller." << QByteArray("DIS\r\n");
        QTest::newRow("closing the window") << false << QStringList { "Pluse" }
                                            << "1 command was not sent to the controller." << QByteArray();
    }
    void stoppingDropsWhatIsHeld()
    {
        QFETCH(bool, disconnect);
        QFETCH(QStringList, clicked);
        QFETCH(QString, told);
        QFETCH(QByteArray, after);
        m_fixture->connectRs232();
        click("Option8");
        enableLinkControls();
        Pty& pty = m_fixture->pty();
        QVERIFY(pty.write(Xoff));
        pty.drain(50);
        for (const QString& button : clicked)
            clickControl(control(button));
        m_fixture->dialogs().expectMessage(
            told, QStringLiteral("Disconnect"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        if (disconnect)
            clickControl(control("close1"));
        else
            m_window->close();
        QCOMPARE(pty.drain(300), QByteArray());
        QVERIFY(pty.write(Xon));
        settle();
        QCOMPARE(pty.drain(), after);
        QVERIFY(disconnect ? !m_window->MSComm1().portOpen() : !m_window->isVisible());
    }

    // A send of five records, the second held back past the bound: every record
    // arrives once, in order, and is counted only once it has left, on the direct line
    // too, whose port is renewed before each. The device goes away after the third:
    // the send stops with one message, and the window is as before the send.
    void sendHeldThenHungUp_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("RS232") << "Option7";
        QTest::newRow("modem") << "Option8";
    }
    void sendHeldThenHungUp()
    {
        QFETCH(QString, mode);
        m_window->MSComm1().setHoldSlack(std::chrono::milliseconds(200));
        const QByteArray records("TNTDIR:1\r\nTNTDIR:2\r\nTNTDIR:3\r\nTNTDIR:4\r\nTNTDIR:5\r\n");
        const QString path = m_environment.writeFile(QStringLiteral("five.TNT"), records);
        m_fixture->connectRs232();
        click(mode);
        Pty& pty = m_fixture->pty();
        QByteArray arrived;
        QByteArray duringHold;
        bool held = false;
        QSocketNotifier reader(pty.masterFd(), QSocketNotifier::Read);
        connect(&reader, &QSocketNotifier::activated, this, [&] {
            char buffer[256];
            const ssize_t got = ::read(pty.masterFd(), buffer, sizeof buffer);
            if (got <= 0)
                return;
            if (held)
                duringHold.append(buffer, int(got));
            arrived.append(buffer, int(got));
            if (arrived == "TNTDIR:1\r\n") {
                pty.write(Xoff); // busy after the first record
                held = true;
            }
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
            QTest::qWait(300);
            held = false;
            pty.write(Xon);
        });
        expectLost();
        m_fixture->dialogs().expectMessage(
            QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"));
        control("sendfileg")->setEnabled(true);
        QTest::mouseClick(control("sendfileg"), Qt::LeftButton);
        settle();

        QCOMPARE(arrived, QByteArray("TNTDIR:1\r\nTNTDIR:2\r\nTNTDIR:3\r\n"));
        QCOMPARE(duringHold, QByteArray());
        QCOMPARE(countWhileHeld, QStringLiteral("Send Record:  1"));
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  3"));
        QVERIFY(!m_window->MSComm1().portOpen());
        QVERIFY(!control("Command1")->isVisible());
        QVERIFY(!control<QProgressBar>("Progress")->isVisible());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
        QVERIFY(m_window->panelText(1).startsWith(QStringLiteral("Status: The connection to")));
    }

    // The adapter is pulled while nothing runs: the window goes to the state after
    // Disconnect at once, without a line, and says which device went.
    void lostDeviceDisconnects()
    {
        m_fixture->connectRs232();
        enableLinkControls();
        m_window->ui().Progress->show();
        expectLost();
        m_fixture->pty().closeMaster();
        QTRY_VERIFY(m_fixture->dialogs().done());
        for (const QString& name : linkControlSet())
            QVERIFY2(!control(name)->isEnabled(), qPrintable(name));
        QCOMPARE(QApplication::focusWidget(), control("connect"));
        QVERIFY(m_window->ui().Progress->isHidden());
        QVERIFY(!m_window->MSComm1().portOpen());
        QCOMPARE(m_fixture->dialogs().messages().size(), 1);
    }

    // At 1200 bit/s a record of 40 characters is a third of a second on the line;
    // the pause before the next one runs from its write, so records leave once a tick.
    void recordsLeaveOnceATick()
    {
        const int tick = 500;
        m_window->Timer1().setTickLength(std::chrono::milliseconds(tick));
        QByteArray file;
        for (char n = '1'; n <= '4'; ++n)
            file += "TNTDIR:" + QByteArray(1, n) + "TEL:5550100 NAME:TENANT NUMBER ONE...\r\n";
        const QString path = m_environment.writeFile(QStringLiteral("paced.TNT"), file);
        m_fixture->connectRs232();
        click("Option8");
        Pty& pty = m_fixture->pty();
        QElapsedTimer clock;
        QList<qint64> starts;
        bool lineStart = true;
        QSocketNotifier reader(pty.masterFd(), QSocketNotifier::Read);
        connect(&reader, &QSocketNotifier::activated, this, [&] {
            char byte = 0;
            // Read as a controller would: one character at a time.
            if (::read(pty.masterFd(), &byte, 1) != 1)
                return;
            if (lineStart)
                starts << clock.elapsed();
            lineStart = byte == '\n';
        });
        m_fixture->dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
        control("sendfileg")->setEnabled(true);
        clock.start();
        QTest::mouseClick(control("sendfileg"), Qt::LeftButton);
        settle(20000);
        QTRY_COMPARE(starts.size(), 4);
        for (int i = 1; i < starts.size(); ++i) {
            const qint64 gap = starts.at(i) - starts.at(i - 1);
            QVERIFY2(gap >= tick - 60 && gap <= tick + 120, qPrintable(QString::number(gap)));
        }
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
        const QString title = QStringLiteral("Vestibar 4600 Management System");
        m_fixture->dialogs().expectMessage("The disk is full.", title, Answer::Retry,
            Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);
        m_fixture->dialogs().whileShown([&pty] {
            pty.write("SECOND\r\n");
            QTest::qWait(200);
        });
        m_fixture->dialogs().expectMessage("The disk is full.", title, Answer::Cancel,
            Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);
        QVERIFY(pty.write("FIRST\r\n"));
        auto* box = control<QPlainTextEdit>("Text1");
        QTRY_COMPARE(box->toPlainText(), QStringLiteral("FIRST\nSECOND\n"));
        QVERIFY(pty.write("THIRD\r\n"));
        QTRY_VERIFY(!m_window->logOpen());
        QVERIFY(pty.write("FOURTH\r\n"));

        QTRY_COMPARE(box->toPlainText(), QStringLiteral("FIRST\nSECOND\nTHIRD\nFOURTH\n"));
        QCOMPARE(logged, QByteArray("FIRST\r\nSECOND\r\n"));
        QVERIFY(m_window->MSComm1().portOpen());
    }

private:
    void expectLost()
    {
        m_fixture->dialogs().expectMessage(
            QStringLiteral("The connection to %1 was lost. Connect it again and "
                           "press Connect to go on.")
                .arg(m_fixture->pty().slaveName()),
            QStringLiteral("Connection Lost"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
    void expectHeld(Answer answer)
    {
        m_fixture->dialogs().expectMessage(QStringLiteral("Transmit Buffer Full"),
            QStringLiteral("Click Cancel to quit, OK to ignore."), answer, Dialogs::Buttons::OkCancel);
    }
};

QTEST_MAIN(LinkFaultsTest)
#include "tst_faults_link.moc"
