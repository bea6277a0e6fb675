// The received-content box as a text: saved, printed, cut, copied and pasted;
// and which editor "Open &Send File" picks for a file.
#include "Clipboard.h"
#include "Dialogs.h"
#include "EditorRouting.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
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
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("abc") << "abc" << QByteArray("abc\r\n");
    QTest::newRow("lines keep CR LF") << "TNT 1\nTNT 2\n" << QByteArray("TNT 1\r\nTNT 2\r\n\r\n");
    QTest::newRow("Latin-1") << QString::fromLatin1("caf\xe9") << QByteArray("caf\xe9\r\n");
}

void ReceivedTextTest::saveWritesTheBoxAndCrLf()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    received()->setPlainText(text);
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
    QLineEdit* code = box("Text3");
    code->setText(QStringLiteral("1234"));
    code->setFocus();
    code->selectAll();
    Clipboard::setText(QStringLiteral("before"));

    // An empty received box: nothing happens, whatever the focus holds.
    action("copy_file")->trigger();
    action("cut_file")->trigger();
    QCOMPARE(Clipboard::text(), QStringLiteral("before"));
    QCOMPARE(code->text(), QStringLiteral("1234"));
    QVERIFY(!action("paset_file")->isEnabled());

    received()->setPlainText(QStringLiteral("x"));
    // A focused button has no selection: the clipboard is emptied, Paste stays off.
    auto* button = m_window->findChild<QPushButton*>(QStringLiteral("upload"));
    QVERIFY(button);
    button->setEnabled(true);
    button->setFocus();
    QCOMPARE(QApplication::focusWidget(), button);
    action("copy_file")->trigger();
    QCOMPARE(Clipboard::text(), QString());
    action("cut_file")->trigger();
    QVERIFY(!action("paset_file")->isEnabled());

    code->setFocus();
    code->setSelection(1, 2);
    action("copy_file")->trigger();
    QCOMPARE(Clipboard::text(), QStringLiteral("23"));
    QVERIFY(action("paset_file")->isEnabled());

    action("cut_file")->trigger();
    QCOMPARE(Clipboard::text(), QStringLiteral("23"));
    QCOMPARE(code->text(), QStringLiteral("14"));

    code->setCursorPosition(1);
    action("paset_file")->trigger();
    QCOMPARE(code->text(), QStringLiteral("1234"));
}

QTEST_MAIN(ReceivedTextTest)
#include "tst_transfer_receivedtext.moc"
