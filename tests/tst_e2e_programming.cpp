// A whole programming run: the tool and the controller simulator over a
// pseudo-terminal, driven through the real main window and editor.
#include "LinkSession.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <QtTest>

namespace {

// The lines of a file that begin with kind, blanks kept.
QList<QByteArray> recordLines(const QString& path, const QByteArray& kind)
{
    QList<QByteArray> lines;
    for (const QByteArray& line : fileBytes(path).split('\n')) {
        if (line.startsWith(kind))
            lines << (line.endsWith('\r') ? line.chopped(1) : line);
    }
    return lines;
}

} // namespace

class tst_e2e_programming : public WindowTest
{
    Q_OBJECT

    QProcess m_simulator; // on a pty of its own, for the length of one test

    QString received() const { return control<QPlainTextEdit>("Text1")->toPlainText(); }
    void waitForReceived(const QString& needle, int timeoutMs = 10000)
    {
        QTRY_VERIFY2_WITH_TIMEOUT(received().contains(needle),
            qPrintable(QStringLiteral("waiting for \"%1\" in:\n%2").arg(needle, received())), timeoutMs);
    }
    void type(const char* box, const QString& text)
    {
        click(box);
        QTest::keyClick(control(box), Qt::Key_Home); // the window may have lost its activation to an editor
        QTest::keyClicks(control(box), text);
    }
    // The tenant dump logged into a new file; returns its tenant lines.
    QList<QByteArray> dumpTenants(const QString& name)
    {
        const QString log = m_environment.filePath(name);
        const int dumpsBefore = received().count(QStringLiteral("END OF TNT"));
        click("upload");
        m_fixture->dialogs().expectOpenFile(log, QStringLiteral("Open Communications Log Tenant File"));
        click("up_tnt");
        [&] {
            QVERIFY(control("Command3")->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(received().count(QStringLiteral("END OF TNT")) > dumpsBefore, 15000);
            click("Command3");
            QCOMPARE(m_window->logFileNumber(), 0);
        }();
        return recordLines(log, "TNT");
    }

private slots:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("VESTIBAR_SIM"))
            QSKIP("the simulator is not built");
        openWindow(false);
    }

    void cleanup()
    {
        closeWindow();
        m_simulator.terminate();
        if (!m_simulator.waitForFinished(3000))
            m_simulator.kill();
    }

    void tenantsSentAndDumpedBack()
    {
        // The simulator started, port 1 on its device, the direct line chosen, Connect
        // pressed, the master code given.
        m_simulator.start(qEnvironmentVariable("VESTIBAR_SIM"), {});
        QVERIFY(m_simulator.waitForStarted(5000) && m_simulator.waitForReadyRead(5000));
        const QString device = QString::fromLocal8Bit(m_simulator.readLine().trimmed());
        m_fixture->settings().setValue("Ports", "COM1", device);
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        click("Option1");
        click("Option7");
        click("connect");
        waitForReceived(QStringLiteral("SIM: VESTIBAR CONTROLLER SIMULATOR READY"));
        type("Text3", QStringLiteral("1234"));
        QTest::keyClick(control("Text3"), Qt::Key_Return);
        waitForReceived(QStringLiteral("PROGRAMMING MODE ON"));
        // The buttons become usable once the code has left, just after the reply began.
        settle();
        click("download");

        // Parameters by button and by Enter, a welcome message with its blanks and a
        // Latin-1 letter, a fixed command: the controller's parameter dump holds them.
        type("medit1", QStringLiteral("5"));
        click("uptalktime");
        type("medit2", QStringLiteral("7"));
        QTest::keyClick(control("medit2"), Qt::Key_Return);
        type("MsgWel", QStringLiteral(" Caf"));
        QTest::sendKeyEvent(
            QTest::Click, control("MsgWel"), Qt::Key_Eacute, QStringLiteral("\u00e9"), Qt::NoModifier);
        QTest::keyClicks(control("MsgWel"), QStringLiteral("  au lait "));
        click("message");
        click("Pluse");
        // The clock lines carry the PC's own clock.
        click("RtRTc");
        click("date");
        waitForReceived(QStringLiteral("TIME SET TO ") + QTime::currentTime().toString("HH:"));
        waitForReceived(QStringLiteral("DATE SET TO ") + QDate::currentDate().toString("MM/dd/yyyy"));
        click("upload");
        click("up_par");
        waitForReceived(QStringLiteral("END OF PAR"));
        QVERIFY2(
            received().contains(QStringLiteral("\nPARCHT 5\nPARDOT1 7\nPARMSG  Caf\u00e9  au lait \nPARPDL\n"
                                               "SIM: END OF PAR, LINES: 4\n")),
            qPrintable(received()));

        // Three tenants built in the tenant editor, saved under a new name.
        const QString tenantFile = m_environment.filePath(QStringLiteral("building.TNT"));
        const QList<QStringList> tenants
            = { { "12", "5550112", "J SMITH" }, { "0042", "5550142", "A B JONES" }, { "7", "", "" } };
        bool editorSeen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            QCOMPARE(editor->objectName(), QStringLiteral("tntform"));
            editorSeen = true;
            // The modal editor never becomes the active window offscreen, so the focusing
            // click is followed by Home, which puts the caret where that click would.
            for (const QStringList& tenant : tenants) {
                for (int i = 0; i < 3; ++i) {
                    auto* box
                        = editor->findChild<QLineEdit*>(QStringList { "dirtenant", "teltenant", "Text2" }[i]);
                    clickControl(box);
                    QTest::keyClick(box, Qt::Key_Home);
                    QTest::keyClicks(box, tenant[i]);
                }
                clickControl(editor->findChild<QWidget*>("ent"));
            }
            m_fixture->dialogs().expectSaveFile(tenantFile);
            clickControl(editor->findChild<QWidget*>("tntsaveas"));
            clickControl(editor->findChild<QWidget*>("qui"));
        });
        m_window->findChild<QAction*>("new_tenant")->trigger();
        QVERIFY(editorSeen);
        const QList<QByteArray> sent = recordLines(tenantFile, "TNT");
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent.first(), QByteArray("TNTDIR:12TEL:5550112 NAME:J SMITH"));

        m_fixture->dialogs().expectOpenFile(tenantFile, QStringLiteral("Open Communication File"));
        click("sendfileg");
        settle(30000);
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  3"));
        QTRY_COMPARE_WITH_TIMEOUT(received().count(QStringLiteral("STORED")), 3, 10000);

        // The dump logged into a file holds exactly the records of the file; a cleared
        // tenant is gone from the next dump.
        QCOMPARE(dumpTenants(QStringLiteral("dump1.TNT")), sent);
        type("medittnt", QStringLiteral("12"));
        m_fixture->dialogs().expectMessage(QStringLiteral("Do you really want to delete Tenant DataBase ?"),
            QStringLiteral("Delete Confirmation"), Dialogs::Answer::Yes);
        click("cleartnt");
        waitForReceived(QStringLiteral("SIM: TNT 12 DELETED"));
        QCOMPARE(dumpTenants(QStringLiteral("dump2.TNT")), sent.mid(1));

        click("endg");
        waitForReceived(QStringLiteral("PROGRAMMING MODE OFF"));
        click("close1");
        settle();
        QVERIFY(!m_window->MSComm1().portOpen());
    }
};

QTEST_MAIN(tst_e2e_programming)
#include "tst_e2e_programming.moc"
