// Whole programming runs: the tool and the controller simulator over a
// pseudo-terminal, driven through the real main window and editor.
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <QtTest>

namespace {

// The lines of a file that begin with kind, blanks kept.
QList<QByteArray> recordLines(const QString& path, const QByteArray& kind)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QList<QByteArray> lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(kind))
            lines << (line.endsWith('\r') ? line.chopped(1) : line);
    }
    return lines;
}

} // namespace

class tst_e2e_programming : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    QProcess m_simulator; // on a pty of its own, for the length of one test
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;

    template <typename T = QWidget> T* child(const char* name) const
    {
        return m_window->findChild<T*>(QLatin1String(name));
    }
    QString received() const { return child<QPlainTextEdit>("Text1")->toPlainText(); }
    void waitForReceived(const QString& needle, int timeoutMs = 10000)
    {
        QTRY_VERIFY2_WITH_TIMEOUT(received().contains(needle),
            qPrintable(QStringLiteral("waiting for \"%1\" in:\n%2").arg(needle, received())), timeoutMs);
    }
    // The simulator started, port 1 on its device, the mode chosen, Connect pressed, the
    // master code given.
    void connectTo(const QStringList& arguments, const char* mode, const QString& greeting)
    {
        m_simulator.start(qEnvironmentVariable("VESTIBAR_SIM"), arguments);
        QVERIFY(m_simulator.waitForStarted(5000) && m_simulator.waitForReadyRead(5000));
        const QString device = QString::fromLocal8Bit(m_simulator.readLine().trimmed());
        m_fixture->settings().setValue("Ports", "COM1", device);
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        clickControl(child("Option1"));
        clickControl(child(mode));
        clickControl(child("connect"));
        waitForReceived(greeting);
        waitForReceived(QStringLiteral("SIMULATOR READY"));
        auto* code = child<QLineEdit>("Text3");
        clickControl(code);
        QTest::keyClicks(code, QStringLiteral("1234"));
        QTest::keyClick(code, Qt::Key_Return);
        waitForReceived(QStringLiteral("PROGRAMMING MODE ON"));
    }
    void type(const char* box, const QString& text)
    {
        clickControl(child(box));
        QTest::keyClick(child(box), Qt::Key_Home); // the window may have lost its activation to an editor
        QTest::keyClicks(child(box), text);
    }
    // The tenant dump logged into a new file; returns its tenant lines.
    QList<QByteArray> dumpTenants(const QString& name)
    {
        const QString log = m_environment.filePath(name);
        const int dumpsBefore = received().count(QStringLiteral("END OF TNT"));
        clickControl(child("upload"));
        m_fixture->dialogs().expectOpenFile(log, QStringLiteral("Open Communications Log Tenant File"));
        clickControl(child("up_tnt"));
        [&] {
            QVERIFY(child("Command3")->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(received().count(QStringLiteral("END OF TNT")) > dumpsBefore, 15000);
            clickControl(child("Command3"));
            QCOMPARE(m_window->logFileNumber(), 0);
        }();
        return recordLines(log, "TNT");
    }

private slots:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("VESTIBAR_SIM"))
            QSKIP("the simulator is not built");
        m_environment.clearSettings();
        m_fixture = std::make_unique<MainWindowFixture>();
    }

    void cleanup()
    {
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
        m_fixture.reset();
        m_window = nullptr;
        m_simulator.terminate();
        if (!m_simulator.waitForFinished(3000))
            m_simulator.kill();
    }

    void tenantsSentAndDumpedBack()
    {
        connectTo({}, "Option7", QStringLiteral("SIM: VESTIBAR CONTROLLER SIMULATOR READY"));
        clickControl(child("download"));

        // Parameters by button and by Enter, a welcome message with its blanks and a
        // Latin-1 letter, a fixed command: the controller's parameter dump holds them.
        type("medit1", QStringLiteral("5"));
        clickControl(child("uptalktime"));
        type("medit2", QStringLiteral("7"));
        QTest::keyClick(child("medit2"), Qt::Key_Return);
        type("MsgWel", QStringLiteral(" Caf"));
        QTest::sendKeyEvent(
            QTest::Click, child("MsgWel"), Qt::Key_Eacute, QStringLiteral("\u00e9"), Qt::NoModifier);
        QTest::keyClicks(child("MsgWel"), QStringLiteral("  au lait "));
        clickControl(child("message"));
        clickControl(child("Pluse"));
        clickControl(child("RtRTc"));
        waitForReceived(
            QStringLiteral("TIME SET TO ") + QTime::currentTime().toString(QStringLiteral("HH:")));
        clickControl(child("date"));
        waitForReceived(
            QStringLiteral("DATE SET TO ") + QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
        clickControl(child("upload"));
        clickControl(child("up_par"));
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
                    auto* box = editor->findChild<QLineEdit*>(i == 0 ? "dirtenant"
                            : i == 1                                 ? "teltenant"
                                                                     : "Text2");
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
        child<QAction>("new_tenant")->trigger();
        QVERIFY(editorSeen);
        const QList<QByteArray> sent = recordLines(tenantFile, "TNT");
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent.first(), QByteArray("TNTDIR:12TEL:5550112 NAME:J SMITH"));

        m_fixture->dialogs().expectOpenFile(tenantFile, QStringLiteral("Open Communication File"));
        clickControl(child("sendfileg")); // returns once the send has ended
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  3"));
        QTRY_COMPARE_WITH_TIMEOUT(received().count(QStringLiteral("STORED")), 3, 10000);

        // The dump logged into a file holds exactly the records of the file; a cleared
        // tenant is gone from the next dump.
        QCOMPARE(dumpTenants(QStringLiteral("dump1.TNT")), sent);
        type("medittnt", QStringLiteral("12"));
        m_fixture->dialogs().expectMessage(QStringLiteral("Do you really want to delete Tenant DataBase ?"),
            QStringLiteral("Delete Confirmation"), Dialogs::Answer::Yes);
        clickControl(child("cleartnt"));
        waitForReceived(QStringLiteral("SIM: TNT 12 DELETED"));
        QCOMPARE(dumpTenants(QStringLiteral("dump2.TNT")), sent.mid(1));

        clickControl(child("endg"));
        waitForReceived(QStringLiteral("PROGRAMMING MODE OFF"));
        clickControl(child("close1"));
        QVERIFY(!m_window->MSComm1().portOpen());
    }

    void modemFrontConnects()
    {
        m_fixture->settings().setValue("Properties", "sett", "ATZ");
        m_fixture->settings().setValue("Properties", "ph", "5551234");
        connectTo({ QStringLiteral("--modem") }, "Option8", QStringLiteral("CONNECT 1200"));
        clickControl(child("close1"));
        QVERIFY(!m_window->MSComm1().portOpen());
    }
};

QTEST_MAIN(tst_e2e_programming)
#include "tst_e2e_programming.moc"
