// The link when the far end misbehaves: it holds XOFF, hangs up in the middle of
// a send, another program holds the device, the log's disk is full.
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
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
#include <memory>

#include <unistd.h>

using Answer = Dialogs::Answer;

class LinkFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void xoffHeldFiveSecondsLosesNothing();
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

// The far end stops the tool for five seconds, longer than a write waits: the
// window goes on answering, the user is told once, and the line goes out on XON.
void LinkFaultsTest::xoffHeldFiveSecondsLosesNothing()
{
    QVERIFY(openModemPort());
    Pty& pty = m_fixture->pty();
    QVERIFY(pty.write(QByteArray(1, '\x13')));
    pty.drain(50);
    QElapsedTimer held;
    held.start();

    auto* code = control<QLineEdit>("Text3");
    QTimer::singleShot(300, this, [code] {
        code->setFocus();
        QTest::keyClicks(code, QStringLiteral("12"));
    });
    m_fixture->dialogs().expectMessage(QStringLiteral("Transmit Buffer Full"),
        QStringLiteral("Click Cancel to quit, OK to ignore."), Answer::Ok, Dialogs::Buttons::OkCancel);

    control("endg")->setEnabled(true);
    QTest::mouseClick(control("endg"), Qt::LeftButton);

    QCOMPARE(code->text(), QStringLiteral("12")); // typed while the write waited
    QTest::qWait(int(std::max<qint64>(0, 5000 - held.elapsed())));
    QCOMPARE(pty.drain(50), QByteArray());
    QCOMPARE(m_window->panelText(1), QStringLiteral("Status: Transmit Buffer Full"));
    QCOMPARE(m_fixture->dialogs().beeps(), 1);

    QVERIFY(pty.write(QByteArray(1, '\x11')));
    QTRY_VERIFY(pty.waitFor("END\r\n", 20));
    QCOMPARE(pty.drain(), QByteArray());
    QCOMPARE(pty.received(), QByteArray("END\r\n"));
    QVERIFY(m_window->MSComm1().portOpen());
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
    QSocketNotifier reader(pty.masterFd(), QSocketNotifier::Read);
    connect(&reader, &QSocketNotifier::activated, this, [&] {
        char buffer[256];
        const ssize_t got = ::read(pty.masterFd(), buffer, sizeof buffer);
        if (got > 0)
            arrived.append(buffer, int(got));
        if (arrived.contains("\r\n")) {
            reader.setEnabled(false);
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
    QVERIFY(!QApplication::overrideCursor());
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
