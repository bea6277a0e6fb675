// The link when the far end misbehaves: it holds XOFF, hangs up in the middle of
// a send, another program holds the device, the log's disk is full.
#include "Dialogs.h"
#include "Pty.h"
#include "QueuedInput.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Transmitter.h"
#include "Vestibar.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include <unistd.h>

using Answer = Dialogs::Answer;

namespace {

const QByteArray Xoff(1, '\x13');
const QByteArray Xon(1, '\x11');

// A log whose first write fails, as a full disk would, and that keeps what it takes.
class FailingLog : public QIODevice
{
public:
    static inline const QString Reason = QStringLiteral("The disk is full.");
    FailingLog()
    {
        open(QIODevice::WriteOnly);
        setErrorString(Reason);
    }
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failures++ == 0)
            return -1;
        written.append(data, size);
        return size;
    }

private:
    int m_failures = 0;
};

} // namespace

class LinkFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void heldLinesLeaveInClickOrder();
    void cancelOnHeldLineReportsItUnsent();
    void heldRecordIsCountedOnceItLeft();
    void textDuringLogRetryKeepsItsPlace();
    void closingTheWindowLetsAHeldLineLeave();
    void hangUpMidSend();
    void deviceHeldByAnotherProgram();
    void fullDiskDuringDump();

