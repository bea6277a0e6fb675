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

    void buttonPath_data();
    void buttonPath();
    void enterPath_data();
    void enterPath();
    void valueGuard_data();
    void valueGuard();
    void newMasterCodeTakesFourDigits_data();
    void newMasterCodeTakesFourDigits();
    void portGuard_data();
    void portGuard();
    void welcomeMessage_data();
    void welcomeMessage();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    bool openPort();
    void type(const QString& box, const QString& text);
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

QString ParameterCommandsTest::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void ParameterCommandsTest::buttonPath_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("focus");

    QTest::newRow("FCN") << "FCN"
                         << "Crno"
                         << "123" << QByteArray("PARFCN 123\r\n") << "medit1";
    QTest::newRow("uptalktime unpadded") << "uptalktime"
                                         << "medit1"
                                         << "7" << QByteArray("PARCHT 7\r\n") << "medit2";
    QTest::newRow("opentime1") << "opentime1"
                               << "medit2"
                               << "10" << QByteArray("PARDOT1 10\r\n") << "medit3";
    QTest::newRow("opentime2") << "opentime2"
                               << "medit3"
                               << "5" << QByteArray("PARDOT2 5\r\n") << "medit4";
    QTest::newRow("lockcount") << "lockcount"
                               << "medit4"
                               << "3" << QByteArray("PARCLT 3\r\n") << "medit5";
    QTest::newRow("systemid") << "systemid"
                              << "medit5"
                              << "2" << QByteArray("PARSYD 2\r\n") << "MEDIT7";
    QTest::newRow("manualdoor1") << "manualdoor1"
                                 << "MEDIT7"
                                 << "12" << QByteArray("PAROHR1 12\r\n") << "medit8";
    QTest::newRow("manualdoor2") << "manualdoor2"
                                 << "medit8"
                                 << "08" << QByteArray("PAROHR2 08\r\n") << "rl2";
    QTest::newRow("rlm") << "rlm"
                         << "rl2"
                         << "1" << QByteArray("PARLMO 1\r\n") << "medit6";
    QTest::newRow("ARN") << "ARN"
                         << "medit6"
                         << "12345" << QByteArray("PARNUM 12345\r\n") << "Medit_New_mastercode";
    QTest::newRow("Newmastcode") << "Newmastcode"
                                 << "Medit_New_mastercode"
                                 << "0815" << QByteArray("PARCMC 0815\r\n") << "Medit_New_mastercode";
    QTest::newRow("message") << "message"
                             << "MsgWel"
                             << "Welcome  Home " << QByteArray("PARMSG Welcome  Home \r\n") << "message";
    QTest::newRow("PBX") << "PBX"
                         << ""
                         << "" << QByteArray("PARPBXON\r\n") << "PBX";
    QTest::newRow("nonpbx carries MEDIT7") << "nonpbx"
                                           << "MEDIT7"
                                           << "12" << QByteArray("PARPBXOFF 12\r\n") << "nonpbx";
    QTest::newRow("nonpbx empty MEDIT7") << "nonpbx"
                                         << ""
                                         << "" << QByteArray("PARPBXOFF \r\n") << "nonpbx";
    QTest::newRow("Pluse") << "Pluse"
                           << ""
                           << "" << QByteArray("PARPDL\r\n") << "Pluse";
    QTest::newRow("tone") << "tone"
                          << ""
                          << "" << QByteArray("PARTDL\r\n") << "tone";
    QTest::newRow("Multi") << "Multi"
                           << ""
                           << "" << QByteArray("PARCONM\r\n") << "Multi";
    QTest::newRow("singleg") << "singleg"
                             << ""
                             << "" << QByteArray("PARCONS\r\n") << "singleg";
    QTest::newRow("OWR") << "OWR"
                         << ""
                         << "" << QByteArray("PAROWRON\r\n") << "OWR";
    QTest::newRow("nowr") << "nowr"
                          << ""
                          << "" << QByteArray("PAROWROFF\r\n") << "nowr";
}

