#include "CommandQueue.h"
#include "LinkSession.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Ticker.h"
#include "WindowTest.h"
#include "form1.h"

#include <QTest>

// Opening the port, Connect and Disconnect in both modes, the port and mode buttons:
// the bytes as the far end reads them and the controls the link leaves usable.
class ConnectionTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(false); }
    void cleanup() { closeWindow(); }

    void connectAndDisconnect_data()
    {
        QTest::addColumn<bool>("rs232");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QList<QByteArray>>("bytesAtTick");
        QTest::addColumn<bool>("busy"); // port 2 is in use, else missing
        // The greeting is on the line before the first tick of its wait; in modem mode
        // the dial line follows on the third tick; the buttons come after the last.
        const QByteArray setting = "AT&F E0 S0=0\r\n";
        const QByteArray dialled = setting + "ATDT9,5550123\r\n";
        QTest::newRow("RS232") << true << "9,5550123" << QByteArrayList(5, "COM\r\n") << false;
        // The direct line dials nothing, so it needs no number.
        QTest::newRow("RS232, no phone number") << true << "" << QByteArrayList(5, "COM\r\n") << true;
        QTest::newRow("modem") << false << "9,5550123"
                               << QByteArrayList(3, setting) + QByteArrayList(3, dialled) << true;
        // The port opens and nothing goes out until the modem has a number to dial.
        QTest::newRow("modem, no phone number") << false << "" << QList<QByteArray> {} << false;
    }

    // Connect, then a port button while the port is open, which changes nothing;
    // Disconnect sends its line, closes the port and puts the window back; then the
    // port may change, and the next connect opens the new one, or says why it cannot.
    void connectAndDisconnect()
    {
        QFETCH(bool, rs232);
        QFETCH(QString, phone);
        QFETCH(QList<QByteArray>, bytesAtTick);
        QFETCH(bool, busy);
        m_fixture->settings().setValue(SettingsStore::Properties, "sett", "AT&F E0 S0=0");
        m_fixture->settings().setValue(SettingsStore::Properties, "ph", phone);
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        click("Option1");
        click(rs232 ? "Option7" : "Option8");
        // The direct line dials nothing: the phone box and its label go unusable.
        QCOMPARE(control("Text2")->isEnabled(), !rs232);
        QCOMPARE(control("Label1")->isEnabled(), !rs232);
        const bool greets = !bytesAtTick.isEmpty();
        if (!greets)
            m_fixture->dialogs().expectMessage(
                "Please input the phone number", "Phone Number", Dialogs::Answer::Ok, Dialogs::Buttons::Ok);
        // What the far end had read at every tick of the handler's own waits (not of a
        // write's), and how many of them found Mastercode unusable under the hourglass.
        Pty& pty = m_fixture->pty();
        QList<QByteArray> bytes;
        qsizetype busyTicks = 0;
        QObject context;
        connect(&m_window->Timer1(), &Ticker::ticked, &context, [&] {
            if (!m_window->waiting())
                return;
            pty.read(0);
            bytes.append(pty.received());
            busyTicks += !control("Mastercode")->isEnabled() && m_window->cursor().shape() == Qt::WaitCursor
                && !QApplication::overrideCursor();
        });

        click("connect");

        QCOMPARE(bytes, bytesAtTick);
        QCOMPARE(busyTicks, bytesAtTick.size());
        QVERIFY(m_window->MSComm1().portOpen());
        QCOMPARE(m_window->MSComm1().settings(), QStringLiteral("1200,N,8,1"));
        for (const char* name : { "Mastercode", "up_hlp", "endg" })
            QVERIFY2(control(name)->isEnabled() == greets, name);
        QVERIFY(!control("upload")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), control(greets ? "Text3" : "Text2"));
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
        pty.drain();
        QCOMPARE(pty.take(), greets ? bytesAtTick.last() : QByteArray());

        // A box without a title of its own shows the application title of the moment: the
        // modem's setting dialog, loaded by a modem connect, renames it ("Managemant"
        // is that dialog's own spelling).
        const QString title
            = greets && !rs232 ? "Vestibar 4700 Managemant System" : "Vestibar 4600 Management System";
        m_fixture->dialogs().expectMessage(
            "Comm port is opened!", title, Dialogs::Answer::Ok, Dialogs::Buttons::Ok);
        click("Option2");
        QVERIFY(control<QRadioButton>("Option1")->isChecked());
        QCOMPARE(m_window->MSComm1().commPort(), 1);
        QCOMPARE(m_window->panelText(2), QStringLiteral("Comm Number:  1"));
        QCOMPARE(m_fixture->settings().value(SettingsStore::Properties, "Port"), QStringLiteral("1"));
        // The link control set, as in the middle of a programming run.
        enableLinkControls();
        m_window->setPanelText(3, "Send Record:  12");
        m_window->ui().Progress->show();
        m_window->ui().Command1->show();
        const int opened = m_window->MSComm1().openCount();

        click("close1");

        // The port is closed at once after the line: every byte of it got out first.
        QVERIFY(!m_window->MSComm1().portOpen());
        QCOMPARE(pty.drain(), QByteArray("DIS\r\n"));
        QCOMPARE(m_window->MSComm1().openCount() - opened, rs232 ? 1 : 0);
        for (const QString& name : linkControlSet())
            QVERIFY2(!control(name)->isEnabled(), qPrintable(name));
        QVERIFY(control("connect")->isEnabled());
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  0"));
        QVERIFY(m_window->ui().Progress->isHidden());
        QVERIFY(m_window->ui().Command1->isHidden());
        QCOMPARE(QApplication::focusWidget(), control("connect"));
        click("Option2");
        QCOMPARE(m_window->MSComm1().commPort(), 2);
        QCOMPARE(m_window->panelText(2), QStringLiteral("Comm Number:  2"));
        QCOMPARE(m_fixture->settings().value(SettingsStore::Properties, "Port"), QStringLiteral("2"));
        const QString device = busy ? pty.slaveName() : m_environment.filePath("ttyGone");
        m_fixture->settings().setValue("Ports", "COM2", device);
        SerialPort other(m_fixture->settings());
        other.setCommPort(2);
        QVERIFY(!busy || other.open().ok());
        m_fixture->dialogs().expectMessage("              The comm port is closed.",
            "Vestibar 4700 Management System", Dialogs::Answer::Ok, Dialogs::Buttons::Ok,
            Dialogs::Icon::None);
        click("connect");
        // The fixed text stays as it is; the system's reason is shown below it.
        const QString reason = busy ? "%1 is in use by another program." : "There is no device %1.";
        QCOMPARE(m_fixture->dialogs().messages().constLast().details, reason.arg(device));
        QVERIFY(!m_window->MSComm1().portOpen());
        QVERIFY(!control("Mastercode")->isEnabled());
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(ConnectionTest)
#include "tst_link_connection.moc"
