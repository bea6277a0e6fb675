// Files that are not what they should be, offered to the editors and the database
// send through the menu and the buttons: binary, very large, unreadable.
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
// A literal with its NUL bytes.
template <qsizetype N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

// NUL bytes, bytes that are no valid UTF-8, blanks before a line, a lone CR.
const QByteArray Binary = bytes("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\n  HLD 01\x80\rgarbage\0\0\r\n");
} // namespace

class FileFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void editorKeepsEveryByte_data();
    void editorKeepsEveryByte();
    void unreadableFileIsReported_data();
    void unreadableFileIsReported();
    void sendWritesBinaryLinesByteForByte();

private:
    QWidget* control(const char* name) { return m_window->findChild<QWidget*>(QLatin1String(name)); }
    void startSending();

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void FileFaultsTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
}

void FileFaultsTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
}

// Connected in RS232 mode, in programming mode, with the programming controls enabled.
void FileFaultsTest::startSending()
{
    m_fixture->connectRs232();
    clickControl(control("Text3"));
    QTest::keyClicks(control("Text3"), QStringLiteral("1234"));
    QTest::keyClick(control("Text3"), Qt::Key_Return);
    clickControl(control("download"));
    QVERIFY(control("sendfileg")->isEnabled());
    m_fixture->pty().take();
}

void FileFaultsTest::editorKeepsEveryByte_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved");

    // The load drops leading blanks and ends a line at a lone CR; the save adds one CR LF.
    QTest::newRow("binary") << Binary
                            << bytes("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\nHLD 01\x80\r\ngarbage\0\0\r\n\r\n");
    // Far past the 64000 characters a tenant box once held.
    QByteArray large;
    for (int i = 0; large.size() < 200000; ++i)
        large += "TNTDIR:" + QByteArray::number(i) + "TEL:5550100 NAME:TENANT OF A LARGE BLOCK\r\n";
    QTest::newRow("200 KB") << large << large + "\r\n";
}

void FileFaultsTest::editorKeepsEveryByte()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    const QString copy = m_environment.filePath(QStringLiteral("copy.TNT"));
    QFile::remove(copy);
    m_fixture->dialogs().expectOpenFile(m_environment.writeFile(QStringLiteral("odd.TNT"), file));
    QTimer::singleShot(0, this, [&] {
        QWidget* editor = QApplication::activeModalWidget();
        QVERIFY(editor);
        m_fixture->dialogs().expectSaveFile(copy);
        clickControl(editor->findChild<QWidget*>(QStringLiteral("tntsaveas")));
        clickControl(editor->findChild<QWidget*>(QStringLiteral("qui")));
    });
    m_window->findChild<QAction*>(QStringLiteral("open_send"))->trigger();
    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes.size(), saved.size());
    QCOMPARE(bytes, saved);
}

void FileFaultsTest::unreadableFileIsReported_data()
{
    QTest::addColumn<bool>("send");
    QTest::newRow("Open Send File") << false;
    QTest::newRow("DataBase") << true;
}

// A folder in place of the file: no permission trick, so it holds for root too.
// The editor opens empty, the send writes nothing; both say why.
void FileFaultsTest::unreadableFileIsReported()
{
    QFETCH(bool, send);
    const QString folder = m_environment.filePath(QStringLiteral("folder.ACD"));
    QVERIFY(QDir().mkpath(folder));
    QFile probe(folder);
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    const QString message = QStringLiteral("The file ") + QDir::toNativeSeparators(folder)
        + QStringLiteral(" could not be read.\n") + probe.errorString();
    if (send)
        startSending();
    m_fixture->dialogs().expectOpenFile(folder);
    m_fixture->dialogs().expectMessage(message, QStringLiteral("Open file"), Dialogs::Answer::Ok,
        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    if (send) {
        clickControl(control("sendfileg"));
        QCOMPARE(m_fixture->pty().drain(), QByteArray());
        QVERIFY(!control("Progress")->isVisible());
        QVERIFY(!control("Command1")->isVisible());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
        return;
    }
    QString opened = QStringLiteral("none");
    QString shown = QStringLiteral("not shown");
    QTimer::singleShot(0, this, [&] {
        QWidget* editor = QApplication::activeModalWidget();
        QVERIFY(editor);
        opened = editor->objectName();
        shown = editor->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        editor->close();
    });
    m_window->findChild<QAction*>(QStringLiteral("open_send"))->trigger();
    QCOMPARE(opened, QStringLiteral("acdform"));
    QCOMPARE(shown, QString());
}

void FileFaultsTest::sendWritesBinaryLinesByteForByte()
{
    startSending();
    m_fixture->dialogs().expectOpenFile(m_environment.writeFile(QStringLiteral("binary.TNT"), Binary));
    clickControl(control("sendfileg"));
    // The two recognised lines go out whole, the first with its NUL and high bytes.
    QCOMPARE(m_fixture->pty().drain(), bytes("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\n  HLD 01\x80\r\n"));
}

QTEST_MAIN(FileFaultsTest)
#include "tst_faults_files.moc"
