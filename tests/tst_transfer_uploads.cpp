// Dumps into log files: the log-file dialog and its replace question, what lands
// in the file, and which buttons close the log or enable "Send".
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <optional>

using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

class UploadsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void existingLog_data();
    void existingLog();
    void unusableLog_data();
    void unusableLog();
    void logUploadsAndSend_data();
    void logUploadsAndSend();
    void anotherUploadSwitchesTheLog();
    void closingAndKeepingButtons_data();
    void closingAndKeepingButtons();

private:
    QAbstractButton* button(const char* name) { return m_window->findChild<QAbstractButton*>(name); }
    bool openPort();
    void receive(const QByteArray& bytes);
    void expectReplace(const QString& path, Answer answer);
    static QByteArray fileBytes(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
    QString m_logPath;
};

void UploadsTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->findChild<QRadioButton*>("Option8")->setChecked(true);
    QVERIFY(openPort());
    button("upload")->setEnabled(true);
    QTest::mouseClick(button("upload"), Qt::LeftButton);
    m_logPath = m_environment.filePath(QStringLiteral("dump.TNT"));
    QFile::remove(m_logPath);
}

void UploadsTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

bool UploadsTest::openPort()
{
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    return port.open().ok;
}

void UploadsTest::receive(const QByteArray& bytes)
{
    auto* box = m_window->findChild<QPlainTextEdit*>("Text1");
    const QString before = box->toPlainText();
    QVERIFY(m_fixture->pty().write(bytes));
    QTRY_VERIFY(box->toPlainText().size() > before.size());
}

void UploadsTest::expectReplace(const QString& path, Answer answer)
{
    m_fixture->dialogs().expectMessage(QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
        Dialogs::applicationTitle(), answer, Buttons::YesNoCancel, Icon::Question);
}

QByteArray UploadsTest::fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void UploadsTest::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void UploadsTest::existingLog_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("No appends") << int(Answer::No) << QByteArray("OLD\r\nNEW\r\n");
    QTest::newRow("Yes replaces") << int(Answer::Yes) << QByteArray("NEW\r\n");
}

void UploadsTest::existingLog()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, content);
    writeFile(m_logPath, "OLD\r\n");
    // Cancel in the question shows the dialog again, with an empty name.
    m_fixture->dialogs().expectOpenFile(m_logPath);
    expectReplace(m_logPath, Answer::Cancel);
    m_fixture->dialogs().expectOpenFile(m_logPath);
    expectReplace(m_logPath, Answer(answer));
    QTest::mouseClick(button("up_tnt"), Qt::LeftButton);
    QVERIFY(m_fixture->pty().waitFor("PRITNT\r\n"));
    QVERIFY(m_fixture->dialogs().fileRequests().constLast().fileName.isEmpty());
    receive("NEW\r\n");
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QCOMPARE(fileBytes(m_logPath), content);
}

void UploadsTest::unusableLog_data()
{
    QTest::addColumn<QString>("name"); // in the test folder
    QTest::addColumn<int>("answer"); // to the replace question; Ok: none asked
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("sent");

    // A path no log can be made at: nothing is asked of the controller.
    QTest::newRow("missing folder") << "none/dump.TNT" << int(Answer::Ok) << "No such file or directory"
                                    << false;
    QTest::newRow("a file in the way") << "plain/dump.TNT" << int(Answer::Ok) << "Not a directory" << false;
    // An old log that cannot be written: Yes keeps it whole and asks for nothing;
    // No sends the command without a log.
    QTest::newRow("read-only log, Yes") << "ro/dump.TNT" << int(Answer::Yes) << "Permission denied" << false;
    QTest::newRow("read-only log, No") << "ro/dump.TNT" << int(Answer::No) << "Permission denied" << true;
}

void UploadsTest::unusableLog()
{
    QFETCH(QString, name);
    QFETCH(int, answer);
    QFETCH(QString, reason);
    QFETCH(bool, sent);
    const QString path = m_environment.filePath(name);
    writeFile(m_environment.filePath(QStringLiteral("plain")), "a plain file");
    const bool readOnly = name.startsWith(QLatin1String("ro/"));
    if (readOnly) {
        // Others may pass through and write in the folder; only the log is read-only.
        QVERIFY(QDir().mkpath(m_environment.filePath(QStringLiteral("ro"))));
        writeFile(path, "OLD\r\n");
        QFile::setPermissions(m_environment.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther | QFile::ExeGroup);
        QFile::setPermissions(m_environment.filePath(QStringLiteral("ro")), QFileDevice::Permissions(0x7777));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    std::optional<Unprivileged> user;
    if (readOnly && !user.emplace().effective())
        QSKIP("running as root, and root could not be left");
    m_fixture->dialogs().expectOpenFile(path);
    if (answer != int(Answer::Ok))
        expectReplace(path, Answer(answer));
    m_fixture->dialogs().expectMessage(
        reason, Dialogs::applicationTitle(), Answer::Ok, Buttons::Ok, Icon::Exclamation);
    QTest::mouseClick(button("up_tnt"), Qt::LeftButton);
    user.reset();

    if (sent)
        QVERIFY(m_fixture->pty().waitFor("PRITNT\r\n"));
    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(m_fixture->pty().received(), sent ? QByteArray("PRITNT\r\n") : QByteArray());
    QVERIFY(!button("Command3")->isVisible());
    if (readOnly)
        QCOMPARE(fileBytes(path), QByteArray("OLD\r\n"));
    else
        QVERIFY(!QFile::exists(path));
}

void UploadsTest::logUploadsAndSend_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("enablesSend");
    QTest::newRow("ATS") << "atsc"
                         << "Open Communications Log AutoSchedule File" << QByteArray("PRIATS\r\n") << true;
    QTest::newRow("ACD") << "Command2"
                         << "Open Communications Log AcesseCode File" << QByteArray("PRIACD\r\n") << true;
    QTest::newRow("HLD") << "hldc"
                         << "Open Communications Log Holiday File" << QByteArray("PRIHLD\r\n") << false;
    QTest::newRow("TMZ") << "tmzc"
                         << "Open Communications Log TimeZone File" << QByteArray("PRITMZ\r\n") << true;
    QTest::newRow("EVR") << "up_evr"
                         << "Open Communications Log Event File" << QByteArray("PRIEVR\r\n") << true;
    QTest::newRow("TNT") << "up_tnt"
                         << "Open Communications Log Tenant File" << QByteArray("PRITNT\r\n") << true;
    QTest::newRow("ALL, no dialog") << "up_all" << QString() << QByteArray("PRIALL\r\n") << true;
    QTest::newRow("PAR, no dialog") << "up_par" << QString() << QByteArray("PRIPAR\r\n") << false;
}