void ParameterCommandsTest::buttonPath()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    QFETCH(QString, focus);

    QVERIFY(openPort());
    if (!box.isEmpty())
        type(box, value);
    auto* pushButton = control<QAbstractButton>(button);
    QVERIFY(pushButton);
    pushButton->setFocus();
    QTest::mouseClick(pushButton, Qt::LeftButton);

    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take(), line);
    QCOMPARE(focused(), focus);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ParameterCommandsTest::enterPath_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("focus");

    QTest::newRow("Crno") << "Crno"
                          << "45" << QByteArray("PARFCN 45\r\n") << "medit1";
    QTest::newRow("medit1") << "medit1"
                            << "120" << QByteArray("PARCHT 120\r\n") << "medit2";
    QTest::newRow("medit2") << "medit2"
                            << "9" << QByteArray("PARDOT1 9\r\n") << "medit3";
    QTest::newRow("medit3") << "medit3"
                            << "15" << QByteArray("PARDOT2 15\r\n") << "medit4";
    QTest::newRow("medit4 empty sends the blank") << "medit4"
                                                  << "" << QByteArray("PARCLT \r\n") << "medit5";
    QTest::newRow("medit5") << "medit5"
                            << "4" << QByteArray("PARSYD 4\r\n") << "MEDIT7";
    QTest::newRow("MEDIT7") << "MEDIT7"
                            << "23" << QByteArray("PAROHR1 23\r\n") << "medit8";
    QTest::newRow("medit8") << "medit8"
                            << "6" << QByteArray("PAROHR2 6\r\n") << "rl2";
    QTest::newRow("rl2") << "rl2"
                         << "0" << QByteArray("PARLMO 0\r\n") << "medit6";
    QTest::newRow("medit6") << "medit6"
                            << "901" << QByteArray("PARNUM 901\r\n") << "Medit_New_mastercode";
    QTest::newRow("Medit_New_mastercode stays")
        << "Medit_New_mastercode"
        << "4321" << QByteArray("PARCMC 4321\r\n") << "Medit_New_mastercode";
}

void ParameterCommandsTest::enterPath()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    QFETCH(QString, focus);

    QVERIFY(openPort());
    type(box, value);
    QTest::keyClick(control(box), Qt::Key_Return);

    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take(), line);
    QCOMPARE(focused(), focus);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ParameterCommandsTest::valueGuard_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("FCN") << "FCN"
                         << "Crno"
                         << "Please input the Facility Code of the CardReader";
    QTest::newRow("uptalktime") << "uptalktime"
                                << "medit1"
                                << "Please input Call Hold Time";
    QTest::newRow("opentime1") << "opentime1"
                               << "medit2"
                               << "Please input Door 1 Open Time";
    QTest::newRow("opentime2") << "opentime2"
                               << "medit3"
                               << "Please input Door 2 Open Time";
    QTest::newRow("lockcount") << "lockcount"
                               << "medit4"
                               << "Please input Lock Out Count";
    QTest::newRow("systemid") << "systemid"
                              << "medit5"
                              << "Please input System ID";
    QTest::newRow("manualdoor1") << "manualdoor1"
                                 << "MEDIT7"
                                 << "Please input Door 1 Unlock Hour";
    QTest::newRow("manualdoor2") << "manualdoor2"
                                 << "medit8"
                                 << "Please input Door 2 Unlock Hour";
    QTest::newRow("rlm") << "rlm"
                         << "rl2"
                         << "Please input Relay2 Mode";
    QTest::newRow("ARN") << "ARN"
                         << "medit6"
                         << "Please input PBX No";
    QTest::newRow("Newmastcode") << "Newmastcode"
                                 << "Medit_New_mastercode"
                                 << "Please input New MasterCode";
}

void ParameterCommandsTest::valueGuard()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, prompt);

    QVERIFY(openPort());
    m_fixture->dialogs().expectMessage(
        prompt, Dialogs::applicationTitle(), Answer::Ok, Buttons::Ok, Icon::None);
    auto* pushButton = control<QAbstractButton>(button);
    pushButton->setFocus();
    QTest::mouseClick(pushButton, Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), box);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ParameterCommandsTest::newMasterCodeTakesFourDigits_data()
{
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QString>("value");
    QTest::newRow("button, three digits") << false << "123";
    QTest::newRow("button, letters") << false << "A1b2";
    QTest::newRow("Enter, empty") << true << "";
    QTest::newRow("Enter, two digits") << true << "12";
    QTest::newRow("Enter, a blank") << true << "123 ";
}

