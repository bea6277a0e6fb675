#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Ticker.h"
#include "form1.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <unistd.h>

namespace {

// What the far end had read, and whether the MasterCode button was usable, at every
// tick of Timer1 while a handler waits.
class TickRecorder : public QObject
{
public:
    TickRecorder(form1& window, Pty& pty)
        : m_fd(pty.masterFd())
    {
        connect(&window.Timer1(), &Ticker::ticked, this, [this, &window] {
            // Only the ticks of the handler's waits: a tick may also fall while a
            // write waits for the line.
            if (window.Timer1().activeWaits() == 0)
                return;
            read();
            bytesAtTick.append(bytes);
            enabledAtTick.append(window.ui().Mastercode->isEnabled());
            // The hourglass is the main window's own, not the whole application's.
            busyAtTick.append(window.cursor().shape() == Qt::WaitCursor && !QApplication::overrideCursor());
        });
    }
    void read()
    {
        char buffer[512];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, int(n));
    }

    QByteArray bytes;
    QList<QByteArray> bytesAtTick;
    QList<bool> enabledAtTick;
    QList<bool> busyAtTick;

private:
    int m_fd;
};

const QString Properties = QString::fromLatin1(SettingsStore::Properties);

} // namespace

// Opening the port, Connect and Disconnect in both modes, the port and mode buttons:
// the bytes as the far end reads them and the controls the link leaves usable.
class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectSendsGreeting_data();
    void connectSendsGreeting();
    void modemConnectWithoutPhoneNumber();
    void portChangeRefusedWhileOpen();
    void openFailureShowsReason_data();
    void openFailureShowsReason();
    void disconnect_data();
    void disconnect();
    void hangUpClosesOnce();

private:
    template <class T = QWidget> T* control(const char* name)
    {
        return m_window->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { clickControl(control(name)); }
    void showWindow();
    void finish() { QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report())); }

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void ConnectionTest::init()
{
    m_environment.clearSettings();
    m_fixture = std::make_unique<MainWindowFixture>();
}

void ConnectionTest::cleanup()
{
    m_fixture.reset();
    m_window = nullptr;
}

void ConnectionTest::showWindow()
{
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void ConnectionTest::connectSendsGreeting_data()
{
    QTest::addColumn<bool>("rs232");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("modemSetting");
    QTest::addColumn<QList<QByteArray>>("bytesAtTick");

    // The greeting is on the line before the first tick of its wait; in modem mode
    // the dial line follows on the third tick; the buttons come after the last.
    const QByteArray com = "COM\r\n";
    const QList<QByteArray> greeted { com, com, com, com, com };
    QTest::newRow("RS232") << true << "9,5550123"
                           << "ATZ" << greeted;
    // The direct line dials nothing, so it needs no number.
    QTest::newRow("RS232, no phone number") << true << QString() << "ATZ" << greeted;
    const QByteArray setting = "AT&F E0 S0=0\r\n";
    const QByteArray dialled = setting + "ATDT9,5550123\r\n";
    QTest::newRow("modem") << false << "9,5550123"
                           << "AT&F E0 S0=0"
                           << QList<QByteArray> { setting, setting, setting, dialled, dialled, dialled };
}

void ConnectionTest::connectSendsGreeting()
{
    QFETCH(bool, rs232);
    QFETCH(QString, phone);
    QFETCH(QString, modemSetting);
    QFETCH(QList<QByteArray>, bytesAtTick);

    m_fixture->settings().setValue(Properties, "sett", modemSetting);
    m_fixture->settings().setValue(Properties, "ph", phone);
    showWindow();
    click("Option1");
    click(rs232 ? "Option7" : "Option8");
    TickRecorder recorder(*m_window, m_fixture->pty());

    click("connect");

    QCOMPARE(recorder.bytesAtTick, bytesAtTick);
    QCOMPARE(recorder.enabledAtTick, QList<bool>(bytesAtTick.size(), false));
    QCOMPARE(recorder.busyAtTick, QList<bool>(bytesAtTick.size(), true));
    QVERIFY(m_window->MSComm1().portOpen());
    QCOMPARE(m_window->MSComm1().settings(), QStringLiteral("1200,N,8,1"));
    QCOMPARE(m_window->MSComm1().handshaking(), SerialPort::Handshaking::XonXoff);
    for (const char* name : { "Mastercode", "up_hlp", "endg" })
        QVERIFY2(control(name)->isEnabled(), name);
    QVERIFY(!control("upload")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), control("Text3"));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(recorder.bytes + m_fixture->pty().drain(), bytesAtTick.last());
    finish();
}

