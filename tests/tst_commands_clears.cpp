// The six clear buttons as the operator uses them: the value typed into its box, the
// question or warning, what Yes sends and where the focus goes.
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "LinkSession.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QTest>

using Answer = Dialogs::Answer;

namespace {
// A clear button: the box of its single entry (none for a whole database), the value
// typed there, the question, what Yes sends and where the focus goes after it.
struct Clear
{
    const char *button, *box, *value, *question, *line, *focus;
};
const Clear clears[] = {
    { "clearacd", "meditacd", "1234", "Access Code DataBase ?", "KLR ACD 1234\r\n", "medittnt" },
    // Zeros clear every code in the controller; the tool asks nothing more.
    { "clearacd", "meditacd", "0000", "Access Code DataBase ?", "KLR ACD 0000\r\n", "medittnt" },
    { "cleartnt", "medittnt", "12", "Tenant DataBase ?", "CLR TNT 12\r\n", "Crno" },
    { "clearats", "", "", "auto schedule DataBase ?", "KLR ATS\r\n", "clearats" },
    { "clearevr", "", "", "EventRecord DataBase ?", "KLR EVR\r\n", "clearevr" },
    { "clearhld", "", "", "all Holidays DataBase ?", "KLR HLD\r\n", "clearhld" },
    { "cleartmz", "", "", "Timezone DataBase ?", "KLR TMZ\r\n", "cleartmz" },
};
} // namespace
Q_DECLARE_METATYPE(Clear)

class ClearCommandsTest : public WindowTest
{
    Q_OBJECT

    // Clicks the button, then checks what went out and where the focus is.
    void click(const QString& button, const QByteArray& line, const QString& focus)
    {
        QTest::mouseClick(control(button), Qt::LeftButton);
        QCOMPARE(m_fixture->pty().drain(), line);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

private slots:
    void init()
    {
        openWindow();
        enableLinkControls();
    }
    void cleanup() { closeWindow(); }

    void clear_data()
    {
        QTest::addColumn<Clear>("row");
        for (const Clear& row : clears)
            QTest::addRow("%s %s", row.button, row.value) << row;
    }

    // Empty box, then No, then Yes, then the port closed.
    void clear()
    {
        QFETCH(Clear, row);
        const QString button = row.button;
        const QString box = row.box;

        ScriptedDialogs& dialogs = m_fixture->dialogs();
        const auto confirmation = [&](Answer answer) {
            dialogs.expectMessage(QStringLiteral("Do you really want to delete ") + row.question,
                "Delete Confirmation", answer, Dialogs::Buttons::YesNo, Dialogs::Icon::Exclamation,
                Answer::No);
        };
        // A single entry, empty or with the port closed: one warning, and the focus to the box.
        const bool access = button == QLatin1String("clearacd");
        const auto warning = [&] {
            dialogs.expectMessage(
                QStringLiteral(" Please input the %1 you want to delete ! Warning: If you "
                               "input '0' or '00' or '000' or '0000', All %2 in the system "
                               "will be deleted!")
                    .arg(access ? "Access_Code" : "Tenant_Directory", access ? "Access_Code" : "tenants"),
                access ? "Clear Access Code" : "Clear tenant", Answer::Ok, Dialogs::Buttons::Ok,
                Dialogs::Icon::Information);
        };
        LinkSession& port = m_window->MSComm1();
        port.setCommPort(1);
        QVERIFY(port.open().ok());
        if (!box.isEmpty()) {
            warning();
            click(button, {}, box);
            // The warning left the focus in the box: the operator types straight on.
            QTest::keyClicks(control(box), row.value);
        }
        // No changes nothing, the focus included.
        confirmation(Answer::No);
        click(button, {}, button);
        confirmation(Answer::Yes);
        click(button, row.line, row.focus);

        port.close();
        if (box.isEmpty()) {
            // A whole database: the question comes first, the closed port after Yes.
            confirmation(Answer::Yes);
            dialogs.expectMessage(QStringLiteral("The comm port is closed"), QStringLiteral("Disconnect"),
                Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        } else {
            warning();
        }
        click(button, {}, box.isEmpty() ? button : box);
    }
};

QTEST_MAIN(ClearCommandsTest)
#include "tst_commands_clears.moc"
