#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {
const QStringList programmingButtons { "upload", "download", "RtRTc", "date" };
}

class MasterCodeTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sendsCode_data();
    void sendsCode();
    void emptyCode_data();
    void emptyCode();
    void closedPortIsSilent_data();
    void closedPortIsSilent();
    void masterCodeKeys_data();
    void masterCodeKeys();
    void phoneKeysSaveEveryChange();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    bool openPort();
    void press(bool enter);
    QString focused() const;
    QString storedPhone() const;
    int enabledButtons();

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void MasterCodeTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    control<QRadioButton>("Option8")->setChecked(true);
    control("Mastercode")->setEnabled(true);
    for (const QString& name : programmingButtons)
        control(name)->setEnabled(false);
}

void MasterCodeTest::cleanup()
{
    m_fixture.reset();
    m_window = nullptr;
}

bool MasterCodeTest::openPort()
{
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    return port.open().ok;
}

void MasterCodeTest::press(bool enter)
{
    if (enter) {
        control("Text3")->setFocus();
        QTest::keyClick(control("Text3"), Qt::Key_Return);
    } else {
        QTest::mouseClick(control("Mastercode"), Qt::LeftButton);
    }
}

QString MasterCodeTest::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QString MasterCodeTest::storedPhone() const
{
    return m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), QStringLiteral("ph"));
}

int MasterCodeTest::enabledButtons()
{
    int enabled = 0;
    for (const QString& name : programmingButtons)
        enabled += control(name)->isEnabled() ? 1 : 0;
    return enabled;
}

void MasterCodeTest::sendsCode_data()
{
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("beeps");

    QTest::newRow("MasterCode button") << false << "upload" << 0;
    // Enter is not a digit, so it beeps after sending.
    QTest::newRow("Enter in Text3") << true << "Text3" << 1;
}

void MasterCodeTest::sendsCode()
{
    QFETCH(bool, enter);
    QFETCH(QString, focus);
    QFETCH(int, beeps);

    QVERIFY(openPort());
    control("Text3")->setFocus();
    QTest::keyClicks(control("Text3"), "1234");
    press(enter);

    QVERIFY(m_fixture->pty().waitFor("PGM1234\r\n"));
    const QByteArray sent = m_fixture->pty().take();
    QCOMPARE(sent, QByteArray("PGM1234\r\n"));
    QCOMPARE(sent.size(), 9);
    QCOMPARE(enabledButtons(), 4);
    QCOMPARE(focused(), focus);
    QCOMPARE(m_fixture->dialogs().beeps(), beeps);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void MasterCodeTest::emptyCode_data()
{
    QTest::addColumn<bool>("enter");
    QTest::newRow("MasterCode button") << false;
    QTest::newRow("Enter in Text3") << true;
}

void MasterCodeTest::emptyCode()
{
    QFETCH(bool, enter);

    QVERIFY(openPort());
    control("Mastercode")->setFocus();
    m_fixture->dialogs().expectMessage(QStringLiteral("Please input Master Code"),
        Dialogs::applicationTitle(), Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    press(enter);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), QStringLiteral("Text3"));
    QCOMPARE(enabledButtons(), 0);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void MasterCodeTest::closedPortIsSilent_data()
{
    QTest::addColumn<bool>("enter");
    QTest::addColumn<int>("beeps");
    QTest::newRow("MasterCode button") << false << 0;
    QTest::newRow("Enter in Text3") << true << 1;
}

void MasterCodeTest::closedPortIsSilent()
{
    QFETCH(bool, enter);
    QFETCH(int, beeps);

    control("Text3")->setFocus();
    QTest::keyClicks(control("Text3"), "1234");
    press(enter);

    // No message at all: the scripted dialogs fail on any.
    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(enabledButtons(), 0);
    QCOMPARE(m_fixture->dialogs().beeps(), beeps);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void MasterCodeTest::masterCodeKeys_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("beeps");

    QTest::newRow("digit typed") << "12" << int(Qt::Key_7) << "7"
                                 << "127" << 0;
    QTest::newRow("letter refused with beep") << "12" << int(Qt::Key_A) << "a"
                                              << "12" << 1;
    QTest::newRow("punctuation refused with beep") << "12" << int(Qt::Key_Exclam) << "!"
                                                   << "12" << 1;
    QTest::newRow("blank refused with beep") << "12" << int(Qt::Key_Space) << " "
                                             << "12" << 1;
    QTest::newRow("fifth digit refused") << "1234" << int(Qt::Key_5) << "5"
                                         << "1234" << 0;
    QTest::newRow("Backspace empties the box and beeps") << "123" << int(Qt::Key_Backspace) << "\b"
                                                         << "" << 1;
}

void MasterCodeTest::masterCodeKeys()
{
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(int, beeps);

    auto* box = control<QLineEdit>("Text3");
    box->setFocus();
    QTest::keyClicks(box, before);
    QCOMPARE(box->text(), before);
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key(key), text, Qt::NoModifier);

    QCOMPARE(box->text(), after);
    QCOMPARE(m_fixture->dialogs().beeps(), beeps);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void MasterCodeTest::phoneKeysSaveEveryChange()
{
    auto* box = control<QLineEdit>("Text2");
    box->setFocus();
    QStringList stored;
    for (const char* character : { "5", "5", "-", "1" }) {
        QTest::keyClicks(box, character);
        stored << storedPhone();
    }
    QCOMPARE(stored, (QStringList { "5", "55", "55-", "55-1" }));

    // Backspace empties the whole box, silently, and the empty text is stored.
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QString());
    QCOMPARE(storedPhone(), QString());
    QCOMPARE(m_fixture->dialogs().beeps(), 0);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

QTEST_MAIN(MasterCodeTest)
#include "tst_commands_mastercode.moc"
