#include "Dialogs.h"
#include "PcClock.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

// The direct line wants the port closed and reopened right before every command
// line; the modem line never; the clock lines never.
class CommandRenewalTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reopenBeforeWrite_data();
    void reopenBeforeWrite();
    void reopenFailure_data();
    void reopenFailure();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    void typeInto(const QString& box, const QString& text);
    void perform(const QString& action);

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void CommandRenewalTest::init()
{
    PcClock::set([] { return QDateTime(QDate(2002, 2, 22), QTime(9, 5)); });
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    for (auto* button : m_window->findChildren<QAbstractButton*>())
        button->setEnabled(true);
    for (auto* box : m_window->findChildren<QLineEdit*>())
        box->setEnabled(true);
}

void CommandRenewalTest::cleanup()
{
    m_fixture.reset();
    m_window = nullptr;
    PcClock::set({});
}

void CommandRenewalTest::typeInto(const QString& box, const QString& text)
{
    control(box)->setFocus();
    QTest::keyClicks(control(box), text);
}

void CommandRenewalTest::perform(const QString& action)
{
    if (action == "value button") {
        typeInto("Crno", "12");
        QTest::mouseClick(control("FCN"), Qt::LeftButton);
    } else if (action == "Enter in box") {
        typeInto("medit2", "9");
        QTest::keyClick(control("medit2"), Qt::Key_Return);
    } else if (action == "fixed") {
        QTest::mouseClick(control("Pluse"), Qt::LeftButton);
    } else if (action == "PBX") {
        QTest::mouseClick(control("PBX"), Qt::LeftButton);
    } else if (action == "message") {
        typeInto("MsgWel", "Hello");
        QTest::mouseClick(control("message"), Qt::LeftButton);
    } else if (action == "single clear") {
        typeInto("meditacd", "1234");
        m_fixture->dialogs().expectMessage("Do you really want to delete Access Code DataBase ?",
            "Delete Confirmation", Dialogs::Answer::Yes);
        QTest::mouseClick(control("clearacd"), Qt::LeftButton);
    } else if (action == "whole clear") {
        m_fixture->dialogs().expectMessage("Do you really want to delete all Holidays DataBase ?",
            "Delete Confirmation", Dialogs::Answer::Yes);
        QTest::mouseClick(control("clearhld"), Qt::LeftButton);
    } else if (action == "master code") {
        typeInto("Text3", "1234");
        QTest::mouseClick(control("Mastercode"), Qt::LeftButton);
    } else if (action == "time") {
        QTest::mouseClick(control("RtRTc"), Qt::LeftButton);
    } else if (action == "date") {
        QTest::mouseClick(control("date"), Qt::LeftButton);
    } else if (action == "END") {
        QTest::mouseClick(control("endg"), Qt::LeftButton);
    } else if (action == "upload") {
        // Without a log the dump still comes, into the received box only.
        m_fixture->dialogs().expectOpenFile(std::nullopt, "Open Communications Log Tenant File");
        QTest::mouseClick(control("up_tnt"), Qt::LeftButton);
    } else if (action == "ALL") {
        QTest::mouseClick(control("up_all"), Qt::LeftButton);
    } else if (action == "Help") {
        QTest::mouseClick(control("up_hlp"), Qt::LeftButton);
    } else {
        QFAIL(qPrintable("unknown action " + action));
    }
}

void CommandRenewalTest::reopenBeforeWrite_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("rs232");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("reopens");

    const struct
    {
        const char* action;
        QByteArray line;
        bool renews;
    } actions[] = {
        { "value button", "PARFCN 12\r\n", true },
        { "Enter in box", "PARDOT1 9\r\n", true },
        { "fixed", "PARPDL\r\n", true },
        { "PBX", "PARPBXON\r\n", true },
        { "message", "PARMSG Hello\r\n", true },
        { "single clear", "KLR ACD 1234\r\n", true },
        { "whole clear", "KLR HLD\r\n", true },
        { "master code", "PGM1234\r\n", true },
        { "time", "TIM 09 05\r\n", false },
        { "date", "DAT 02 22 2002 5\r\n", false },
        { "END", "END\r\n", true },
        { "upload", "PRITNT\r\n", true },
        { "ALL", "PRIALL\r\n", true },
        { "Help", "HLP\r\n", true },
    };
    for (const auto& row : actions) {
        QTest::addRow("%s, RS232", row.action) << row.action << true << row.line << (row.renews ? 1 : 0);
        QTest::addRow("%s, modem", row.action) << row.action << false << row.line << 0;
    }
}

void CommandRenewalTest::reopenBeforeWrite()
{
    QFETCH(QString, action);
    QFETCH(bool, rs232);
    QFETCH(QByteArray, line);
    QFETCH(int, reopens);

    control<QRadioButton>(rs232 ? "Option7" : "Option8")->setChecked(true);
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings("1200,N,8,1");
    QVERIFY(port.open().ok);
    const int opened = port.openCount();

    perform(action);

    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take(), line);
    QCOMPARE(port.openCount() - opened, reopens);
    QVERIFY(port.portOpen());
    QCOMPARE(port.settings(), QStringLiteral("1200,N,8,1"));
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void CommandRenewalTest::reopenFailure_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("focus");

    QTest::newRow("value button") << "value button"
                                  << "FCN";
    QTest::newRow("Enter in box") << "Enter in box"
                                  << "medit2";
    QTest::newRow("whole clear") << "whole clear"
                                 << "clearhld";
    // END moves the focus to Connect only once the renewal has worked.
    QTest::newRow("END") << "END"
                         << "endg";
}

// The device goes away between two commands: the reopen fails, the command is
// not reported as sent and its after-steps do not run.
void CommandRenewalTest::reopenFailure()
{
    QFETCH(QString, action);
    QFETCH(QString, focus);

    // Port 1 is an adapter's stable name; the adapter is pulled while the port is open.
    control<QRadioButton>("Option7")->setChecked(true);
    const QString missing = m_environment.filePath("by-id-adapter");
    QFile::remove(missing);
    QVERIFY(QFile::link(m_fixture->pty().slaveName(), missing));
    m_fixture->settings().setValue("Ports", "COM1", missing);
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings("1200,N,8,1");
    QVERIFY(port.open().ok);
    QVERIFY(QFile::remove(missing));

    const QString closed = QStringLiteral("The comm port is closed");
    if (action == "whole clear")
        m_fixture->dialogs().expectMessage("Do you really want to delete all Holidays DataBase ?",
            "Delete Confirmation", Dialogs::Answer::Yes);
    m_fixture->dialogs().expectMessage(closed, "Disconnect");
    if (action == "whole clear")
        QTest::mouseClick(control("clearhld"), Qt::LeftButton);
    else
        perform(action);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QVERIFY(!port.portOpen());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    // The reason goes below the fixed text, not into it.
    QCOMPARE(m_fixture->dialogs().messages().constLast().details,
        QStringLiteral("There is no device %1.").arg(missing));
}

QTEST_MAIN(CommandRenewalTest)
#include "tst_commands_renewal.moc"
