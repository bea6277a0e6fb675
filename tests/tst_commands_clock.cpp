// Time, Date and END: the line each writes from the PC's clock, where the focus
// goes, and that a closed port stops them with its message and nothing sent.
#include "Dialogs.h"
#include "PcClock.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QApplication>
#include <QTest>

#include <memory>

class ClockCommandsTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;

    QWidget* control(const QString& name) const { return m_window->findChild<QWidget*>(name); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<MainWindowFixture>();
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        for (const char* name : { "RtRTc", "date", "endg" })
            control(name)->setEnabled(true);
    }

    void cleanup()
    {
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
        PcClock::set({});
        m_fixture.reset();
    }

    void lines_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QDateTime>("now"); // at 59 seconds: the minute is cut, not rounded
        QTest::addColumn<QByteArray>("line"); // empty: the port is closed
        QTest::addColumn<QString>("focus");

        const QDate friday(2002, 2, 22);
        const struct
        {
            const char *name, *button;
            QDate date;
            int hour, minute;
            const char *line, *focus;
        } rows[] = {
            { "09:05", "RtRTc", friday, 9, 5, "TIM 09 05\r\n", "RtRTc" },
            { "midnight", "RtRTc", friday, 0, 0, "TIM 00 00\r\n", "RtRTc" },
            { "23:59", "RtRTc", friday, 23, 59, "TIM 23 59\r\n", "RtRTc" },
            { "Friday", "date", friday, 12, 0, "DAT 02 22 2002 5\r\n", "RtRTc" },
            { "Sunday 5 January", "date", QDate(2003, 1, 5), 23, 59, "DAT 01 05 2003 7\r\n", "RtRTc" },
            { "Monday", "date", QDate(2002, 2, 25), 0, 0, "DAT 02 25 2002 1\r\n", "RtRTc" },
            { "END keeps the link", "endg", friday, 9, 5, "END\r\n", "connect" },
            // The message, nothing sent, and the focus stays on the button clicked.
            { "Time, closed", "RtRTc", friday, 9, 5, "", "RtRTc" },
            { "Date, closed", "date", friday, 9, 5, "", "date" },
            { "END, closed", "endg", friday, 9, 5, "", "endg" },
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.button << QDateTime(row.date, QTime(row.hour, row.minute, 59))
                                    << QByteArray(row.line) << row.focus;
    }

    void lines()
    {
        QFETCH(QString, button);
        QFETCH(QDateTime, now);
        QFETCH(QByteArray, line);
        QFETCH(QString, focus);

        PcClock::set([now] { return now; });
        SerialPort& port = m_window->MSComm1();
        port.setCommPort(1);
        const bool open = !line.isEmpty();
        if (open)
            QVERIFY(port.open().ok);
        else
            m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
                QStringLiteral("Disconnect"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        QTest::mouseClick(control(button), Qt::LeftButton);

        QCOMPARE(m_fixture->pty().drain(), line);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        // None of the three opens or closes the link or changes what is usable.
        QCOMPARE(port.portOpen(), open);
        QVERIFY(control("endg")->isEnabled());
        QVERIFY(!control("upload")->isEnabled());
    }
};

QTEST_MAIN(ClockCommandsTest)
#include "tst_commands_clock.moc"