// A new master code the controller's entry could not take is refused, port open.
void ParameterCommandsTest::newMasterCodeTakesFourDigits()
{
    QFETCH(bool, enter);
    QFETCH(QString, value);

    QVERIFY(openPort());
    type(QStringLiteral("Medit_New_mastercode"), value);
    m_fixture->dialogs().expectMessage(QStringLiteral("The new master code must be 4 digits"),
        Dialogs::applicationTitle(), Answer::Ok, Buttons::Ok, Icon::None);
    if (enter)
        QTest::keyClick(control("Medit_New_mastercode"), Qt::Key_Return);
    else
        QTest::mouseClick(control("Newmastcode"), Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), QStringLiteral("Medit_New_mastercode"));
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ParameterCommandsTest::portGuard_data()
{
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");

    QTest::newRow("click FCN") << false << "FCN"
                               << "Crno"
                               << "Disconnect";
    QTest::newRow("click opentime2") << false << "opentime2"
                                     << "medit3"
                                     << "Disconnect";
    QTest::newRow("click Newmastcode") << false << "Newmastcode"
                                       << "Medit_New_mastercode"
                                       << "Disconnect";
    QTest::newRow("click nonpbx") << false << "nonpbx"
                                  << "MEDIT7"
                                  << "Disconnect";
    QTest::newRow("click tone") << false << "tone"
                                << ""
                                << "Disconnect";
    QTest::newRow("Enter in Crno") << true << "Crno"
                                   << "Crno"
                                   << "Disconnect";
    QTest::newRow("Enter in medit2") << true << "medit2"
                                     << "medit2"
                                     << "Disconnect";
    QTest::newRow("Enter in medit3") << true << "medit3"
                                     << "medit3"
                                     << "Disconnnect";
    QTest::newRow("Enter in medit6") << true << "medit6"
                                     << "medit6"
                                     << "Disconnect";
    QTest::newRow("Enter in Medit_New_mastercode") << true << "Medit_New_mastercode"
                                                   << "Medit_New_mastercode"
                                                   << "Disconnect";
}

void ParameterCommandsTest::portGuard()
{
    QFETCH(bool, enter);
    QFETCH(QString, control);
    QFETCH(QString, box);
    QFETCH(QString, title);

    if (!box.isEmpty())
        type(box, QStringLiteral("1234"));
    auto* target = this->control(control);
    target->setFocus();
    m_fixture->dialogs().expectMessage(
        QStringLiteral("The comm port is closed"), title, Answer::Ok, Buttons::Ok, Icon::None);
    if (enter)
        QTest::keyClick(target, Qt::Key_Return);
    else
        QTest::mouseClick(target, Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), control);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ParameterCommandsTest::welcomeMessage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("text, port open") << "Hi there" << true << QByteArray("PARMSG Hi there\r\n");
    QTest::newRow("text, port closed") << "Hi there" << false << QByteArray();
    QTest::newRow("empty, port open") << "" << true << QByteArray();
    QTest::newRow("empty, port closed") << "" << false << QByteArray();
}

void ParameterCommandsTest::welcomeMessage()
{
    QFETCH(QString, text);
    QFETCH(bool, open);
    QFETCH(QByteArray, line);

    if (open)
        QVERIFY(openPort());
    type(QStringLiteral("MsgWel"), text);
    auto* button = control("message");
    button->setFocus();
    if (line.isEmpty())
        m_fixture->dialogs().expectMessage(QStringLiteral("Please Input the text in 'Welcome Message' box"),
            QStringLiteral("Wellcome Message"), Answer::Ok, Buttons::Ok, Icon::None);
    QTest::mouseClick(button, Qt::LeftButton);

    if (line.isEmpty()) {
        QCOMPARE(m_fixture->pty().drain(), QByteArray());
    } else {
        QVERIFY(m_fixture->pty().waitFor(line));
        QCOMPARE(m_fixture->pty().take(), line);
    }
    QCOMPARE(focused(), QStringLiteral("message"));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

QTEST_MAIN(ParameterCommandsTest)
#include "tst_commands_parameters.moc"
