// The master code and the phone number as the operator types them: the line that
// goes out, the buttons it enables, the keys the boxes take and the stored number.
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

class MasterCodeTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sendingTheCode_data();
    void sendingTheCode();
    void masterCodeKeys_data();
    void masterCodeKeys();
    void phoneKeysSaveEveryChange();

private:
    QWidget* control(const char* name) { return m_window->findChild<QWidget*>(QLatin1String(name)); }
    QString enabledButtons();

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void MasterCodeTest::init()
{
    m_environment.clearSettings();
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void MasterCodeTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

// The four buttons the code enables, as "upload download RtRTc date" when all are.
QString MasterCodeTest::enabledButtons()
{
    QStringList enabled;
    for (const char* name : { "upload", "download", "RtRTc", "date" }) {
        if (control(name)->isEnabled())
            enabled << QLatin1String(name);
    }
    return enabled.join(QLatin1Char(' '));
}

void MasterCodeTest::sendingTheCode_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("enter"); // Enter in the box, else the MasterCode button
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("focus");

    QTest::newRow("button") << true << "1234" << false << QByteArray("PGM1234\r\n") << "upload";
    QTest::newRow("Enter keeps the focus") << true << "0042" << true << QByteArray("PGM0042\r\n") << "Text3";
    QTest::newRow("short code as typed") << true << "12" << true << QByteArray("PGM12\r\n") << "Text3";
    QTest::newRow("empty code, button") << true << "" << false << QByteArray() << "Text3";
    QTest::newRow("empty code, Enter") << true << "" << true << QByteArray() << "Text3";
    QTest::newRow("port closed: silent") << false << "1234" << true << QByteArray() << "Text3";
}

void MasterCodeTest::sendingTheCode()
{
    QFETCH(bool, connected);
    QFETCH(QString, code);
    QFETCH(bool, enter);
    QFETCH(QByteArray, sent);
    QFETCH(QString, focus);

    if (connected)
        m_fixture->connectRs232();
    m_fixture->pty().take();
    const int beepsBefore = m_fixture->dialogs().beeps();
    clickControl(control("Text3"));
    QTest::keyClicks(control("Text3"), code);
    if (code.isEmpty())
        m_fixture->dialogs().expectMessage(QStringLiteral("Please input Master Code"),
            QStringLiteral("Vestibar 4600 Management System"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok,
            Dialogs::Icon::None);
    if (enter)
        QTest::keyClick(control("Text3"), Qt::Key_Return);
    else
        clickControl(control("Mastercode"));

    QCOMPARE(m_fixture->pty().drain(), sent);
    QCOMPARE(enabledButtons(), sent.isEmpty() ? QString() : QStringLiteral("upload download RtRTc date"));
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    // Enter is no digit: it beeps after it has done its work.
    QCOMPARE(m_fixture->dialogs().beeps() - beepsBefore, enter ? 1 : 0);
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

    auto* box = qobject_cast<QLineEdit*>(control("Text3"));
    clickControl(box);
    QTest::keyClicks(box, before);
    QCOMPARE(box->text(), before);
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key(key), text, Qt::NoModifier);
    QCOMPARE(box->text(), after);
    QCOMPARE(m_fixture->dialogs().beeps(), beeps);
}

void MasterCodeTest::phoneKeysSaveEveryChange()
{
    auto* box = qobject_cast<QLineEdit*>(control("Text2"));
    clickControl(box);
    QStringList stored;
    for (const char* character : { "5", "5", "-", "1" }) {
        QTest::keyClicks(box, character);
        stored << m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), "ph");
    }
    QCOMPARE(stored, (QStringList { "5", "55", "55-", "55-1" }));

    // Backspace empties the whole box, silently, and the empty text is stored.
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QString());
    QCOMPARE(m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), "ph"), QString());
    QCOMPARE(m_fixture->dialogs().beeps(), 0);
}

QTEST_MAIN(MasterCodeTest)
#include "tst_commands_mastercode.moc"
