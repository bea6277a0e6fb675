// The command buttons as the operator uses them: a value typed into its box, then its
// button or Enter. The line on the wire, the message when one is due, the focus after,
// and the port closed and reopened right before each line on the direct line only
// (never for the clock lines); a device gone by then stops the command unsent.
#include "LinkSession.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {
// The port when the operator acts: not open, open on the modem line or the direct
// line, or open on the direct line with its adapter pulled.
enum Port { Closed, Modem, Direct, Gone };

// One action of the operator and what must follow it.
struct Case
{
    Port port;
    QString box; // typed into first, unless empty
    QString value;
    QString pressed; // a button clicked, or the box itself for Enter
    QByteArray line; // empty: nothing may go out
    QString text; // the message shown, if any
    QString title;
    QString focus;
    int reopens = 0;
};
} // namespace
Q_DECLARE_METATYPE(Case)

class CommandsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        enableLinkControls();
        m_window->MSComm1().setCommPort(1);
        m_window->MSComm1().setSettings("1200,N,8,1");
        m_window->setClock([] { return QDateTime(QDate(2002, 2, 22), QTime(9, 5, 59)); });
    }

    void cleanup() { closeWindow(); }

    void command_data()
    {
        QTest::addColumn<Case>("row");

        // Each value command goes out from its button and from Enter in its box alike; the
        // button with an empty box asks for the value instead and puts the focus there.
        const struct
        {
            const char *button, *box, *value, *line, *focus, *prompt;
        } values[] = {
            { "FCN", "Crno", "123", "PARFCN 123\r\n", "medit1", "the Facility Code of the CardReader" },
            { "uptalktime", "medit1", "7", "PARCHT 7\r\n", "medit2", "Call Hold Time" },
            { "opentime1", "medit2", "10", "PARDOT1 10\r\n", "medit3", "Door 1 Open Time" },
            { "opentime2", "medit3", "5", "PARDOT2 5\r\n", "medit4", "Door 2 Open Time" },
            { "lockcount", "medit4", "3", "PARCLT 3\r\n", "medit5", "Lock Out Count" },
            { "systemid", "medit5", "2", "PARSYD 2\r\n", "MEDIT7", "System ID" },
            { "manualdoor1", "MEDIT7", "12", "PAROHR1 12\r\n", "medit8", "Door 1 Unlock Hour" },
            { "manualdoor2", "medit8", "08", "PAROHR2 08\r\n", "rl2", "Door 2 Unlock Hour" },
            { "rlm", "rl2", "1", "PARLMO 1\r\n", "medit6", "Relay2 Mode" },
            { "ARN", "medit6", "12345", "PARNUM 12345\r\n", "Medit_New_mastercode", "PBX No" },
            { "Newmastcode", "Medit_New_mastercode", "0815", "PARCMC 0815\r\n", "Medit_New_mastercode",
                "New MasterCode" },
        };
        const auto add
            = [](const QByteArray& name, const Case& row) { QTest::newRow(name.constData()) << row; };
        const QString app = QStringLiteral("Vestibar 4600 Management System");
        for (const auto& v : values) {
            add(v.button, { Modem, v.box, v.value, v.button, v.line, {}, "", v.focus });
            add(QByteArray("Enter in ") + v.box, { Modem, v.box, v.value, v.box, v.line, {}, "", v.focus });
            add(QByteArray(v.button) + ", empty",
                { Modem, "", "", v.button, "", QStringLiteral("Please input ") + v.prompt, app, v.box });
        }
        add("Enter in an empty medit4", { Modem, "", "", "medit4", "PARCLT \r\n", {}, "", "medit5" });
        add("nonpbx with MEDIT7", { Modem, "MEDIT7", "12", "nonpbx", "PARPBXOFF 12\r\n", {}, "", "nonpbx" });

        // A new master code the controller's entry could not take, on both paths.
        const QString fourDigits = QStringLiteral("The new master code must be 4 digits");
        const char* const master = "Medit_New_mastercode";
        for (const char* code : { "123", "A1b2", "123 " }) {
            for (const char* pressed : { "Newmastcode", master })
                add(QByteArray(pressed) + ", code " + code,
                    { Modem, master, code, pressed, "", fourDigits, app, master });
        }
        add("Enter, empty new code", { Modem, master, "", master, "", fourDigits, app, master });

        // The port closed: nothing goes out and the control pressed keeps the focus.
        const char* const closed[][3]
            = { { "FCN", "Crno", "Disconnect" }, { "opentime2", "medit3", "Disconnect" },
                  { "medit3", "medit3", "Disconnnect" }, { "medit6", "medit6", "Disconnect" },
                  { "Newmastcode", master, "Disconnect" }, { master, master, "Disconnect" },
                  { "nonpbx", "MEDIT7", "Disconnect" }, { "tone", "", "Disconnect" },
                  { "RtRTc", "", "Disconnect" }, { "date", "", "Disconnect" }, { "endg", "", "Disconnect" } };
        for (const auto& c : closed)
            add(QByteArray(c[0]) + ", closed",
                { Closed, c[1], "1234", c[0], "", "The comm port is closed", c[2], c[0] });

        // The welcome message: one message for an empty box and for a closed port alike.
        const QString welcome = QStringLiteral("Please Input the text in 'Welcome Message' box");
        add("message, closed",
            { Closed, "MsgWel", "Hi there", "message", "", welcome, "Wellcome Message", "message" });
        add("message empty", { Modem, "MsgWel", "", "message", "", welcome, "Wellcome Message", "message" });

        // One command of each handler on the direct line, the modem line and with the
        // adapter gone: the command's after-steps run only once its line went out.
        const struct
        {
            const char *name, *box, *value, *pressed, *question, *line, *focus;
            bool renews;
        } actions[] = {
            { "value button", "Crno", "12", "FCN", "", "PARFCN 12\r\n", "medit1", true },
            { "Enter in box", "medit2", "9", "medit2", "", "PARDOT1 9\r\n", "medit3", true },
            { "fixed", "", "", "Pluse", "", "PARPDL\r\n", "Pluse", true },
            { "PBX", "", "", "PBX", "", "PARPBXON\r\n", "PBX", true },
            { "message", "MsgWel", "Welcome  Home ", "message", "", "PARMSG Welcome  Home \r\n", "message",
                true },
            { "single clear", "meditacd", "1234", "clearacd", "Access Code DataBase ?", "KLR ACD 1234\r\n",
                "medittnt", true },
            { "whole clear", "", "", "clearhld", "all Holidays DataBase ?", "KLR HLD\r\n", "clearhld", true },
            { "master code", "Text3", "1234", "Mastercode", "", "PGM1234\r\n", "upload", true },
            // The clock lines: the minute is cut, not rounded; Date leaves the focus on Time.
            { "time", "", "", "RtRTc", "", "TIM 09 05\r\n", "RtRTc", false },
            { "date", "", "", "date", "", "DAT 02 22 2002 5\r\n", "RtRTc", false },
            // END keeps the link up, and moves the focus to Connect only once its line can go.
            { "END", "", "", "endg", "", "END\r\n", "connect", true },
            { "upload", "", "", "up_tnt", "", "PRITNT\r\n", "up_tnt", true },
            { "ALL", "", "", "up_all", "", "PRIALL\r\n", "up_all", true },
            { "Help", "", "", "up_hlp", "", "HLP\r\n", "up_hlp", true },
        };
        for (const auto& a : actions) {
            const QString question
                = *a.question ? QStringLiteral("Do you really want to delete ") + a.question : "";
            const QString title = *a.question ? "Delete Confirmation" : "";
            const QByteArray name(a.name);
            add(name + ", RS232",
                { Direct, a.box, a.value, a.pressed, a.line, question, title, a.focus, a.renews });
            add(name + ", modem", { Modem, a.box, a.value, a.pressed, a.line, question, title, a.focus });
            if (a.renews)
                add(name + ", device gone",
                    { Gone, a.box, a.value, a.pressed, "", question, title, a.pressed });
        }
    }

    void command()
    {
        QFETCH(Case, row);

        control<QRadioButton>(row.port == Modem ? "Option8" : "Option7")->setChecked(true);
        // Port 1 is an adapter's stable name.
        const QString adapter = m_environment.filePath("by-id-adapter");
        QFile::remove(adapter);
        QVERIFY(QFile::link(m_fixture->pty().slaveName(), adapter));
        m_fixture->settings().setValue("Ports", "COM1", adapter);
        LinkSession& serial = m_window->MSComm1();
        if (row.port != Closed)
            QVERIFY(serial.open().ok());
        const int opened = serial.openCount();
        if (row.port == Gone)
            QVERIFY(QFile::remove(adapter));
        ScriptedDialogs& dialogs = m_fixture->dialogs();
        if (row.title == QLatin1String("Delete Confirmation"))
            dialogs.expectMessage(row.text, row.title, Dialogs::Answer::Yes, Dialogs::Buttons::YesNo,
                Dialogs::Icon::Exclamation, Dialogs::Answer::No);
        else if (!row.text.isEmpty())
            dialogs.expectMessage(
                row.text, row.title, Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        // The log is asked for after the renewal; without one the dump still comes.
        if (row.pressed == QLatin1String("up_tnt") && row.port != Gone)
            dialogs.expectOpenFile(std::nullopt, "Open Communications Log Tenant File");
        if (row.port == Gone)
            dialogs.expectMessage("The comm port is closed", "Disconnect");

        if (!row.box.isEmpty()) {
            // Clicked right of the last position, as an operator aims at a small box.
            clickInside(control(row.box), 0.9);
            QTest::keyClicks(control(row.box), row.value);
        }
        if (control(row.pressed)->inherits("QAbstractButton"))
            click(row.pressed);
        else
            QTest::keyClick(control(row.pressed), Qt::Key_Return);
        settle();

        QCOMPARE(m_fixture->pty().drain(), row.line);
        QCOMPARE(QApplication::focusWidget()->objectName(), row.focus);
        QCOMPARE(serial.openCount() - opened, row.reopens);
        QCOMPARE(serial.portOpen(), row.port == Modem || row.port == Direct);
        QCOMPARE(serial.settings(), QStringLiteral("1200,N,8,1"));
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
        // Of the controls usable in programming, only NPBX makes one unusable: the PBX-number button.
        QStringList disabled;
        for (const QString& name : linkControlSet()) {
            if (!control(name)->isEnabled())
                disabled << name;
        }
        const bool npbxSent = row.pressed == QLatin1String("nonpbx") && !row.line.isEmpty();
        QCOMPARE(disabled, npbxSent ? QStringList { "ARN" } : QStringList());
        // The reason goes below the fixed text, not into it.
        if (row.port == Gone)
            QCOMPARE(dialogs.messages().constLast().details,
                QStringLiteral("There is no device %1.").arg(adapter));
    }

    // The fixed commands one after another: each line, and the buttons PBX/NPBX and
    // Multi/Single enable or disable after it; then the clock lines, the PC's clock read
    // at each click.
    void fixedCommands()
    {
        // A click right of the text of a box puts the caret right after it, where
        // typing goes on.
        for (const char* name : { "Medit_New_mastercode", "Text2", "Text3" }) {
            control<QLineEdit>(name)->setText("12");
            clickInside(control(name), 0.9);
            QTRY_COMPARE(control<QLineEdit>(name)->cursorPosition(), 2);
        }
        QVERIFY(m_window->MSComm1().open().ok());
        for (const char* name : { "ARN", "systemid", "medit5" })
            control(name)->setEnabled(false);
        QStringList seen;
        for (const char* button : { "PBX", "Multi", "singleg", "nonpbx", "Pluse", "tone", "OWR", "nowr" }) {
            click(button);
            QString enabled;
            for (const char* name : { "ARN", "systemid", "medit5" }) {
                if (control(name)->isEnabled())
                    enabled += QLatin1Char(' ') + QLatin1String(name);
            }
            seen << QString::fromLatin1(m_fixture->pty().drain()) + enabled;
        }
        QCOMPARE(seen,
            (QStringList { "PARPBXON\r\n ARN", "PARCONM\r\n ARN systemid medit5", "PARCONS\r\n ARN medit5",
                "PARPBXOFF \r\n medit5", "PARPDL\r\n medit5", "PARTDL\r\n medit5", "PAROWRON\r\n medit5",
                "PAROWROFF\r\n medit5" }));

        for (const QDateTime& now : { QDateTime(QDate(2002, 2, 22), QTime(23, 59, 59)),
                 QDateTime(QDate(2003, 1, 5), QTime(0, 0)), QDateTime(QDate(2002, 2, 25), QTime(12, 30)) }) {
            m_window->setClock([now] { return now; });
            click("RtRTc");
            click("date");
        }
        settle();
        QCOMPARE(m_fixture->pty().drain(),
            QByteArray("TIM 23 59\r\nDAT 02 22 2002 5\r\nTIM 00 00\r\nDAT 01 05 2003 7\r\n"
                       "TIM 12 30\r\nDAT 02 25 2002 1\r\n"));
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands_parameters.moc"
