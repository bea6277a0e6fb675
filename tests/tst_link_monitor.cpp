// The line monitor: every byte of a session on a pseudo-terminal in both
// directions with the link's marks, as the window shows it and saves it, and the
// session record written while the window is closed.
#include "LineMonitorLog.h"
#include "LinkSession.h"
#include "MonitorFormat.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <unistd.h>

using MonitorFormat::Direction;

class LineMonitorTest : public WindowTest
{
    Q_OBJECT

private slots:
    void cleanup() { closeWindow(); }

    // Bytes as the Text column names them, and as the Hex column shows them; the
    // others are in the session below.
    void names_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex");
        QTest::newRow("backspace") << QByteArray("X\b") << "X<BS>"
                                   << "58 08";
        QTest::newRow("other controls") << QByteArray("\x00\t\x1b\x7f", 4) << "<0x00><0x09><0x1B><0x7F>"
                                        << "00 09 1B 7F";
        QTest::newRow("C1 control") << QByteArray("\x85") << "<0x85>"
                                    << "85";
    }
    void names()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, hex);
        QCOMPARE(MonitorFormat::byteText(bytes), text);
        QCOMPARE(MonitorFormat::hexText(bytes), hex);
    }

    // A session in RS232 mode: Connect, a command on the renewed port, a hold and its
    // release, a greeting in two pieces with a pause between, two lines, and the
    // device going away. The window opens once however often it is asked for.
    void sessionRowsAndSave()
    {
        start();
        const QList<QAction*> edit = m_window->ui().edit_file->actions();
        const qsizetype ports = edit.indexOf(m_window->ui().serialPorts);
        QCOMPARE(edit.value(ports + 1)->text(), QStringLiteral("Line &Monitor..."));
        QWidget* monitor = openMonitor();
        Pty& pty = m_fixture->pty();

        m_fixture->connectRs232();
        enableLinkControls();
        m_now = m_now.addSecs(1);
        click("Pluse");
        QVERIFY(pty.waitFor("PARPDL\r\n"));
        m_now = m_now.addSecs(1);
        QVERIFY(pty.write("\x13"));
        QTRY_VERIFY(m_window->MSComm1().held());
        m_now = m_now.addMSecs(2345);
        QVERIFY(pty.write("\x11"));
        QTRY_VERIFY(!m_window->MSComm1().held());
        m_now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 8));
        QVERIFY(pty.write("SIM"));
        QTest::qWait(LineMonitorLog::QuietGapMs + 200);
        QVERIFY(pty.write(" READY\r\nM\xdcLLER\t1\r\n"));
        QTest::qWait(100);
        m_now = m_now.addSecs(1);
        m_fixture->dialogs().expectMessage(
            QStringLiteral("The connection to %1 was lost. Connect it again and press Connect to go on.")
                .arg(pty.slaveName()),
            QStringLiteral("Connection Lost"));
        pty.closeMaster();
        QTRY_VERIFY(!m_window->MSComm1().portOpen());
        QCOMPARE(openMonitor(), monitor);

        const QString lost
            = QStringLiteral("Device lost: The connection to %1 was lost.").arg(pty.slaveName());
        // The view shows the rows as the save writes them, after its heading.
        const QByteArray saved
            = "Time\tDirection\tText\tHex\r\n"
              "09:05:03.000\t\tConnect\t\r\n"
              "09:05:03.000\tSent\tCOM<CR><LF>\t43 4F 4D 0D 0A\r\n"
              "09:05:04.000\t\tPort closed and opened again\t\r\n"
              "09:05:04.000\tSent\tPARPDL<CR><LF>\t50 41 52 50 44 4C 0D 0A\r\n"
              "09:05:05.000\tReceived\t<XOFF>\t13\r\n"
              "09:05:05.000\t\tHeld by the controller\t\r\n"
              "09:05:07.345\tReceived\t<XON>\t11\r\n"
              "09:05:07.345\t\tReleased after 2.345 s\t\r\n"
              "09:05:08.000\tReceived\tSIM\t53 49 4D\r\n"
              "09:05:08.000\tReceived\t READY<CR><LF>\t20 52 45 41 44 59 0D 0A\r\n"
              "09:05:08.000\tReceived\tM\xc3\x9cLLER<0x09>1<CR><LF>\t4D DC 4C 4C 45 52 09 31 0D 0A\r\n"
            + QStringLiteral("09:05:09.000\t\t%1\t\r\n").arg(lost).toUtf8();
        QStringList shown = QString::fromUtf8(saved).split(QStringLiteral("\r\n"));
        shown = shown.mid(1, shown.size() - 2);
        auto* rows = monitor->findChild<QTableView*>(QStringLiteral("rows"));
        QTRY_COMPARE(shownRows(*rows), shown);

        // Hex on demand.
        QVERIFY(rows->isColumnHidden(LineMonitorLog::HexColumn));
        clickControl(monitor->findChild<QCheckBox*>(QStringLiteral("showHex")));
        QVERIFY(!rows->isColumnHidden(LineMonitorLog::HexColumn));

        const QString path = m_environment.filePath(QStringLiteral("monitor.txt"));
        m_fixture->dialogs().expectSaveFile(path, QStringLiteral("Save Line Monitor"));
        clickControl(monitor->findChild<QWidget*>(QStringLiteral("save")));
        QCOMPARE(fileBytes(path), saved);
        // The received-content box is the receive path's as ever.
        QCOMPARE(m_window->ui().Text1->toPlainText(), QStringLiteral("SIM READY\nM\u00dcLLER\t1\n"));
    }

    // The record, switched on and given a folder, kept in the settings; with the
    // monitor window closed, Connect starts a file named by its time and a dump of
    // 30,000 lines arrives in it whole.
    void sessionRecord()
    {
        start();
        QWidget* monitor = openMonitor();
        const QString folder = m_environment.filePath(QStringLiteral("records"));
        clickControl(monitor->findChild<QCheckBox*>(QStringLiteral("record")));
        m_fixture->dialogs().expectFolder(folder, QStringLiteral("Folder for Session Records"));
        clickControl(monitor->findChild<QWidget*>(QStringLiteral("folder")));
        QCOMPARE(m_fixture->settings().value("Monitor", "Record"), QStringLiteral("True"));
        QCOMPARE(m_fixture->settings().value("Monitor", "Folder"), folder);
        monitor->close();

        m_fixture->connectRs232();
        QByteArray expected("Time\tDirection\tText\tHex\r\n"
                            "09:05:03.000\t\tConnect\t\r\n"
                            "09:05:03.000\tSent\tCOM<CR><LF>\t43 4F 4D 0D 0A\r\n");
        // On disk as it comes, not when the file closes.
        const QString path = folder + QStringLiteral("/session-2026-12-07-0905-03.txt");
        QTRY_COMPARE(fileBytes(path), expected);
        QByteArray dump;
        for (int n = 1; n <= 30000; ++n) {
            const QByteArray line = "RECORD " + QByteArray::number(n).rightJustified(5, '0') + "\r\n";
            dump += line;
            expected += "09:05:03.000\tReceived\t" + line.chopped(2) + "<CR><LF>\t"
                + line.toHex(' ').toUpper() + "\r\n";
        }
        writeInChunks(dump, 64 * 1024);
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(path).size(), expected.size(), 30000);
        QCOMPARE(fileBytes(path), expected);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { "session-2026-12-07-0905-03.txt" });
    }

    // Past its bound the monitor drops its oldest rows and says so; what it keeps is
    // the newest.
    void oldestRowsGo()
    {
        start();
        m_window->findChild<LineMonitorLog*>()->setLimitBytes(16 * 1024);
        QWidget* monitor = openMonitor();
        auto* note = monitor->findChild<QLabel*>(QStringLiteral("trimmedLabel"));
        QVERIFY(!note->isVisible());
        m_fixture->connectRs232();
        QByteArray dump;
        for (int n = 1; n <= 2000; ++n)
            dump += "LINE " + QByteArray::number(n).rightJustified(4, '0') + "\r\n";
        writeInChunks(dump, 4096);
        auto* rows = monitor->findChild<QTableView*>(QStringLiteral("rows"));
        QTRY_COMPARE(shownRows(*rows).value(shownRows(*rows).size() - 1),
            QStringLiteral("09:05:03.000\tReceived\tLINE 2000<CR><LF>\t4C 49 4E 45 20 32 30 30 30 0D 0A"));
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().startsWith(QStringLiteral("The oldest ")), qPrintable(note->text()));
        QVERIFY(rows->model()->rowCount() < 1000);
        QVERIFY(shownRows(*rows).constFirst() != QStringLiteral("09:05:03.000\t\tConnect\t"));
    }

