// The received-content box as a text: saved, printed, cut, copied and pasted; and
// files that are not what they should be, opened through "Open &Send File" or sent.
#include "Clipboard.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>

using Answer = Dialogs::Answer;

namespace {
QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs body on the editor the next action opens, then closes it.
void inNextEditor(const std::function<void(QWidget&)>& body)
{
    QTimer::singleShot(0, [body] {
        QWidget* editor = QApplication::activeModalWidget();
        QVERIFY(editor);
        body(*editor);
        editor->close();
    });
}
} // namespace

class ReceivedTextTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;

    QPlainTextEdit* received() { return m_window->findChild<QPlainTextEdit*>("Text1"); }
    QAction* action(const char* name) { return m_window->findChild<QAction*>(name); }
    void expectFailure(const QString& text, const QString& title)
    {
        m_fixture->dialogs().expectMessage(
            text, title, Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<MainWindowFixture>();
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    void cleanup()
    {
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
        m_fixture.reset();
    }

    // The box as it holds the text (high bytes, no-break spaces), then CR LF.
    void saveWritesTheBoxAndCrLf()
    {
        m_fixture->dialogs().expectMessage(QStringLiteral("Invalid file"), QStringLiteral("Save file"),
            Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        action("save_received")->trigger();

        m_window->MSComm1().setCommPort(1);
        QVERIFY(m_window->MSComm1().open().ok);
        QVERIFY(m_fixture->pty().write("caf\xe9\xa0\xa0\r\nend"));
        QTRY_VERIFY(received()->toPlainText().endsWith(QLatin1String("end")));
        // An existing file is replaced without a question.
        const QString path = m_environment.writeFile("received.txt", "an older and longer content");
        m_fixture->dialogs().expectSaveFile(path);
        action("save_received")->trigger();
        QCOMPARE(fileBytes(path), "caf\xe9\xa0\xa0\r\nend\r\n");
        QCOMPARE(QApplication::focusWidget(), received());
        const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
        QCOMPARE(request.filter, QStringLiteral("txt Files (*.txt)|*.txt"));
        QVERIFY(!request.confirmOverwrite);

        // The name is offered again; a save that fails says why.
        const QString unwritable = m_environment.filePath(QStringLiteral("gone/received.txt"));
        m_fixture->dialogs().expectSaveFile(unwritable);
        expectFailure(QStringLiteral("No such file or directory"), QStringLiteral("Save file"));
        action("save_received")->trigger();
        QCOMPARE(m_fixture->dialogs().fileRequests().constLast().fileName, path);
        QVERIFY(!QFile::exists(unwritable));
    }

    void printsOnePagePerCopy()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        received()->setPlainText(QStringLiteral("TNTDIR:1\nEND OF TNT"));
        const QString pdf = m_environment.filePath(QStringLiteral("received.pdf"));
        m_fixture->dialogs().expectPrint(pdf, 2);
        action("print_receive")->trigger();
        m_fixture->dialogs().expectPrint(std::nullopt);
        action("print_receive")->trigger();

        QProcess text;
        text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        QVERIFY(text.waitForFinished(10000));
        const QStringList pages
            = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        const QString page
            = "RECEIVE: FILE CONTENT\nDATE:" + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)
            + "\n\nTNTDIR:1\nEND OF TNT\n"; // the body starts lower down
        for (QString printed : pages)
            QCOMPARE(printed.remove(QRegularExpression("^ +", QRegularExpression::MultilineOption)), page);
    }

    void copyCutPaste()
    {
        // Ctrl+C and Ctrl+V are the Edit menu's, whichever box the click put the focus in.
        auto* message = m_window->findChild<QLineEdit*>("MsgWel");
        auto* code = m_window->findChild<QLineEdit*>("Text3");
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
        auto* button = m_window->findChild<QWidget*>(QStringLiteral("Option8"));
        clickControl(button);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(button, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Clipboard::text(), QString());
        QVERIFY(!action("paset_file")->isEnabled());

        clickInside(message, 0.9);
        QTest::keyClick(message, Qt::Key_End);
        QTest::keyClick(message, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier); // the last word
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

    // "Open &Send File": a file that cannot be read (a folder, so it holds for root
    // too) opens its editor empty and says why; an odd file saved again keeps every
    // byte: NUL and bytes that are no valid UTF-8, far past the 64000 characters a
    // tenant box once held (the load drops leading blanks and ends a line at a lone
    // CR; the save adds one CR LF). "DataBase" with the folder writes nothing.
    void oddFiles()
    {
        const QString folder = m_environment.filePath(QStringLiteral("folder.ACD"));
        QVERIFY(QDir().mkpath(folder));
        const QString why = "The file " + QDir::toNativeSeparators(folder)
            + " could not be read.\nfile to open is a directory";
        m_fixture->dialogs().expectOpenFile(folder);
        expectFailure(why, QStringLiteral("Open file"));
        QStringList opened;
        inNextEditor([&](QWidget& editor) {
            opened << editor.objectName()
                   << editor.findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        });
        action("open_send")->trigger();
        QCOMPARE(opened, (QStringList { "acdform", "" }));

        QByteArray large;
        for (int i = 0; large.size() < 200000; ++i)
            large += "TNTDIR:" + QByteArray::number(i) + "TEL:5550100 NAME:TENANT OF A LARGE BLOCK\r\n";
        const QString copy = m_environment.filePath(QStringLiteral("copy.TNT"));
        m_fixture->dialogs().expectOpenFile(m_environment.writeFile("odd.TNT",
            QByteArrayLiteral("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\n  HLD 01\x80\rgarbage\0\0\r\n") + large));
        inNextEditor([&](QWidget& editor) {
            m_fixture->dialogs().expectSaveFile(copy);
            clickControl(editor.findChild<QWidget*>(QStringLiteral("tntsaveas")));
        });
        action("open_send")->trigger();
        QCOMPARE(fileBytes(copy),
            QByteArrayLiteral("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\nHLD 01\x80\r\ngarbage\0\0\r\n") + large
                + "\r\n");

        m_fixture->connectRs232();
        m_fixture->dialogs().expectOpenFile(folder);
        expectFailure(why, QStringLiteral("Open file"));
        auto* send = m_window->findChild<QWidget*>("sendfileg");
        send->setEnabled(true);
        clickControl(send);
        QCOMPARE(m_fixture->pty().drain(), QByteArray());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
    }
};

QTEST_MAIN(ReceivedTextTest)
#include "tst_transfer_receivedtext.moc"
