#include "Dialogs.h"
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

namespace {

const QString accessWarning = QStringLiteral(" Please input the Access_Code you want to delete ! Warning: If "
                                             "you input '0' or '00' or '000' or '0000', All "
                                             "Access_Code in the system will be deleted!");
const QString tenantWarning = QStringLiteral(" Please input the Tenant_Directory you want to delete ! "
                                             "Warning: If you input '0' or '00' or '000' or '0000', "
                                             "All tenants in the system will be deleted!");

// One clear command as the operator gives it: the value typed into its box (single
// entries), the question, and what Yes sends.
struct Clear
{
    const char* button;
    const char* box; // "" for a whole database
    const char* value;
    const char* question;
    const char* line;
    const char* focus; // after the line went out
};

const Clear Clears[] = {
    { "clearacd", "meditacd", "1234", "Do you really want to delete Access Code DataBase ?",
        "KLR ACD 1234\r\n", "medittnt" },
    { "clearacd", "meditacd", "0000", "Do you really want to delete Access Code DataBase ?",
        "KLR ACD 0000\r\n", "medittnt" },
    { "cleartnt", "medittnt", "12", "Do you really want to delete Tenant DataBase ?", "CLR TNT 12\r\n",
        "Crno" },
    { "clearats", "", "", "Do you really want to delete auto schedule DataBase ?", "KLR ATS\r\n",
        "clearats" },
    { "clearevr", "", "", "Do you really want to delete EventRecord DataBase ?", "KLR EVR\r\n", "clearevr" },
    { "clearhld", "", "", "Do you really want to delete all Holidays DataBase ?", "KLR HLD\r\n", "clearhld" },
    { "cleartmz", "", "", "Do you really want to delete Timezone DataBase ?", "KLR TMZ\r\n", "cleartmz" },
};

} // namespace

class ClearCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void confirmation_data();
    void confirmation();
    void singleEntryWarning_data();
    void singleEntryWarning();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    bool openPort();
    // Clicked left of its centre, where the operator aims at a four-digit box.
    void type(const QString& box, const QString& value);
    QString focused() const;

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void ClearCommandsTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    for (auto* button : m_window->findChildren<QAbstractButton*>())
        button->setEnabled(true);
    for (auto* box : m_window->findChildren<QLineEdit*>())
        box->setEnabled(true);
    control<QRadioButton>("Option8")->setChecked(true);
}

void ClearCommandsTest::cleanup()
{
    m_fixture.reset();
    m_window = nullptr;
}

bool ClearCommandsTest::openPort()
{
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    return port.open().ok;
}

void ClearCommandsTest::type(const QString& box, const QString& value)
{
    clickInside(control(box), 0.4);
    QTest::keyClicks(control(box), value);
}

QString ClearCommandsTest::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void ClearCommandsTest::confirmation_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("line"); // empty: nothing may go out
    QTest::addColumn<QString>("focus");

    for (const Clear& clear : Clears) {
        const QByteArray name = (QByteArray(clear.button) + ' ' + clear.value).trimmed();
        QTest::addRow("%s, Yes", name.constData())
            << clear.button << clear.box << clear.value << clear.question << int(Answer::Yes) << true
            << QByteArray(clear.line) << clear.focus;
        // No changes nothing, the focus included.
        QTest::addRow("%s, No", name.constData())
            << clear.button << clear.box << clear.value << clear.question << int(Answer::No) << true
            << QByteArray() << clear.button;
        // A whole database: the question comes first; the closed port shows after Yes.
        if (!*clear.box)
            QTest::addRow("%s, port closed", clear.button)
                << clear.button << clear.box << clear.value << clear.question << int(Answer::Yes) << false
                << QByteArray() << clear.button;
    }
}

void ClearCommandsTest::confirmation()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QString, question);
    QFETCH(int, answer);
    QFETCH(bool, open);
    QFETCH(QByteArray, line);
    QFETCH(QString, focus);

    if (open)
        QVERIFY(openPort());
    if (!box.isEmpty())
        type(box, value);
    m_fixture->dialogs().expectMessage(question, QStringLiteral("Delete Confirmation"), Answer(answer),
        Buttons::YesNo, Icon::Exclamation, Answer::No);
    if (!open)
        m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
            QStringLiteral("Disconnect"), Answer::Ok, Buttons::Ok, Icon::None);
    QTest::mouseClick(control(button), Qt::LeftButton);

    if (line.isEmpty()) {
        QCOMPARE(m_fixture->pty().drain(), QByteArray());
    } else {
        QVERIFY(m_fixture->pty().waitFor(line));
        QCOMPARE(m_fixture->pty().take(), line);
    }
    QCOMPARE(focused(), focus);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ClearCommandsTest::singleEntryWarning_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("title");

    QTest::newRow("clearacd empty") << "clearacd"
                                    << "meditacd"
                                    << "" << true << accessWarning << "Clear Access Code";
    QTest::newRow("clearacd closed port") << "clearacd"
                                          << "meditacd"
                                          << "1234" << false << accessWarning << "Clear Access Code";
    QTest::newRow("cleartnt empty") << "cleartnt"
                                    << "medittnt"
                                    << "" << true << tenantWarning << "Clear tenant";
    QTest::newRow("cleartnt closed port") << "cleartnt"
                                          << "medittnt"
                                          << "12" << false << tenantWarning << "Clear tenant";
    QTest::newRow("cleartnt empty and closed") << "cleartnt"
                                               << "medittnt"
                                               << "" << false << tenantWarning << "Clear tenant";
}

void ClearCommandsTest::singleEntryWarning()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(bool, open);
    QFETCH(QString, warning);
    QFETCH(QString, title);

    if (open)
        QVERIFY(openPort());
    type(box, value);
    m_fixture->dialogs().expectMessage(warning, title, Answer::Ok, Buttons::Ok, Icon::Information);
    QTest::mouseClick(control(button), Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), box);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

QTEST_MAIN(ClearCommandsTest)
#include "tst_commands_clears.moc"