private:
    // The main window, every row stamped with the time the test says.
    void start()
    {
        openWindow();
        m_now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
        m_window->findChild<LineMonitorLog*>()->setClock([this] { return m_now; });
    }

    // Edit > Line Monitor...: the window it shows.
    QWidget* openMonitor()
    {
        m_window->findChild<QAction*>(QStringLiteral("lineMonitor"))->trigger();
        auto* monitor = m_window->findChild<QWidget*>(QStringLiteral("LineMonitorWindow"));
        if (!monitor || !monitor->isVisible())
            QTest::qFail("the line monitor is not shown", __FILE__, __LINE__);
        return monitor;
    }

    // Each row the view shows, its columns joined by tabs as a saved line.
    static QStringList shownRows(const QTableView& view)
    {
        QStringList rows;
        const QAbstractItemModel& model = *view.model();
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column <= LineMonitorLog::HexColumn; ++column)
                cells << model.index(row, column).data().toString();
            rows << cells.join(QLatin1Char('\t'));
        }
        return rows;
    }

    // The far end sends as fast as the terminal takes it.
    void writeInChunks(const QByteArray& bytes, qsizetype chunk)
    {
        const int fd = m_fixture->pty().masterFd();
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n
                = ::write(fd, bytes.constData() + done, size_t(std::min(chunk, bytes.size() - done)));
            if (n > 0)
                done += n;
            else
                QTest::qWait(5);
        }
    }

    QDateTime m_now;
};

QTEST_MAIN(LineMonitorTest)
#include "tst_link_monitor.moc"
