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

} // namespace

class ClearCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void confirmed_data();
    void confirmed();
    void declined_data();
    void declined();
    void singleEntryWarning_data();
    void singleEntryWarning();
    void wholeDatabaseClosedPort_data();
    void wholeDatabaseClosedPort();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    bool openPort();
    void expectConfirmation(const QString& question, Answer answer);
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

void ClearCommandsTest::expectConfirmation(const QString& question, Answer answer)
{
    m_fixture->dialogs().expectMessage(question, QStringLiteral("Delete Confirmation"), answer,
        Buttons::YesNo, Icon::Exclamation, Answer::No);
}

QString ClearCommandsTest::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void ClearCommandsTest::confirmed_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("focus");

    QTest::newRow("clearacd") << "clearacd"
                              << "meditacd"
                              << "1234"
                              << "Do you really want to delete Access Code DataBase ?"
                              << QByteArray("KLR ACD 1234\r\n") << "medittnt";
    QTest::newRow("clearacd all zeros as typed") << "clearacd"
                                                 << "meditacd"
                                                 << "0000"
                                                 << "Do you really want to delete Access Code DataBase ?"
                                                 << QByteArray("KLR ACD 0000\r\n") << "medittnt";
    QTest::newRow("cleartnt unpadded")
        << "cleartnt"
        << "medittnt"
        << "12"
        << "Do you really want to delete Tenant DataBase ?" << QByteArray("CLR TNT 12\r\n") << "Crno";
    QTest::newRow("clearats") << "clearats"
                              << ""
                              << ""
                              << "Do you really want to delete auto schedule DataBase ?"
                              << QByteArray("KLR ATS\r\n") << "clearats";
    QTest::newRow("clearevr") << "clearevr"
                              << ""
                              << ""
                              << "Do you really want to delete EventRecord DataBase ?"
                              << QByteArray("KLR EVR\r\n") << "clearevr";
    QTest::newRow("clearhld") << "clearhld"
                              << ""
                              << ""
                              << "Do you really want to delete all Holidays DataBase ?"
                              << QByteArray("KLR HLD\r\n") << "clearhld";
    QTest::newRow("cleartmz") << "cleartmz"
                              << ""
                              << ""
                              << "Do you really want to delete Timezone DataBase ?"
                              << QByteArray("KLR TMZ\r\n") << "cleartmz";
}

void ClearCommandsTest::confirmed()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QString, question);
    QFETCH(QByteArray, line);
    QFETCH(QString, focus);

    QVERIFY(openPort());
    if (!box.isEmpty()) {
        control(box)->setFocus();
        QTest::keyClicks(control(box), value);
    }
    control(button)->setFocus();
    expectConfirmation(question, Answer::Yes);
    QTest::mouseClick(control(button), Qt::LeftButton);

    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take(), line);
    QCOMPARE(focused(), focus);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ClearCommandsTest::declined_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("question");

    QTest::newRow("clearacd") << "clearacd"
                              << "meditacd"
                              << "Do you really want to delete Access Code DataBase ?";
    QTest::newRow("cleartnt") << "cleartnt"
                              << "medittnt"
                              << "Do you really want to delete Tenant DataBase ?";
    QTest::newRow("clearats") << "clearats"
                              << ""
                              << "Do you really want to delete auto schedule DataBase ?";
    QTest::newRow("clearevr") << "clearevr"
                              << ""
                              << "Do you really want to delete EventRecord DataBase ?";
    QTest::newRow("clearhld") << "clearhld"
                              << ""
                              << "Do you really want to delete all Holidays DataBase ?";
    QTest::newRow("cleartmz") << "cleartmz"
                              << ""
                              << "Do you really want to delete Timezone DataBase ?";
}

void ClearCommandsTest::declined()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, question);

    QVERIFY(openPort());
    if (!box.isEmpty()) {
        control(box)->setFocus();
        QTest::keyClicks(control(box), QStringLiteral("77"));
    }
    control(button)->setFocus();
    expectConfirmation(question, Answer::No);
    QTest::mouseClick(control(button), Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), button);
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
    control(box)->setFocus();
    QTest::keyClicks(control(box), value);
    control(button)->setFocus();
    m_fixture->dialogs().expectMessage(warning, title, Answer::Ok, Buttons::Ok, Icon::Information);
    QTest::mouseClick(control(button), Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), box);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ClearCommandsTest::wholeDatabaseClosedPort_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");

    QTest::newRow("clearats") << "clearats"
                              << "Do you really want to delete auto schedule DataBase ?";
    QTest::newRow("clearevr") << "clearevr"
                              << "Do you really want to delete EventRecord DataBase ?";
    QTest::newRow("clearhld") << "clearhld"
                              << "Do you really want to delete all Holidays DataBase ?";
    QTest::newRow("cleartmz") << "cleartmz"
                              << "Do you really want to delete Timezone DataBase ?";
}

void ClearCommandsTest::wholeDatabaseClosedPort()
{
    QFETCH(QString, button);
    QFETCH(QString, question);

    // The question comes first; the closed port shows only after Yes.
    expectConfirmation(question, Answer::Yes);
    m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
        QStringLiteral("Disconnect"), Answer::Ok, Buttons::Ok, Icon::None);
    QTest::mouseClick(control(button), Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

QTEST_MAIN(ClearCommandsTest)
#include "tst_commands_clears.moc"