void UploadsTest::logUploadsAndSend()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QByteArray, line);
    QFETCH(bool, enablesSend);
    button("download")->setEnabled(false);
    if (!title.isEmpty())
        m_fixture->dialogs().expectOpenFile(std::nullopt, title);
    QTest::mouseClick(button(qPrintable(name)), Qt::LeftButton);
    QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().drain(), QByteArray());
    QCOMPARE(m_fixture->pty().received(), line);
    QCOMPARE(button("download")->isEnabled(), enablesSend);
    // A cancelled log dialog: the command goes out without a log.
    QVERIFY(!button("Command3")->isVisible());
}

void UploadsTest::anotherUploadSwitchesTheLog()
{
    const QString eventLog = m_environment.filePath(QStringLiteral("events.evr"));
    QFile::remove(eventLog);
    m_fixture->dialogs().expectOpenFile(m_logPath);
    QTest::mouseClick(button("up_tnt"), Qt::LeftButton);
    receive("FIRST HALF\r\n");

    // The rest of the dump goes to the new log; a name typed with another
    // extension than the filter's is used as typed.
    m_fixture->dialogs().expectOpenFile(eventLog, QStringLiteral("Open Communications Log Event File"));
    QTest::mouseClick(button("up_evr"), Qt::LeftButton);
    receive("SECOND HALF\r\n");
    QTest::mouseClick(button("Command3"), Qt::LeftButton);

    QCOMPARE(fileBytes(m_logPath), QByteArray("FIRST HALF\r\n"));
    QCOMPARE(fileBytes(eventLog), QByteArray("SECOND HALF\r\n"));
    QVERIFY(!QFile::exists(eventLog + QStringLiteral(".EVR")));
}

void UploadsTest::closingAndKeepingButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("keepsLog");
    QTest::newRow("Stop closes it") << "Command3" << QByteArray() << false;
    QTest::newRow("Help keeps the log") << "up_hlp" << QByteArray("HLP\r\n") << true;
    QTest::newRow("PAR closes it") << "up_par" << QByteArray("PRIPAR\r\n") << false;
    QTest::newRow("ALL closes it") << "up_all" << QByteArray("PRIALL\r\n") << false;
}

void UploadsTest::closingAndKeepingButtons()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, line);
    QFETCH(bool, keepsLog);
    m_fixture->dialogs().expectOpenFile(m_logPath, QStringLiteral("Open Communications Log Tenant File"));
    QTest::mouseClick(button("up_tnt"), Qt::LeftButton);
    QVERIFY(m_fixture->pty().waitFor("PRITNT\r\n"));
    QCOMPARE(m_fixture->pty().take(), QByteArray("PRITNT\r\n"));
    const auto& request = m_fixture->dialogs().fileRequests().constLast();
    QCOMPARE(request.filter, QStringLiteral("TNT Files (*.TNT)|*.TNT"));
    QVERIFY(request.fileName.isEmpty());
    QVERIFY(!request.mustExist); // a new log name is typed into the open dialog
    QCOMPARE(fileBytes(m_logPath), QByteArray());
    QVERIFY(button("Command3")->isVisible());
    QCOMPARE(QApplication::focusWidget(), button("Command3"));
    receive("TNTDIR:1 TEL:5\r\n");

    button(qPrintable(name))->setEnabled(true);
    QTest::mouseClick(button(qPrintable(name)), Qt::LeftButton);
    if (!line.isEmpty())
        QVERIFY(m_fixture->pty().waitFor(line));
    QCOMPARE(m_fixture->pty().take() + m_fixture->pty().drain(), line);
    QCOMPARE(button("Command3")->isVisible(), keepsLog);
    receive("END OF TNT\r\n");
    QCOMPARE(fileBytes(m_logPath),
        keepsLog ? QByteArray("TNTDIR:1 TEL:5\r\nEND OF TNT\r\n") : QByteArray("TNTDIR:1 TEL:5\r\n"));
}

QTEST_MAIN(UploadsTest)
#include "tst_transfer_uploads.moc"