private:
    template <class T = QAbstractButton> T* control(const char* name)
    {
        return m_window->findChild<T*>(QLatin1String(name));
    }
    // Port 1 open in modem mode: no reopening before each line.
    bool openModemPort();
    // Hands what reaches the far end to onBytes as it arrives.
    std::unique_ptr<QSocketNotifier> readFarEnd(Pty& pty, std::function<void(const QByteArray&)> onBytes)
    {
        auto reader = std::make_unique<QSocketNotifier>(pty.masterFd(), QSocketNotifier::Read);
        connect(reader.get(), &QSocketNotifier::activated, this, [&pty, onBytes = std::move(onBytes)] {
            char buffer[256];
            const ssize_t got = ::read(pty.masterFd(), buffer, sizeof buffer);
            if (got > 0)
                onBytes(QByteArray(buffer, int(got)));
        });
        return reader;
    }

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void LinkFaultsTest::init()
{
    m_environment.clearSettings();
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void LinkFaultsTest::cleanup()
{
    Transmitter::setSlack(std::chrono::milliseconds(2000));
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

bool LinkFaultsTest::openModemPort()
{
    control<QRadioButton>("Option8")->setChecked(true);
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    port.setHandshaking(SerialPort::Handshaking::XonXoff);
    return port.open().ok;
}

// RS232 mode, the far end holds XOFF past the bound while Time writes; Pulse and
// Tone are clicked meanwhile. The operator answers the report with OK; after XON
// the three lines arrive whole, once each, in the order clicked.
void LinkFaultsTest::heldLinesLeaveInClickOrder()
{
    Transmitter::setSlack(std::chrono::milliseconds(300));
    m_fixture->connectRs232();
    Pty& pty = m_fixture->pty();
    for (const char* name : { "RtRTc", "Pluse", "tone" })
        control(name)->setEnabled(true);
    QVERIFY(pty.write(Xoff));
    pty.drain(50);

    // Clicked as the window system delivers clicks: queued for the event loop.
    QObject context;
    QTimer::singleShot(50, &context, [this] { queueClick(control("Pluse")); });
    QTimer::singleShot(100, &context, [this] { queueClick(control("tone")); });
    QByteArray beforeXon;
    m_fixture->dialogs().expectMessage(QStringLiteral("Transmit Buffer Full"),
        QStringLiteral("Click Cancel to quit, OK to ignore."), Answer::Ok, Dialogs::Buttons::OkCancel);
    m_fixture->dialogs().whileShown([&] {
        beforeXon = pty.drain(20);
        pty.write(Xon);
    });
    QTest::mouseClick(control("RtRTc"), Qt::LeftButton);

    QVERIFY(pty.waitFor("PARTDL\r\n"));
    pty.drain();
    const QByteArray got = pty.received();
    QCOMPARE(beforeXon, QByteArray());
    QVERIFY2(got.startsWith("TIM "), got.constData());
    QCOMPARE(got.count("\r\n"), 3);
    QCOMPARE(got.mid(got.indexOf("\r\n") + 2), QByteArray("PARPDL\r\nPARTDL\r\n"));
    QCOMPARE(m_fixture->dialogs().beeps(), 1);
    QCOMPARE(m_window->panelText(1), QStringLiteral("Status: Transmit Buffer Full"));
}

// Cancel on the report closes the port: the held line is given up, the command
// says so and does nothing after its write; the next command finds the port closed.
void LinkFaultsTest::cancelOnHeldLineReportsItUnsent()
{
    Transmitter::setSlack(std::chrono::milliseconds(100));
    QVERIFY(openModemPort());
    Pty& pty = m_fixture->pty();
    QVERIFY(pty.write(Xoff));
    pty.drain(50);
    control("Multi")->setEnabled(true);
    m_fixture->dialogs().expectMessage(QStringLiteral("Transmit Buffer Full"),
        QStringLiteral("Click Cancel to quit, OK to ignore."), Answer::Cancel, Dialogs::Buttons::OkCancel);
    m_fixture->dialogs().expectMessage(QStringLiteral("The command could not be sent to the controller"),
        QStringLiteral("Disconnect"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    QTest::mouseClick(control("Multi"), Qt::LeftButton);

    QVERIFY(!m_window->MSComm1().portOpen());
    QVERIFY(!control("systemid")->isEnabled());
    QVERIFY(pty.write(Xon));
    QCOMPARE(pty.drain(200), QByteArray());

    m_fixture->dialogs().expectMessage(
        QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"));
    QTest::mouseClick(control("Multi"), Qt::LeftButton);
    QCOMPARE(pty.drain(), QByteArray());
}

// A send whose second record the far end holds back past the bound: every record
// arrives once, in order, and a record is counted only once it has left.
void LinkFaultsTest::heldRecordIsCountedOnceItLeft()
{
    Transmitter::setSlack(std::chrono::milliseconds(200));
    const QString path = m_environment.writeFile(
        QStringLiteral("four.TNT"), "TNTDIR:1\r\nTNTDIR:2\r\nTNTDIR:3\r\nTNTDIR:4\r\n");
    QVERIFY(openModemPort());
    Pty& pty = m_fixture->pty();
    QByteArray arrived;
    const auto reader = readFarEnd(pty, [&](const QByteArray& bytes) {
        const bool first = arrived.isEmpty();
        arrived += bytes;
        if (first)
            pty.write(Xoff); // busy after the first record
    });
    QString countWhileHeld;
    m_fixture->dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
    m_fixture->dialogs().expectMessage(QStringLiteral("Transmit Buffer Full"),
        QStringLiteral("Click Cancel to quit, OK to ignore."), Answer::Ok, Dialogs::Buttons::OkCancel);
    m_fixture->dialogs().whileShown([&] {
        countWhileHeld = m_window->panelText(3);
        pty.write(Xon);
    });
    control("sendfileg")->setEnabled(true);
    QTest::mouseClick(control("sendfileg"), Qt::LeftButton);

    QTRY_COMPARE(arrived, QByteArray("TNTDIR:1\r\nTNTDIR:2\r\nTNTDIR:3\r\nTNTDIR:4\r\n"));
    QCOMPARE(countWhileHeld, QStringLiteral("Send Record:  1"));
    QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  4"));
    QCOMPARE(m_window->sentRecordCount(), 4);
}

// Text that arrives while the log's Retry box is up comes after the text being
// retried, in the box and in the log.
void LinkFaultsTest::textDuringLogRetryKeepsItsPlace()
{
    QVERIFY(openModemPort());
    auto* log = new FailingLog;
    m_window->openLog(std::unique_ptr<QIODevice>(log));
    m_fixture->dialogs().expectMessage(FailingLog::Reason, Dialogs::applicationTitle(), Answer::Retry,
        Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);
    m_fixture->dialogs().whileShown([this] {
        m_fixture->pty().write("SECOND\r\n");
        QTest::qWait(200);
    });
    QVERIFY(m_fixture->pty().write("FIRST\r\n"));

    auto* box = control<QPlainTextEdit>("Text1");
    QTRY_COMPARE(box->toPlainText(), QStringLiteral("FIRST\nSECOND\n"));
    QCOMPARE(log->written, QByteArray("FIRST\r\nSECOND\r\n"));
}

// The window is closed while the far end holds a line back: the line still leaves
// when XON comes within the bound.
void LinkFaultsTest::closingTheWindowLetsAHeldLineLeave()
{
    Transmitter::setSlack(std::chrono::milliseconds(1500));
    Pty pty;
    SettingsStore settings;
    settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM2"), pty.slaveName());
    ScriptedDialogs dialogs;
    std::unique_ptr<form1> window = Vestibar::createMainWindow(settings, dialogs);
    window->show();
    window->findChild<QRadioButton*>("Option8")->setChecked(true);
    SerialPort& port = window->MSComm1();
    port.setCommPort(2);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    port.setHandshaking(SerialPort::Handshaking::XonXoff);
    QVERIFY(port.open().ok);
    QVERIFY(pty.write(Xoff));
    pty.drain(50);

    auto* pulse = window->findChild<QAbstractButton*>("Pluse");
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
    QCOMPARE(pty.take(), QByteArray("PARPDL\r\n"));
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
}

// The device goes away after the first record: the send stops with one message
// and the window is as before the send.
void LinkFaultsTest::hangUpMidSend()
{
    const QString path = m_environment.filePath(QStringLiteral("hangup.TNT"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 5; ++i)
            file.write("TNTDIR:" + QByteArray::number(i) + "\r\n");
    }
    QVERIFY(openModemPort());
    Pty& pty = m_fixture->pty();
    QByteArray arrived;
    std::unique_ptr<QSocketNotifier> reader;
    reader = readFarEnd(pty, [&](const QByteArray& bytes) {
        arrived += bytes;
        if (arrived.contains("\r\n")) {
            reader->setEnabled(false);
            pty.closeMaster();
        }
    });
    m_fixture->dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
    m_fixture->dialogs().expectMessage(
        QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"));

    control("sendfileg")->setEnabled(true);
    QTest::mouseClick(control("sendfileg"), Qt::LeftButton);

    QCOMPARE(arrived, QByteArray("TNTDIR:1\r\n"));
    QVERIFY(!m_window->MSComm1().portOpen());
    QVERIFY(!control("Command1")->isVisible());
    QVERIFY(!control<QProgressBar>("Progress")->isVisible());
    QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
    QVERIFY(m_window->panelText(1).startsWith(QStringLiteral("Status: The connection to")));
}

// Another program has the device open through the serial component: Connect says
// so and leaves the link closed.
void LinkFaultsTest::deviceHeldByAnotherProgram()
{
    const QString device = m_fixture->pty().slaveName();
    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--hold"), device });
    QVERIFY(holder.waitForStarted(5000));
    QVERIFY(holder.waitForReadyRead(5000)); // it prints a line once it has the device
    QCOMPARE(holder.readLine().trimmed(), QByteArray("holding"));

    control<QLineEdit>("Text2")->setText(QStringLiteral("5550100"));
    clickControl(control("Option1"));
    clickControl(control("Option7"));
    m_fixture->dialogs().expectMessage(
        "              The comm port is closed.", QStringLiteral("Vestibar 4700 Management System"));
    QTest::mouseClick(control("connect"), Qt::LeftButton);
    QCOMPARE(m_fixture->dialogs().messages().constLast().details, device + " is in use by another program.");

    QVERIFY(!m_window->MSComm1().portOpen());
    QVERIFY(!control("Mastercode")->isEnabled());
    holder.terminate();
    QVERIFY(holder.waitForFinished(5000));
}

// The log cannot be written: Retry tries again, Cancel closes the log, and the
// display goes on with everything received.
void LinkFaultsTest::fullDiskDuringDump()
{
    auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
    if (!full->open(QIODevice::WriteOnly | QIODevice::Append))
        QSKIP("no /dev/full here");
    QVERIFY(openModemPort());
    m_window->openLog(std::move(full));
    const QString reason = QStringLiteral("No space left on device");
    m_fixture->dialogs().expectMessage(reason, Dialogs::applicationTitle(), Answer::Retry,
        Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);
    m_fixture->dialogs().expectMessage(reason, Dialogs::applicationTitle(), Answer::Cancel,
        Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical);

    QVERIFY(m_fixture->pty().write("TNTDIR:1\r\n"));
    QTRY_COMPARE(m_window->logFileNumber(), 0);
    QVERIFY(m_fixture->pty().write("TNTDIR:2\r\n"));

    auto* box = control<QPlainTextEdit>("Text1");
    QTRY_COMPARE(box->toPlainText(), QStringLiteral("TNTDIR:1\nTNTDIR:2\n"));
    QVERIFY(m_window->MSComm1().portOpen());
}

// "--hold DEVICE": the other program, holding the device until it is stopped.
int holdDevice(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    SettingsStore settings;
    settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM3"), QString::fromLocal8Bit(argv[2]));
    SerialPort port(settings);
    port.setCommPort(3);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    const SerialPort::OpenResult opened = port.open();
    std::printf("%s\n", opened.ok ? "holding" : qPrintable(opened.reason));
    std::fflush(stdout);
    return opened.ok ? app.exec() : 1;
}

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0)
        return holdDevice(argc, argv);
    QApplication app(argc, argv);
    LinkFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_faults_link.moc"
