#include "Dialogs.h"
#include "MaskedEdit.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

class ParameterCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sent_data();
    void sent();
    void refused_data();
    void refused();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    bool openPort();
    void type(const QString& box, const QString& text);
    void press(const QString& name, bool enter);
    QString focused() const;

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void ParameterCommandsTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    // The programming state: every command and box usable.
    for (auto* button : m_window->findChildren<QAbstractButton*>())
        button->setEnabled(true);
    for (auto* box : m_window->findChildren<QLineEdit*>())
        box->setEnabled(true);
    control<QRadioButton>("Option8")->setChecked(true);
}

void ParameterCommandsTest::cleanup()
{
    m_fixture.reset();
    m_window = nullptr;
}

bool ParameterCommandsTest::openPort()
{
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    return port.open().ok;
}

void ParameterCommandsTest::type(const QString& box, const QString& text)
{
    auto* edit = control<QLineEdit>(box);
    QVERIFY2(edit, qPrintable(box));
    // Clicked right of the last position, as an operator aims at a small box.
    clickInside(edit, 0.9);
    QTest::keyClicks(edit, text);
}

// Enter in a box, or a click on a button.
void ParameterCommandsTest::press(const QString& name, bool enter)
{
    QWidget* target = control(name);
    QVERIFY2(target, qPrintable(name));
    if (enter) {
        QTest::keyClick(target, Qt::Key_Return);
    } else {
        target->setFocus();
        QTest::mouseClick(target, Qt::LeftButton);
    }
}

QString ParameterCommandsTest::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void ParameterCommandsTest::sent_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("pressed"); // a button clicked, or the box itself for Enter
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("focus");

    // Each value command goes out from its button and from Enter in its box alike.
    struct Row
    {
        const char *button, *box, *value, *line, *focus;
    };
    const Row rows[] = {
        { "FCN", "Crno", "123", "PARFCN 123\r\n", "medit1" },
        { "uptalktime", "medit1", "7", "PARCHT 7\r\n", "medit2" },
        { "opentime1", "medit2", "10", "PARDOT1 10\r\n", "medit3" },
        { "opentime2", "medit3", "5", "PARDOT2 5\r\n", "medit4" },
        { "lockcount", "medit4", "3", "PARCLT 3\r\n", "medit5" },
        { "systemid", "medit5", "2", "PARSYD 2\r\n", "MEDIT7" },
        { "manualdoor1", "MEDIT7", "12", "PAROHR1 12\r\n", "medit8" },
        { "manualdoor2", "medit8", "08", "PAROHR2 08\r\n", "rl2" },
        { "rlm", "rl2", "1", "PARLMO 1\r\n", "medit6" },
        { "ARN", "medit6", "12345", "PARNUM 12345\r\n", "Medit_New_mastercode" },
        { "Newmastcode", "Medit_New_mastercode", "0815", "PARCMC 0815\r\n", "Medit_New_mastercode" },
    };
    for (const Row& row : rows) {
        QTest::addRow("%s", row.button)
            << row.box << row.value << row.button << QByteArray(row.line) << row.focus;
        QTest::addRow("Enter in %s", row.box)
            << row.box << row.value << row.box << QByteArray(row.line) << row.focus;
    }
    QTest::newRow("Enter in an empty medit4 sends the blank")
        << "medit4"
        << ""
        << "medit4" << QByteArray("PARCLT \r\n") << "medit5";
    QTest::newRow("message") << "MsgWel"
                             << "Welcome  Home "
                             << "message" << QByteArray("PARMSG Welcome  Home \r\n") << "message";
    QTest::newRow("nonpbx carries MEDIT7") << "MEDIT7"
                                           << "12"
                                           << "nonpbx" << QByteArray("PARPBXOFF 12\r\n") << "nonpbx";
    QTest::newRow("nonpbx, MEDIT7 empty") << ""
                                          << ""
                                          << "nonpbx" << QByteArray("PARPBXOFF \r\n") << "nonpbx";
    const char* const switches[][2] = { { "PBX", "PARPBXON\r\n" }, { "Pluse", "PARPDL\r\n" },
        { "tone", "PARTDL\r\n" }, { "Multi", "PARCONM\r\n" }, { "singleg", "PARCONS\r\n" },
        { "OWR", "PAROWRON\r\n" }, { "nowr", "PAROWROFF\r\n" } };
    for (const auto& s : switches)
        QTest::addRow("%s", s[0]) << ""
                                  << "" << s[0] << QByteArray(s[1]) << s[0];
}

