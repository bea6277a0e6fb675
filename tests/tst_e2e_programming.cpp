// Whole programming runs: the tool and the controller simulator over a
// pseudo-terminal, driven through the real main window and editor.
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Vestibar.h"
#include "form1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextEdit>
#include <QTime>
#include <QTimer>
#include <QtTest>

namespace {

// The simulator on a pty of its own, for the length of one test.
class Simulator
{
public:
    explicit Simulator(const QStringList& arguments = {})
    {
        m_process.setProgram(qEnvironmentVariable("VESTIBAR_SIM"));
        m_process.setArguments(arguments);
        m_process.start();
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000))
            m_device = QString::fromLocal8Bit(m_process.readLine().trimmed());
    }
    ~Simulator()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
    QString device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};

template <typename T = QAbstractButton> T* child(QWidget& window, const char* name)
{
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

QString receivedText(form1& window)
{
    QWidget* box = child<QWidget>(window, "Text1");
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(box))
        return rich->toPlainText();
    return {};
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The lines of a file that begin with kind, blanks kept.
QList<QByteArray> recordLines(const QByteArray& text, const QByteArray& kind)
{
    QList<QByteArray> lines;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith(kind))
            lines << (line.endsWith('\r') ? line.chopped(1) : line);
    }
    return lines;
}

} // namespace

class tst_e2e_programming : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tenantsSentAndDumpedBack();
    void modemFrontConnects();

private:
    // Builds the window with port 1 on the simulator's device and shows it.
    form1& openWindow(const QString& device, bool rs232, const QString& phone);
    void waitForReceived(const QString& needle, int timeoutMs = 10000);
    void enterMasterCode();
    void dumpTenantsInto(const QString& logPath);

    std::unique_ptr<TestEnvironment> m_environment;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<form1> m_window;
};

void tst_e2e_programming::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("VESTIBAR_SIM"))
        QSKIP("the simulator is not built");
    m_environment = std::make_unique<TestEnvironment>();
}

void tst_e2e_programming::init()
{
    m_environment->clearSettings();
    m_settings = std::make_unique<SettingsStore>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

void tst_e2e_programming::cleanup()
{
    if (m_window) {
        m_window->close();
        m_window.reset();
    }
    QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->report()));
}

form1& tst_e2e_programming::openWindow(const QString& device, bool rs232, const QString& phone)
{
    m_settings->setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), device);
    m_settings->setValue(QString::fromLatin1(SettingsStore::Properties), QStringLiteral("ph"), phone);
    m_window = Vestibar::createMainWindow(*m_settings, *m_dialogs);
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the main window did not become active");
    clickControl(child(*m_window, "Option1"));
    clickControl(child(*m_window, rs232 ? "Option7" : "Option8"));
    return *m_window;
}

void tst_e2e_programming::waitForReceived(const QString& needle, int timeoutMs)
{
    QTRY_VERIFY2_WITH_TIMEOUT(receivedText(*m_window).contains(needle),
        qPrintable(QStringLiteral("waiting for \"%1\" in:\n%2").arg(needle, receivedText(*m_window))),
        timeoutMs);
}

void tst_e2e_programming::enterMasterCode()
{
    auto* code = child<QLineEdit>(*m_window, "Text3");
    QVERIFY(code);
    clickControl(code);
    QTest::keyClicks(code, QStringLiteral("1234"));
    QTest::keyClick(code, Qt::Key_Return);
    waitForReceived(QStringLiteral("PROGRAMMING MODE ON"));
    QVERIFY(child(*m_window, "upload")->isEnabled());
    QVERIFY(child(*m_window, "download")->isEnabled());
}

