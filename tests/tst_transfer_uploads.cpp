// Dumps into log files: the log-file dialog and its replace question, what lands
// in the file, and which buttons close the log or enable "Send".
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

using Answer = Dialogs::Answer;

namespace {
QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const struct UploadButton
{
    const char *name, *title, *filter, *line;
    bool enablesSend, keepsLog;
} Buttons[] = {
    { "atsc", "Open Communications Log AutoSchedule File", "ATS Files (*.ATS)|*.ATS", "PRIATS\r\n", 1, 0 },
    { "Command2", "Open Communications Log AcesseCode File", "ACD Files (*.ACD)|*.ACD", "PRIACD\r\n", 1, 0 },
    { "hldc", "Open Communications Log Holiday File", "HLD Files (*.HLD)|*.HLD", "PRIHLD\r\n", 0, 0 },
    { "tmzc", "Open Communications Log TimeZone File", "TMZ Files (*.TMZ)|*.TMZ", "PRITMZ\r\n", 1, 0 },
    { "up_evr", "Open Communications Log Event File", "EVR Files (*.EVR)|*.EVR", "PRIEVR\r\n", 1, 0 },
    { "up_tnt", "Open Communications Log Tenant File", "TNT Files (*.TNT)|*.TNT", "PRITNT\r\n", 1, 0 },
    { "up_par", "", "", "PRIPAR\r\n", 0, 0 },
    { "up_all", "", "", "PRIALL\r\n", 1, 0 },
    { "up_hlp", "", "", "HLP\r\n", 0, 1 }, // the log stays open
    { "Command3", "", "", "", 0, 0 },
};
} // namespace

class UploadsTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
    // Another extension than the dialog's filter: the name is used as typed.
    QString m_logPath = m_environment.filePath(QStringLiteral("dump.log"));

    QAbstractButton* button(const QString& name) { return m_window->findChild<QAbstractButton*>(name); }
    void click(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void receive(const QByteArray& bytes)
    {
        auto* box = m_window->findChild<QPlainTextEdit*>("Text1");
        const QString before = box->toPlainText();
        QVERIFY(m_fixture->pty().write(bytes));
        QTRY_VERIFY(box->toPlainText().size() > before.size());
    }
    // What the tool has written by now.
    QByteArray wire()
    {
        m_fixture->pty().drain();
        return m_fixture->pty().take();
    }
    // The log dialog answered with path, then the replace question with each answer
    // in turn (Cancel shows the dialog again).
    void expectLog(const QString& path, std::initializer_list<Answer> answers = {})
    {
        m_fixture->dialogs().expectOpenFile(path);
        for (const Answer answer : answers) {
            m_fixture->dialogs().expectMessage("Replace existing file - " + path + '?',
                Dialogs::applicationTitle(), answer, Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question);
            if (answer == Answer::Cancel)
                m_fixture->dialogs().expectOpenFile(path);
        }
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<MainWindowFixture>();
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        clickControl(button("Option8"));
        m_window->MSComm1().setCommPort(1);
        QVERIFY(m_window->MSComm1().open().ok);
        button("upload")->setEnabled(true);
        click("upload");
        QCOMPARE(QApplication::focusWidget(), button("up_par"));
        button("up_hlp")->setEnabled(true); // by connecting
        QFile::remove(m_logPath);
    }

    void cleanup()
    {
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
        m_fixture.reset();
    }

    // A tenant dump is being logged when the row's button is pressed; its log
    // dialog, if any, is cancelled, and the command still goes out.
    void buttonsWhileALogIsOpen_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(Buttons)); ++i)
            QTest::newRow(Buttons[i].name) << i;
    }

    void buttonsWhileALogIsOpen()
    {
        QFETCH(int, row);
        const UploadButton& pressed = Buttons[row];
        m_fixture->dialogs().expectOpenFile(m_logPath, QStringLiteral("Open Communications Log Tenant File"));
        click("up_tnt");
        QCOMPARE(wire(), "PRITNT\r\n");
        const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
        QCOMPARE(request.filter, QStringLiteral("TNT Files (*.TNT)|*.TNT"));
        QVERIFY(!request.mustExist); // a new log name is typed into the open dialog
        QCOMPARE(fileBytes(m_logPath), QByteArray()); // created at once, empty
        QCOMPARE(QApplication::focusWidget(), button("Command3"));
        receive("TNTDIR:1 TEL:5\r\n");

        button("download")->setEnabled(false);
        if (*pressed.title)
            m_fixture->dialogs().expectOpenFile(std::nullopt, pressed.title);
        click(pressed.name);
        if (*pressed.title)
            QCOMPARE(m_fixture->dialogs().fileRequests().constLast().filter, pressed.filter);
        QCOMPARE(wire(), pressed.line);
        QCOMPARE(button("Command3")->isVisible(), pressed.keepsLog);
        QCOMPARE(button("download")->isEnabled(), pressed.enablesSend);
        receive("END OF TNT\r\n");
        QCOMPARE(fileBytes(m_logPath),
            pressed.keepsLog ? "TNTDIR:1 TEL:5\r\nEND OF TNT\r\n" : "TNTDIR:1 TEL:5\r\n");
    }

    // Cancel in the replace question shows the dialog again, with an empty name;
    // No appends to the old log, Yes replaces it.
    void existingLog()
    {
        m_environment.writeFile(QStringLiteral("dump.log"), "OLD\r\n");
        expectLog(m_logPath, { Answer::Cancel, Answer::No });
        click("up_evr");
        QVERIFY(m_fixture->dialogs().fileRequests().constLast().fileName.isEmpty());
        receive("NEW\r\n");
        QCOMPARE(fileBytes(m_logPath), "OLD\r\nNEW\r\n");
        expectLog(m_logPath, { Answer::Yes });
        click("up_tnt");
        receive("NEWER\r\n");
        QCOMPARE(fileBytes(m_logPath), "NEWER\r\n");
        QCOMPARE(wire(), "PRIEVR\r\nPRITNT\r\n");
        QVERIFY(!QFile::exists(m_logPath + ".EVR"));
    }

    // A log path that cannot be looked up sends nothing; an old log that cannot be
    // written: No sends the command without a log, Yes keeps it whole and sends nothing.
    void unusableLog()
    {
        const auto pressTnt
            = [this](const QString& path, std::initializer_list<Answer> replace, const char* reason) {
                  expectLog(path, replace);
                  m_fixture->dialogs().expectMessage(QString::fromLatin1(reason), Dialogs::applicationTitle(),
                      Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
                  click("up_tnt");
                  return wire();
              };
        QCOMPARE(pressTnt(m_environment.filePath("none/dump.TNT"), {}, "No such file or directory"), "");
        QVERIFY(!QFile::exists(m_environment.filePath("none")));

        // Others may write in the folder; only the log is read-only.
        const QString path = m_environment.writeFile("ro.TNT", "OLD\r\n");
        QFile::setPermissions(m_environment.path(), QFileDevice::Permissions(0x7777));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        Unprivileged user;
        if (!user.effective())
            QSKIP("running as root, and root could not be left");
        QCOMPARE(pressTnt(path, { Answer::No }, "Permission denied"), "PRITNT\r\n");
        QCOMPARE(pressTnt(path, { Answer::Yes }, "Permission denied"), "");
        QCOMPARE(fileBytes(path), "OLD\r\n");
        QVERIFY(!button("Command3")->isVisible());
    }
};

QTEST_MAIN(UploadsTest)
#include "tst_transfer_uploads.moc"