void ParameterCommandsTest::sent()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QString, pressed);
    QFETCH(QByteArray, line);
    QFETCH(QString, focus);

    QVERIFY(openPort());
    if (!box.isEmpty())
        type(box, value);
    press(pressed, pressed == box);

    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take(), line);
    QCOMPARE(focused(), focus);
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ParameterCommandsTest::refused_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("box"); // typed into first, unless empty
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pressed"); // a button clicked, or the box itself for Enter
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title"); // empty: the application's title
    QTest::addColumn<QString>("focus");

    // An empty value is asked for, and the box gets the focus.
    const char* const prompts[][3] = {
        { "FCN", "Crno", "Please input the Facility Code of the CardReader" },
        { "uptalktime", "medit1", "Please input Call Hold Time" },
        { "opentime1", "medit2", "Please input Door 1 Open Time" },
        { "opentime2", "medit3", "Please input Door 2 Open Time" },
        { "lockcount", "medit4", "Please input Lock Out Count" },
        { "systemid", "medit5", "Please input System ID" },
        { "manualdoor1", "MEDIT7", "Please input Door 1 Unlock Hour" },
        { "manualdoor2", "medit8", "Please input Door 2 Unlock Hour" },
        { "rlm", "rl2", "Please input Relay2 Mode" },
        { "ARN", "medit6", "Please input PBX No" },
        { "Newmastcode", "Medit_New_mastercode", "Please input New MasterCode" },
    };
    for (const auto& p : prompts)
        QTest::addRow("%s, empty", p[0]) << true << ""
                                         << "" << p[0] << p[2] << "" << p[1];

    // A new master code the controller's entry could not take.
    const QString master = QStringLiteral("Medit_New_mastercode");
    const QString fourDigits = QStringLiteral("The new master code must be 4 digits");
    const char* const codes[][2]
        = { { "three digits", "123" }, { "letters", "A1b2" }, { "two digits", "12" }, { "a blank", "123 " } };
    for (const auto& c : codes) {
        QTest::addRow("master code, %s", c[0])
            << true << master << c[1] << "Newmastcode" << fourDigits << "" << master;
        QTest::addRow("master code, Enter, %s", c[0])
            << true << master << c[1] << master << fourDigits << "" << master;
    }
    QTest::newRow("master code, Enter, empty")
        << true << master << "" << master << fourDigits << "" << master;

    // The port closed: nothing goes out and the control clicked keeps the focus.
    const char* const closed[][3] = { { "FCN", "Crno", "Disconnect" },
        { "opentime2", "medit3", "Disconnect" }, { "Newmastcode", "Medit_New_mastercode", "Disconnect" },
        { "nonpbx", "MEDIT7", "Disconnect" }, { "tone", "", "Disconnect" }, { "Crno", "Crno", "Disconnect" },
        { "medit2", "medit2", "Disconnect" }, { "medit3", "medit3", "Disconnnect" },
        { "medit6", "medit6", "Disconnect" },
        { "Medit_New_mastercode", "Medit_New_mastercode", "Disconnect" } };
    for (const auto& c : closed)
        QTest::addRow("port closed, %s", c[0])
            << false << c[1] << "1234" << c[0] << "The comm port is closed" << c[2] << c[0];

    const QString welcome = QStringLiteral("Please Input the text in 'Welcome Message' box");
    QTest::newRow("welcome, port closed") << false << "MsgWel"
                                          << "Hi there"
                                          << "message" << welcome << "Wellcome Message"
                                          << "message";
    QTest::newRow("welcome empty") << true << "MsgWel"
                                   << ""
                                   << "message" << welcome << "Wellcome Message"
                                   << "message";
    QTest::newRow("welcome empty, port closed") << false << "MsgWel"
                                                << ""
                                                << "message" << welcome << "Wellcome Message"
                                                << "message";
}

void ParameterCommandsTest::refused()
{
    QFETCH(bool, open);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, pressed);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, focus);

    if (open)
        QVERIFY(openPort());
    if (!box.isEmpty())
        type(box, typed);
    m_fixture->dialogs().expectMessage(
        text, title.isEmpty() ? Dialogs::applicationTitle() : title, Answer::Ok, Buttons::Ok, Icon::None);
    press(pressed, pressed == box);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), focus);
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

QTEST_MAIN(ParameterCommandsTest)
#include "tst_commands_parameters.moc"