// The port opens and nothing goes out until the modem has a number to dial.
void ConnectionTest::modemConnectWithoutPhoneNumber()
{
    showWindow();
    click("Option1");
    click("Option8");
    control<QLineEdit>("Text2")->clear();
    m_fixture->dialogs().expectMessage(
        "Please input the phone number", "Phone Number", Dialogs::Answer::Ok, Dialogs::Buttons::Ok);

    click("connect");

    QVERIFY(m_window->MSComm1().portOpen());
    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    for (const char* name : { "Mastercode", "up_hlp", "endg" })
        QVERIFY2(!control(name)->isEnabled(), name);
    QCOMPARE(QApplication::focusWidget(), control("Text2"));
    finish();
}

// A port button clicked while the port is open changes nothing, the buttons included.
void ConnectionTest::portChangeRefusedWhileOpen()
{
    showWindow();
    m_fixture->connectRs232();
    m_fixture->dialogs().expectMessage(
        "Comm port is opened!", Dialogs::applicationTitle(), Dialogs::Answer::Ok, Dialogs::Buttons::Ok);

    click("Option2");

    QVERIFY(control<QRadioButton>("Option1")->isChecked());
    QCOMPARE(m_window->MSComm1().commPort(), 1);
    QCOMPARE(m_window->panelText(2), QStringLiteral("Comm Number:  1"));
    QCOMPARE(m_fixture->settings().value(Properties, "Port"), QStringLiteral("1"));
    finish();
}

void ConnectionTest::openFailureShowsReason_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing device") << false << "There is no device %1.";
    QTest::newRow("device in use") << true << "%1 is in use by another program.";
}

void ConnectionTest::openFailureShowsReason()
{
    QFETCH(bool, busy);
    QFETCH(QString, reason);

    const QString device = busy ? m_fixture->pty().slaveName() : m_environment.filePath("ttyGone");
    m_fixture->settings().setValue("Ports", "COM2", device);
    SerialPort other(m_fixture->settings());
    if (busy) {
        other.setCommPort(2);
        other.setSettings("1200,N,8,1");
        QVERIFY(other.open().ok);
    }
    showWindow();
    click("Option2");
    m_fixture->dialogs().expectMessage("              The comm port is closed.",
        "Vestibar 4700 Management System", Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);

    click("connect");

    // The fixed text stays as it is; the system's reason is shown below it.
    QCOMPARE(m_fixture->dialogs().messages().constLast().details, reason.arg(device));

    QVERIFY(!m_window->MSComm1().portOpen());
    QVERIFY(!control("Mastercode")->isEnabled());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    finish();
}

void ConnectionTest::disconnect_data()
{
    QTest::addColumn<bool>("rs232");
    QTest::addColumn<int>("reopens");

    QTest::newRow("RS232 renews the port first") << true << 1;
    QTest::newRow("modem") << false << 0;
}

void ConnectionTest::disconnect()
{
    QFETCH(bool, rs232);
    QFETCH(int, reopens);

    showWindow();
    m_fixture->connectRs232();
    click(rs232 ? "Option7" : "Option8");
    // The link control set, as in the middle of a programming run.
    const QStringList linkControls = linkControlSet();
    for (const QString& name : linkControls) {
        QVERIFY2(control(qPrintable(name)), qPrintable(name));
        control(qPrintable(name))->setEnabled(true);
    }
    m_window->setPanelText(3, "Send Record:  12");
    m_window->ui().Progress->show();
    m_window->ui().Command1->show();
    const int opened = m_window->MSComm1().openCount();

    click("close1");

    // The port is closed at once after the line: every byte of it got out first.
    QVERIFY(!m_window->MSComm1().portOpen());
    QCOMPARE(m_fixture->pty().drain(), QByteArray("DIS\r\n"));
    QCOMPARE(m_window->MSComm1().openCount() - opened, reopens);
    for (const QString& name : linkControls)
        QVERIFY2(!control(qPrintable(name))->isEnabled(), qPrintable(name));
    QVERIFY(control("connect")->isEnabled());
    QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  0"));
    QVERIFY(m_window->ui().Progress->isHidden());
    QVERIFY(m_window->ui().Command1->isHidden());
    QCOMPARE(QApplication::focusWidget(), control("connect"));
    finish();
}

// A vanished device closes the port once and the link stays quiet; the next
// command finds the port closed.
void ConnectionTest::hangUpClosesOnce()
{
    showWindow();
    m_fixture->connectRs232();
    QSignalSpy lost(&m_window->MSComm1(), &SerialPort::deviceLost);
    const int opened = m_window->MSComm1().openCount();

    m_fixture->pty().closeMaster();

    QTRY_VERIFY(!m_window->MSComm1().portOpen());
    m_window->WaitSeconds(3);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(m_window->MSComm1().openCount(), opened);
    QVERIFY(m_window->panelText(1).startsWith(QStringLiteral("Status: ")));
    QVERIFY(m_window->panelText(1).contains(m_fixture->pty().slaveName()));
    m_fixture->dialogs().expectMessage("The comm port is closed", "End Communicatiom ");

    click("close1");

    QCOMPARE(lost.count(), 1);
    finish();
}

QTEST_MAIN(ConnectionTest)
#include "tst_link_connection.moc"
