// A programming run against the controller simulator with the keyboard alone: Tab,
// Shift+Tab, Space and Enter, as the operator without a mouse makes it. Run on xcb
// under Xvfb: window activation and focus need a window system.
#include "LinkSession.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>

class tst_e2e_keyboard : public WindowTest
{
    Q_OBJECT

    QProcess m_simulator; // on a pty of its own, for the length of one test
    QByteArray m_traffic; // the simulator's account of it, as far as read

    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                           : QStringLiteral("<none>");
    }
    QString received() const { return control<QPlainTextEdit>("Text1")->toPlainText(); }
    // False, with the box's text shown, when needle has not come within 15 s.
    [[nodiscard]] bool waitForReceived(const QString& needle) const
    {
        if (QTest::qWaitFor([&] { return received().contains(needle); }, 15000))
            return true;
        qWarning("\"%s\" not received in:\n%s", qPrintable(needle), qPrintable(received()));
        return false;
    }
    // A key on the control that has the focus; the commands it starts have ended after.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        settle(20000);
    }
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    // Tab (or Shift+Tab) until name has the focus; false when the focus stops moving or
    // comes round again without reaching it.
    [[nodiscard]] bool tabTo(const QString& name, bool back = false)
    {
        QStringList passed;
        while (focused() != name) {
            passed << focused();
            if (back)
                press(Qt::Key_Backtab, Qt::ShiftModifier);
            else
                press(Qt::Key_Tab);
            if (passed.contains(focused())) {
                qWarning("%s not reached, the focus went %s", qPrintable(name), qPrintable(passed.join(' ')));
                return false;
            }
        }
        return true;
    }
    // Every byte the simulator has got so far.
    QByteArray simulatorGot()
    {
        m_traffic += m_simulator.readAllStandardError();
        QByteArray got;
        for (const QByteArray& line : m_traffic.split('\n')) {
            if (line.startsWith("< "))
                got += QByteArray::fromPercentEncoding(line.sliced(2));
        }
        return got;
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs a window system (xcb)");
    }

    void init() { openWindow(false); }

    void cleanup()
    {
        closeWindow();
        m_simulator.terminate();
        if (!m_simulator.waitForFinished(3000))
            m_simulator.kill();
        m_traffic.clear();
    }

    void programmingRun()
    {
        if (qEnvironmentVariableIsEmpty("VESTIBAR_SIM"))
            QSKIP("the simulator is not built");
        const QString tenants = m_environment.writeFile(QStringLiteral("tenants.TNT"),
            "TNTDIR:12TEL:5550112 NAME:J SMITH\r\nTNTDIR:42TEL:5550142 NAME:A B JONES\r\n");
        const QString log = m_environment.filePath(QStringLiteral("dump.TNT"));
        m_simulator.start(qEnvironmentVariable("VESTIBAR_SIM"), { QStringLiteral("--verbose") });
        QVERIFY(m_simulator.waitForStarted(5000) && m_simulator.waitForReadyRead(5000));
        m_fixture->settings().setValue(
            "Ports", "COM1", QString::fromLocal8Bit(m_simulator.readLine().trimmed()));
        m_window = &m_fixture->show();
        // Xvfb has no window manager to activate a new window.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));

        // First run: no port chosen, modem mode; port 1 and RS232 chosen by Space.
        QCOMPARE(focused(), QStringLiteral("Option1"));
        press(Qt::Key_Space);
        QVERIFY(tabTo("Option7"));
        press(Qt::Key_Space);
        QCOMPARE(m_window->panelText(2), QStringLiteral("Comm Number:  1"));
        QVERIFY(tabTo("connect"));
        press(Qt::Key_Return);
        QVERIFY(waitForReceived(QStringLiteral("SIM: VESTIBAR CONTROLLER SIMULATOR READY")));
        QCOMPARE(focused(), QStringLiteral("Text3"));
        type(QStringLiteral("1234"));
        press(Qt::Key_Return);
        QVERIFY(waitForReceived(QStringLiteral("SIM: PROGRAMMING MODE ON")));

        // "Send", then a call hold time sent by keypad Enter in its box.
        QVERIFY(tabTo("download"));
        press(Qt::Key_Space);
        QCOMPARE(focused(), QStringLiteral("meditacd"));
        QVERIFY(tabTo("medit1"));
        type(QStringLiteral("30"));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(waitForReceived(QStringLiteral("SIM: PARCHT 30 OK")));
        QCOMPARE(focused(), QStringLiteral("medit2"));

        // "DataBase" with the tenant file.
        QVERIFY(tabTo("sendfileg", true));
        m_fixture->dialogs().expectOpenFile(tenants, QStringLiteral("Open Communication File"));
        press(Qt::Key_Return);
        QVERIFY(waitForReceived(QStringLiteral("SIM: TENANT 42 STORED")));
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  2"));

        // Tenant 12 cleared, confirmed with Yes.
        QVERIFY(tabTo("medittnt"));
        type(QStringLiteral("12"));
        QVERIFY(tabTo("cleartnt", true));
        m_fixture->dialogs().expectMessage(QStringLiteral("Do you really want to delete Tenant DataBase ?"),
            QStringLiteral("Delete Confirmation"), Dialogs::Answer::Yes);
        press(Qt::Key_Return);
        QVERIFY(waitForReceived(QStringLiteral("SIM: TNT 12 DELETED")));

        // "Time", back over Received Content.
        QVERIFY(tabTo("RtRTc", true));
        const QTime before = QTime::currentTime();
        press(Qt::Key_Return);
        QVERIFY(waitForReceived(QStringLiteral("SIM: TIME SET TO ")));
        const QTime after = QTime::currentTime();

        // "Receive", "TNT" into a new log file, then the log closed by its button.
        QVERIFY(tabTo("upload", true));
        press(Qt::Key_Return);
        QCOMPARE(focused(), QStringLiteral("up_par"));
        QVERIFY(tabTo("up_tnt"));
        m_fixture->dialogs().expectOpenFile(log, QStringLiteral("Open Communications Log Tenant File"));
        press(Qt::Key_Return);
        QCOMPARE(focused(), QStringLiteral("Command3"));
        QVERIFY(waitForReceived(QStringLiteral("SIM: END OF TNT, RECORDS: 1")));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!control("Command3")->isVisible());
        QVERIFY(!m_window->logOpen());
        QCOMPARE(fileBytes(log),
            QByteArray("TNTDIR:42TEL:5550142 NAME:A B JONES\r\nSIM: END OF TNT, RECORDS: 1\r\n"));

        // "END", then "Disconnect".
        QVERIFY(tabTo("endg"));
        press(Qt::Key_Return);
        QVERIFY(waitForReceived(QStringLiteral("SIM: PROGRAMMING MODE OFF")));
        QCOMPARE(focused(), QStringLiteral("connect"));
        QVERIFY(tabTo("close1"));
        press(Qt::Key_Return);
        QVERIFY(!m_window->MSComm1().portOpen());
        QCOMPARE(focused(), QStringLiteral("connect"));

        const auto expected = [](const QTime& clock) {
            return "COM\r\nPGM1234\r\nPARCHT 30\r\nTNTDIR:12TEL:5550112 NAME:J SMITH\r\n"
                   "TNTDIR:42TEL:5550142 NAME:A B JONES\r\nCLR TNT 12\r\nTIM "
                + clock.toString("HH mm").toLatin1() + "\r\nPRITNT\r\nEND\r\nDIS\r\n";
        };
        QTRY_VERIFY(simulatorGot().endsWith("DIS\r\n"));
        // The minute may have turned while Time was pressed.
        const QByteArray got = simulatorGot();
        QCOMPARE(got, expected(got.contains("TIM " + after.toString("HH mm").toLatin1()) ? after : before));
        QVERIFY2(received().contains(QStringLiteral("SIM: PROGRAMMING MODE ON\nSIM: PARCHT 30 OK\n"
                                                    "SIM: TENANT 12 STORED\nSIM: TENANT 42 STORED\n"
                                                    "SIM: TNT 12 DELETED\nSIM: TIME SET TO ")),
            qPrintable(received()));
    }
};

QTEST_MAIN(tst_e2e_keyboard)
#include "tst_e2e_keyboard.moc"