void tst_e2e_programming::dumpTenantsInto(const QString& logPath)
{
    const int dumpsBefore = receivedText(*m_window).count(QStringLiteral("END OF TNT"));
    clickControl(child(*m_window, "upload"));
    m_dialogs->expectOpenFile(logPath, QStringLiteral("Open Communications Log Tenant File"));
    clickControl(child(*m_window, "up_tnt"));
    QVERIFY(child(*m_window, "Command3")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(
        receivedText(*m_window).count(QStringLiteral("END OF TNT")) > dumpsBefore, 15000);
    clickControl(child(*m_window, "Command3"));
    QCOMPARE(m_window->logFileNumber(), 0);
}

void tst_e2e_programming::tenantsSentAndDumpedBack()
{
    Simulator simulator;
    QVERIFY2(!simulator.device().isEmpty(), "the simulator gave no device");
    form1& window = openWindow(simulator.device(), true, QStringLiteral("1"));

    clickControl(child(window, "connect"));
    waitForReceived(QStringLiteral("SIMULATOR READY"));
    enterMasterCode();
    clickControl(child(window, "download"));
    QVERIFY(child(window, "sendfileg")->isEnabled());

    // A parameter, a welcome message with its blanks and a Latin-1 letter, the clock.
    auto* callHold = child<QLineEdit>(window, "medit1");
    clickControl(callHold);
    QTest::keyClicks(callHold, QStringLiteral("5"));
    clickControl(child(window, "uptalktime"));
    waitForReceived(QStringLiteral("PARCHT 5 OK"));
    auto* welcome = child<QLineEdit>(window, "MsgWel");
    clickControl(welcome);
    QTest::keyClicks(welcome, QStringLiteral(" Caf"));
    QTest::sendKeyEvent(QTest::Click, welcome, Qt::Key_Eacute, QStringLiteral("\u00e9"), Qt::NoModifier);
    QTest::keyClicks(welcome, QStringLiteral("  au lait "));
    clickControl(child(window, "message"));
    waitForReceived(QStringLiteral("PARMSG  Caf\u00e9  au lait  OK"));
    clickControl(child(window, "RtRTc"));
    waitForReceived(QStringLiteral("TIME SET TO ") + QTime::currentTime().toString(QStringLiteral("HH:")));
    clickControl(child(window, "date"));
    waitForReceived(
        QStringLiteral("DATE SET TO ") + QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
    clickControl(child(window, "upload"));
    clickControl(child(window, "up_par"));
    waitForReceived(QStringLiteral("END OF PAR"));
    QVERIFY(receivedText(window).contains(QStringLiteral("\nPARCHT 5\nPARMSG  Caf\u00e9  au lait \n")));

    // Three tenants built in the tenant editor, saved under a new name.
    const QString tenantFile = m_environment->filePath(QStringLiteral("building.TNT"));
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
                auto* box = child<QLineEdit>(*editor, i == 0 ? "dirtenant" : i == 1 ? "teltenant" : "Text2");
                clickControl(box);
                QTest::keyClick(box, Qt::Key_Home);
                QTest::keyClicks(box, tenant[i]);
            }
            clickControl(child(*editor, "ent"));
        }
        m_dialogs->expectSaveFile(tenantFile);
        clickControl(child(*editor, "tntsaveas"));
        clickControl(child(*editor, "qui"));
    });
    child<QAction>(window, "new_tenant")->trigger();
    QVERIFY(editorSeen);
    const QList<QByteArray> sent = recordLines(fileBytes(tenantFile), "TNT");
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.first(), QByteArray("TNTDIR:12TEL:5550112 NAME:J SMITH"));

    m_dialogs->expectOpenFile(tenantFile, QStringLiteral("Open Communication File"));
    clickControl(child(window, "sendfileg")); // returns once the send has ended
    QCOMPARE(window.panelText(3), QStringLiteral("Send Record:  3"));
    QTRY_COMPARE_WITH_TIMEOUT(receivedText(window).count(QStringLiteral("STORED")), 3, 10000);

    // The dump logged into a file holds exactly the records of the file.
    const QString log = m_environment->filePath(QStringLiteral("dump1.TNT"));
    dumpTenantsInto(log);
    QCOMPARE(recordLines(fileBytes(log), "TNT"), sent);

    // A cleared tenant is gone from the next dump.
    auto* directory = child<QLineEdit>(window, "medittnt");
    clickControl(directory);
    QTest::keyClick(directory, Qt::Key_Home); // the window lost its activation to the closed editor
    QTest::keyClicks(directory, QStringLiteral("12"));
    m_dialogs->expectMessage(QStringLiteral("Do you really want to delete Tenant DataBase ?"),
        QStringLiteral("Delete Confirmation"), Dialogs::Answer::Yes);
    clickControl(child(window, "cleartnt"));
    waitForReceived(QStringLiteral("DELETED"));
    const QString secondLog = m_environment->filePath(QStringLiteral("dump2.TNT"));
    dumpTenantsInto(secondLog);
    QCOMPARE(recordLines(fileBytes(secondLog), "TNT"), sent.mid(1));

    clickControl(child(window, "endg"));
    waitForReceived(QStringLiteral("PROGRAMMING MODE OFF"));
    clickControl(child(window, "close1"));
    QVERIFY(!window.MSComm1().portOpen());
}

void tst_e2e_programming::modemFrontConnects()
{
    Simulator simulator({ QStringLiteral("--modem") });
    QVERIFY2(!simulator.device().isEmpty(), "the simulator gave no device");
    m_settings->setValue(
        QString::fromLatin1(SettingsStore::Properties), QStringLiteral("sett"), QStringLiteral("ATZ"));
    form1& window = openWindow(simulator.device(), false, QStringLiteral("5551234"));

    clickControl(child(window, "connect"));
    waitForReceived(QStringLiteral("CONNECT 1200"));
    waitForReceived(QStringLiteral("SIMULATOR READY"));
    enterMasterCode();
    clickControl(child(window, "close1"));
    QVERIFY(!window.MSComm1().portOpen());
}

QTEST_MAIN(tst_e2e_programming)
#include "tst_e2e_programming.moc"
