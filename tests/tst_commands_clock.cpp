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
#include <QRadioButton>
#include <QTest>

#include <memory>

class ClockCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clockLines_data();
    void clockLines();
    void closedPort_data();
    void closedPort();
    void end_data();
    void end();

private:
    template <class T = QWidget> T* control(const QString& name) { return m_window->findChild<T*>(name); }
    bool openPort();
    QString focused() const;

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void ClockCommandsTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    for (const char* name : { "RtRTc", "date", "endg" })
        control(name)->setEnabled(true);
    control<QRadioButton>("Option8")->setChecked(true);
}

void ClockCommandsTest::cleanup()
{
    PcClock::set({});
    m_fixture.reset();
    m_window = nullptr;
}

bool ClockCommandsTest::openPort()
{
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    return port.open().ok;
}

QString ClockCommandsTest::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void ClockCommandsTest::clockLines_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("line");

    const QDate friday(2002, 2, 22);
    QTest::newRow("09:05") << "RtRTc" << QDateTime(friday, QTime(9, 5, 42)) << QByteArray("TIM 09 05\r\n");
    QTest::newRow("midnight") << "RtRTc" << QDateTime(friday, QTime(0, 0)) << QByteArray("TIM 00 00\r\n");
    QTest::newRow("23:59") << "RtRTc" << QDateTime(friday, QTime(23, 59, 59)) << QByteArray("TIM 23 59\r\n");
    QTest::newRow("Friday") << "date" << QDateTime(friday, QTime(12, 0))
                            << QByteArray("DAT 02 22 2002 5\r\n");
    QTest::newRow("Sunday") << "date" << QDateTime(QDate(2002, 2, 24), QTime(12, 0))
                            << QByteArray("DAT 02 24 2002 7\r\n");
    QTest::newRow("Monday") << "date" << QDateTime(QDate(2002, 2, 25), QTime(0, 0))
                            << QByteArray("DAT 02 25 2002 1\r\n");
}

void ClockCommandsTest::clockLines()
{
    QFETCH(QString, button);
    QFETCH(QDateTime, now);
    QFETCH(QByteArray, line);

    PcClock::set([now] { return now; });
    QVERIFY(openPort());
    control(button)->setFocus();
    QTest::mouseClick(control(button), Qt::LeftButton);

    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take(), line);
    // Both clock buttons leave the focus on Time.
    QCOMPARE(focused(), QStringLiteral("RtRTc"));
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ClockCommandsTest::closedPort_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("RtRTc") << "RtRTc";
    QTest::newRow("date") << "date";
    QTest::newRow("endg") << "endg";
}

void ClockCommandsTest::closedPort()
{
    QFETCH(QString, button);

    control("date")->setFocus();
    m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
        QStringLiteral("Disconnect"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    QTest::mouseClick(control(button), Qt::LeftButton);

    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(focused(), button);
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

void ClockCommandsTest::end_data()
{
    QTest::addColumn<bool>("rs232");
    QTest::addColumn<bool>("reopenFails");
    QTest::addColumn<int>("reopens");
    QTest::newRow("modem") << false << false << 0;
    QTest::newRow("RS232 renews the port first") << true << false << 1;
    QTest::newRow("RS232, the reopen fails") << true << true << 0;
}

void ClockCommandsTest::end()
{
    QFETCH(bool, rs232);
    QFETCH(bool, reopenFails);
    QFETCH(int, reopens);
    control<QRadioButton>(rs232 ? "Option7" : "Option8")->setChecked(true);
    // Port 1 is an adapter's stable name, pulled before the click.
    const QString adapter = m_environment.filePath(QStringLiteral("by-id-adapter"));
    QFile::remove(adapter);
    QVERIFY(QFile::link(m_fixture->pty().slaveName(), adapter));
    m_fixture->settings().setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), adapter);
    QVERIFY(openPort());
    const int opened = m_window->MSComm1().openCount();
    if (reopenFails) {
        QVERIFY(QFile::remove(adapter));
        m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
            QStringLiteral("Disconnect"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    }
    QTest::mouseClick(control("endg"), Qt::LeftButton);

    if (reopenFails) {
        // Nothing went out, so the focus stays on END.
        QCOMPARE(m_fixture->pty().drain(), QByteArray());
        QCOMPARE(focused(), QStringLiteral("endg"));
    } else {
        QVERIFY(m_fixture->pty().waitFor("END\r\n"));
        QCOMPARE(m_fixture->pty().take(), QByteArray("END\r\n"));
        QCOMPARE(focused(), QStringLiteral("connect"));
        // The link stays up and nothing is enabled or disabled.
        QVERIFY(m_window->MSComm1().portOpen());
    }
    QCOMPARE(m_window->MSComm1().openCount() - opened, reopens);
    QVERIFY(control("endg")->isEnabled());
    QVERIFY(!control("upload")->isEnabled());
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
}

QTEST_MAIN(ClockCommandsTest)
#include "tst_commands_clock.moc"
