// The received-content box as a text: saved, printed, cut, copied and pasted;
// and which editor "Open &Send File" picks for a file.
#include "Clipboard.h"
#include "Dialogs.h"
#include "EditorRouting.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

using Answer = Dialogs::Answer;
using Kind = Editors::Kind;

Q_DECLARE_METATYPE(Editors::Kind)

class ReceivedTextTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editorFor_data();
    void editorFor();
    void saveWritesTheBoxAndCrLf_data();
    void saveWritesTheBoxAndCrLf();
    void saveRefusalsAndFailures();
    void printsOnePagePerCopy();
    void copyCutPaste();

private:
    QPlainTextEdit* received() { return m_window->findChild<QPlainTextEdit*>("Text1"); }
    QLineEdit* box(const char* name) { return m_window->findChild<QLineEdit*>(name); }
    QAction* action(const char* name) { return m_window->findChild<QAction*>(name); }
    static QByteArray fileBytes(const QString& path);

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void ReceivedTextTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void ReceivedTextTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

QByteArray ReceivedTextTest::fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void ReceivedTextTest::editorFor_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Kind>("kind");
    QTest::newRow("tenant, lower case") << "/data/house.tnt" << Kind::Tenant;
    QTest::newRow("tenant") << "/data/HOUSE.TNT" << Kind::Tenant;
    QTest::newRow("access codes") << "codes.Acd" << Kind::AccessCode;
    QTest::newRow("auto schedules") << "a.ATS" << Kind::AutoSchedule;
    QTest::newRow("time zones") << "z.tmz" << Kind::TimeZone;
    QTest::newRow("holidays") << "h.HLD" << Kind::Holiday;
    QTest::newRow("parameter file") << "set.PAR" << Kind::Holiday;
    QTest::newRow("text file") << "notes.txt" << Kind::Holiday;
    QTest::newRow("no extension") << "/data/TNT" << Kind::Holiday;
    QTest::newRow("extension only in the folder") << "/x.tnt/file" << Kind::Holiday;
    QTest::newRow("short name") << "NT" << Kind::Holiday;
}

void ReceivedTextTest::editorFor()
{
    QFETCH(QString, path);
    QFETCH(Kind, kind);
    QCOMPARE(EditorRouting::editorFor(path), kind);
}

void ReceivedTextTest::saveWritesTheBoxAndCrLf_data()
{
    QTest::addColumn<QByteArray>("arrived");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("abc\r\n");
    QTest::newRow("lines keep CR LF") << QByteArray("TNT 1\r\nTNT 2") << QByteArray("TNT 1\r\nTNT 2\r\n");
    QTest::newRow("high bytes, no-break spaces kept")
        << QByteArray("caf\xe9\xa0\xa0\r\nend") << QByteArray("caf\xe9\xa0\xa0\r\nend\r\n");
}

void ReceivedTextTest::saveWritesTheBoxAndCrLf()
{
    QFETCH(QByteArray, arrived);
    QFETCH(QByteArray, bytes);
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    QVERIFY(port.open().ok);
    QVERIFY(m_fixture->pty().write(arrived));
    QTRY_VERIFY(received()->toPlainText().endsWith(QLatin1Char(arrived.back())));
    const QString path = m_environment.filePath(QStringLiteral("received.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.write("an older and longer content");
    old.close();

    // An existing file is replaced without a question.
    m_fixture->dialogs().expectSaveFile(path);
    action("save_received")->trigger();
    QCOMPARE(fileBytes(path), bytes);
    QCOMPARE(QApplication::focusWidget(), received());
    const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
    QCOMPARE(request.filter, QStringLiteral("txt Files (*.txt)|*.txt"));
    QVERIFY(!request.confirmOverwrite);

    // The name is offered again.
    m_fixture->dialogs().expectSaveFile(std::nullopt);
    action("save_received")->trigger();
    QCOMPARE(m_fixture->dialogs().fileRequests().constLast().fileName, path);
}

void ReceivedTextTest::saveRefusalsAndFailures()
{
    m_fixture->dialogs().expectMessage(QStringLiteral("Invalid file"), QStringLiteral("Save file"),
        Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    action("save_received")->trigger();

    received()->setPlainText(QStringLiteral("abc"));
    const QString unwritable = m_environment.filePath(QStringLiteral("gone/received.txt"));
    m_fixture->dialogs().expectSaveFile(unwritable);
    m_fixture->dialogs().expectMessage(QStringLiteral("No such file or directory"),
        QStringLiteral("Save file"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    action("save_received")->trigger();
    QVERIFY(!QFile::exists(unwritable));
}

void ReceivedTextTest::printsOnePagePerCopy()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    received()->setPlainText(QStringLiteral("TNTDIR:1\nEND OF TNT"));
    const QString pdf = m_environment.filePath(QStringLiteral("received.pdf"));
    m_fixture->dialogs().expectPrint(pdf, 2);
    action("print_receive")->trigger();

    QProcess text;
    text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    QVERIFY(text.waitForFinished(10000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList pages = printed.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    for (const QString& page : pages) {
        QVERIFY2(page.contains(QStringLiteral("RECEIVE: FILE CONTENT")), qPrintable(page));
        QVERIFY(page.contains(QStringLiteral("DATE:")));
        QVERIFY(page.contains(QStringLiteral("TNTDIR:1")));
        QVERIFY(page.contains(QStringLiteral("END OF TNT")));
    }

    m_fixture->dialogs().expectPrint(std::nullopt);
    action("print_receive")->trigger();
}

void ReceivedTextTest::copyCutPaste()
{
    // Ctrl+C and Ctrl+V are the Edit menu's, whichever box the click put the focus in.
    QLineEdit* message = box("MsgWel");
    QLineEdit* code = box("Text3");
    clickInside(message, 0.5);
    QTest::keyClicks(message, QStringLiteral("Call 1234"));
    QTest::keyClick(message, Qt::Key_Home, Qt::ShiftModifier);
    Clipboard::setText(QStringLiteral("before"));

    // An empty received box: Copy does nothing, and Paste is not offered yet.
    QTest::keyClick(message, Qt::Key_C, Qt::ControlModifier);
    action("cut_file")->trigger();
    QCOMPARE(Clipboard::text(), QStringLiteral("before"));
    QTest::keyClick(message, Qt::Key_End);
    QTest::keyClick(message, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(message->text(), QStringLiteral("Call 1234"));
    QVERIFY(!action("paset_file")->isEnabled());

    received()->setPlainText(QStringLiteral("x"));
    // A focused button has no selection: the clipboard is emptied, Paste stays off.
    auto* button = m_window->findChild<QRadioButton*>(QStringLiteral("Option8"));
    QVERIFY(button);
    clickControl(button);
    QCOMPARE(QApplication::focusWidget(), button);
    QTest::keyClick(button, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Clipboard::text(), QString());
    QVERIFY(!action("paset_file")->isEnabled());

    clickInside(message, 0.9);
    QTest::keyClick(message, Qt::Key_End);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(message, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(message, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Clipboard::text(), QStringLiteral("1234"));
    QVERIFY(action("paset_file")->isEnabled());

    action("cut_file")->trigger();
    QCOMPARE(Clipboard::text(), QStringLiteral("1234"));
    QCOMPARE(message->text(), QStringLiteral("Call "));

    clickInside(code, 0.5);
    QTest::keyClick(code, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(code->text(), QStringLiteral("1234"));
    QCOMPARE(m_fixture->dialogs().beeps(), 0);
}

QTEST_MAIN(ReceivedTextTest)
#include "tst_transfer_receivedtext.moc"
