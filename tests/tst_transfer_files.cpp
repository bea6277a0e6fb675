// The files the operator writes and reads through the window: received text saved,
// printed, cut, copied and pasted; parameters saved and loaded; dumps logged into
// files; and files that are not what they should be.
#include "Clipboard.h"
#include "LinkSession.h"
#include "MaskedEdit.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>

using Answer = Dialogs::Answer;

namespace {
const QString Title = QStringLiteral("Vestibar 4600 Management System");

// The boxes a parameter file keeps, in the order of the file.
const QStringList ParameterBoxes { "Text2", "Text3", "Crno", "medit1", "medit2", "medit3", "medit4", "medit5",
    "rl2", "MsgWel" };

const struct UploadButton
{
    const char *name, *title, *filter, *line;
    bool enablesSend, keepsLog;
} UploadButtons[] = {
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

// Runs body on the editor the next action opens, if one opens, then closes it.
void inNextEditor(const std::function<void(QWidget&)>& body)
{
    QTimer::singleShot(0, [body] {
        if (QWidget* editor = QApplication::activeModalWidget()) {
            body(*editor);
            editor->close();
        }
    });
}
} // namespace

class FilesTest : public WindowTest
{
    Q_OBJECT

    // Another extension than the log dialog's filter: the name is used as typed.
    QString m_logPath = m_environment.filePath(QStringLiteral("dump.log"));
    QString m_parameterPath = m_environment.filePath(QStringLiteral("set.par"));

    QPlainTextEdit* received() { return control<QPlainTextEdit>(QStringLiteral("Text1")); }
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    // The editor the action opens, by name, and the text it shows; nothing when none opens.
    QStringList editorOpenedBy(const char* action)
    {
        QStringList opened;
        inNextEditor([&](QWidget& editor) {
            opened << editor.objectName()
                   << editor.findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        });
        trigger(action);
        QCoreApplication::processEvents();
        return opened;
    }
    const Dialogs::FileRequest& lastFileRequest() { return m_fixture->dialogs().fileRequests().constLast(); }
    void expectFailure(const QString& text, const QString& title)
    {
        m_fixture->dialogs().expectMessage(
            text, title, Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
    // The save or open dialog answered with path, then the replace question with
    // each answer in turn (Cancel shows the dialog again).
    void expectFile(bool save, const QString& path, std::initializer_list<Answer> replace = {})
    {
        ScriptedDialogs& dialogs = m_fixture->dialogs();
        save ? dialogs.expectSaveFile(path) : dialogs.expectOpenFile(path);
        for (const Answer answer : replace) {
            dialogs.expectMessage("Replace existing file - " + path + '?', Title, answer,
                Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question, Answer::No);
            if (answer == Answer::Cancel)
                save ? dialogs.expectSaveFile(path) : dialogs.expectOpenFile(path);
        }
    }
    // Masked boxes by their typed digits, the others by their text, joined by "|".
    QString parameterBoxes()
    {
        QStringList values;
        for (const QString& name : ParameterBoxes) {
            auto* masked = control<MaskedEdit>(name);
            values << (masked ? masked->digits() : control<QLineEdit>(name)->text());
        }
        return values.join(QLatin1Char('|'));
    }

    // The modem line open and "Receive" pressed: the dump buttons are there.
    void openUploads()
    {
        click("Option8");
        m_window->MSComm1().setCommPort(1);
        QVERIFY(m_window->MSComm1().open().ok());
        control("upload")->setEnabled(true);
        click("upload");
        QCOMPARE(QApplication::focusWidget(), control("up_par"));
        control("up_hlp")->setEnabled(true); // by connecting
    }
    void receive(const QByteArray& bytes)
    {
        const QString before = received()->toPlainText();
        QVERIFY(m_fixture->pty().write(bytes));
        QTRY_VERIFY(received()->toPlainText().size() > before.size());
    }
    // What the tool has written by now.
    QByteArray wire()
    {
        m_fixture->pty().drain();
        return m_fixture->pty().take();
    }

private slots:
    void init()
    {
        openWindow();
        QFile::remove(m_logPath);
        QFile::remove(m_parameterPath);
    }
    void cleanup() { closeWindow(); }

    // The box as it holds the text (high bytes, no-break spaces), then CR LF.
    void saveReceived()
    {
        m_fixture->dialogs().expectMessage(QStringLiteral("Invalid file"), QStringLiteral("Save file"),
            Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        trigger("save_received");

        received()->setPlainText(QString::fromLatin1("caf\xe9\xa0\xa0\nend"));
        // An existing file is replaced without a question.
        const QString path = m_environment.writeFile("received.txt", "an older and longer content");
        m_fixture->dialogs().expectSaveFile(path);
        trigger("save_received");
        QCOMPARE(fileBytes(path), "caf\xe9\xa0\xa0\r\nend\r\n");
        QCOMPARE(QApplication::focusWidget(), received());
        QCOMPARE(lastFileRequest().filter, QStringLiteral("txt Files (*.txt)|*.txt"));
        QVERIFY(!lastFileRequest().confirmOverwrite);

        // The name is offered again; a save that fails says why.
        const QString unwritable = m_environment.filePath(QStringLiteral("gone/received.txt"));
        m_fixture->dialogs().expectSaveFile(unwritable);
        expectFailure(QStringLiteral("No such file or directory"), QStringLiteral("Save file"));
        trigger("save_received");
        QCOMPARE(lastFileRequest().fileName, path);
        QVERIFY(!QFile::exists(unwritable));
    }

    void printReceived()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        received()->setPlainText(QStringLiteral("TNTDIR:1\n\nEND OF TNT"));
        const QString pdf = m_environment.filePath(QStringLiteral("received.pdf"));
        m_fixture->dialogs().expectPrint(pdf, 2);
        trigger("print_receive");

        QProcess text;
        text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        QVERIFY(text.waitForFinished(10000));
        const QStringList pages
            = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        const QString page
            = "RECEIVE: FILE CONTENT\nDATE:" + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)
            + "\n\nTNTDIR:1\n\nEND OF TNT\n"; // the body starts lower down
        for (QString printed : pages)
            QCOMPARE(printed.remove(QRegularExpression("^ +", QRegularExpression::MultilineOption)), page);
    }

    void copyCutPaste()
    {
        // Ctrl+C and Ctrl+V are the Edit menu's, whichever box the click put the focus in.
        auto* message = control<QLineEdit>("MsgWel");
        auto* code = control<QLineEdit>("Text3");
        clickInside(message, 0.5);
        QTest::keyClicks(message, QStringLiteral("Call 1234"));
        QTest::keyClick(message, Qt::Key_Home, Qt::ShiftModifier);
        Clipboard::setText(QStringLiteral("before"));

        // An empty received box: Copy does nothing, and Paste is not offered yet.
        QTest::keyClick(message, Qt::Key_C, Qt::ControlModifier);
        trigger("cut_file");
        QCOMPARE(Clipboard::text(), QStringLiteral("before"));
        QTest::keyClick(message, Qt::Key_End);
        QTest::keyClick(message, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(message->text(), QStringLiteral("Call 1234"));
        QVERIFY(!m_window->findChild<QAction*>("paset_file")->isEnabled());

        received()->setPlainText(QStringLiteral("x"));
        // A focused button has no selection: the clipboard keeps its text, Paste stays off.
        click("Option8");
        QCOMPARE(QApplication::focusWidget(), control("Option8"));
        QTest::keyClick(control("Option8"), Qt::Key_C, Qt::ControlModifier);
        trigger("cut_file");
        QCOMPARE(Clipboard::text(), QStringLiteral("before"));
        QVERIFY(!m_window->findChild<QAction*>("paset_file")->isEnabled());

        clickInside(message, 0.9);
        QTest::keyClick(message, Qt::Key_End);
        QTest::keyClick(message, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier); // the last word
        QTest::keyClick(message, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Clipboard::text(), QStringLiteral("1234"));
        QVERIFY(m_window->findChild<QAction*>("paset_file")->isEnabled());
        trigger("cut_file");
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
        QCOMPARE(editorOpenedBy("open_send"), (QStringList { "acdform", "" }));

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
        trigger("open_send");
        QCOMPARE(fileBytes(copy),
            QByteArrayLiteral("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\nHLD 01\x80\r\ngarbage\0\0\r\n") + large
                + "\r\n");

        m_fixture->connectRs232();
        m_fixture->dialogs().expectOpenFile(folder);
        expectFailure(why, QStringLiteral("Open file"));
        control("sendfileg")->setEnabled(true);
        click("sendfileg");
        QCOMPARE(m_fixture->pty().drain(), QByteArray());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
    }

    // Files that are not to be read: a device or a pipe is refused before anything
    // opens it (reading one never ends); a line longer than the controller takes
    // refuses the file, and its editor opens empty.
    void refusedFiles_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("name"); // "/dev/zero", "pipe": a named pipe made here, else a file
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("opened"); // the editor that opens and what it shows

        const QString notAFile = QStringLiteral("It is a device or a pipe, not a file.");
        const QStringList none;
        QTest::newRow("device") << "open_send"
                                << "/dev/zero" << QByteArray() << notAFile << none;
        QTest::newRow("pipe") << "open_send"
                              << "pipe" << QByteArray() << notAFile << none;
        QTest::newRow("pipe as parameters") << "openpar"
                                            << "pipe" << QByteArray() << notAFile << none;
        QTest::newRow("line of 257 characters")
            << "open_send"
            << "long.TNT"
            << "TNT1\r\nTNT" + QByteArray(254, 'x') + "\r\n"
            << "Line 2 is longer than 256 characters, more than the controller takes."
            << QStringList { "tntform", "" };
        QTest::newRow("no line breaks")
            << "open_send"
            << "blob.bin"
            << "TNT" + QByteArray(3000000, '\xff')
            << "Line 1 is longer than 256 characters, more than the controller takes."
            << QStringList { "hldform", "" };
    }

    void refusedFiles()
    {
        QFETCH(QString, action);
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        QFETCH(QStringList, opened);
        const QString path = m_environment.chosenPath(name, file);
        m_fixture->dialogs().expectOpenFile(path);
        expectFailure("The file " + path + " could not be read.\n" + reason, "Open file");
        QCOMPARE(editorOpenedBy(qPrintable(action)), opened);
    }

    // A file the user may write, in a folder they may not (no temporary file can be
    // made there): the save writes it in place.
    void saveIntoALockedFolder_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("received text") << "save_received" << QByteArray("abc\r\n");
        QTest::newRow("parameters") << "savemenu" << QByteArray("PARCLT 3\r\n\r\n");
    }

    void saveIntoALockedFolder()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, saved);
        received()->setPlainText(QStringLiteral("abc"));
        QVERIFY(control<MaskedEdit>("medit4")->assign(QStringLiteral("3")));
        const QString folder = m_environment.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = m_environment.writeFile(QStringLiteral("locked/kept.txt"), "OLD");
        QFile::setPermissions(m_environment.path(), QFileDevice::Permissions(0x7777));
        QFile::setPermissions(path, QFileDevice::Permissions(0x6666));
        QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
        const auto unlock
            = qScopeGuard([folder] { QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)); });
        Unprivileged user;
        if (!user.effective())
            QSKIP("running as root, and root could not be left");
        if (action == QLatin1String("savemenu"))
            expectFile(true, path, { Answer::Yes });
        else
            expectFile(true, path);
        trigger(qPrintable(action));
        QCOMPARE(fileBytes(path), saved);
    }

    // Box contents are written as the boxes in file order, separated by "|".
    // Typed and saved (the file is what the save writes) and loaded back; or typed
    // and a file of the row's own loaded over them.
    void saveAndLoadParameters_data()
    {
        QTest::addColumn<QString>("typed"); // a box left empty is not touched
        QTest::addColumn<bool>("save");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("refused"); // the lines a message lists after the load
        const QString kept = QStringLiteral("||||||7|||kept");

        QTest::newRow("all empty") << "|||||||||" << true << QByteArray("\r\n") << "|||||||||"
                                   << "";
        QTest::newRow("every box, in file order")
            << "5551234|1234|77|120|6|45|3|2|1|Hi there" << true
            << QByteArray("PHO5551234\r\nPGM1234\r\nPARFCN 77\r\nPARCHT 120\r\nPARDOT1 6\r\nPARDOT2 45\r\n"
                          "PARCLT 3\r\nPARSYD 2\r\nPARLMO 1\r\nPARMSG Hi there\r\n\r\n")
            << "5551234|1234|077|120|06|45|3|2|1|Hi there"
            << "";
        // Outer blanks are lost on the way back.
        QTest::newRow("short master code and blanks")
            << " 9 555 |12||||||||  hi  " << true
            << QByteArray("PHO 9 555 \r\nPGM12\r\nPARMSG   hi  \r\n\r\n") << " 9 555|12||||||||  hi"
            << "";
        QTest::newRow("every rule, lengths and padding")
            << kept << false
            << QByteArray("  PHO5551234  \r\nPGM4321\r\nPARFCN 7\r\nPARCHT 42\r\nPARDOT1 4\r\nPARDOT2 15\r\n"
                          "PARCLT 2\r\n   PARSYD 2\r\nPARLMO 3\r\nPARMSG   hi \r\n")
            << "5551234|4321|007|042|04|15|2|2|3|  hi"
            << "";
        QTest::newRow("wrong length, case or command: skipped")
            << kept << false
            << QByteArray(
                   "PGM12345\r\nPGM123\r\nPARCLT 12\r\nPARFCN 1234\r\nPARDOT1 \r\nparlmo 1\r\nPho55\r\n"
                   "\tPARSYD 1\r\nPARNUM 12345\r\nPAROHR1 12\r\nPAROHR2 12\r\nPARCMC 9999\r\nPARPDL\r\n")
            << kept << "";
        // CR and LF end lines, a later line wins, a value the box refuses is told and
        // the load goes on.
        QTest::newRow("line ends, repeats, refusal")
            << kept << false
            << QByteArray("PARCLT 1\rPARSYD 2\nPARLMO 3\r\nPARCLT 4\r\n PARSYD x \r\nPARLMO 5")
            << "||||||4|2|5|kept"
            << "Line 5 (PARSYD x): the box does not take the value.";
        // Saved as UTF-8 with a byte-order mark by another editor.
        QTest::newRow("byte-order mark")
            << kept << false << QByteArray("\xef\xbb\xbfPHO5551234\r\nPARMSG Caf\xc3\xa9\r\n")
            << u"5551234||||||7|||Caf\u00e9"_qs << "";
        QTest::newRow("over-long lines")
            << kept << false
            << "PARCLT 1\r\nPARMSG " + QByteArray(250, 'x') + "\r\nPARSYD 2\r\nPHO" + QByteArray(2000000, '5')
                + "\r\nPARCLT x\r\n"
            << "||||||1|2||kept"
            << "Line 2 is longer than 256 characters, more than the controller takes.\n"
               "Line 4 is longer than 256 characters, more than the controller takes.\n"
               "Line 5 (PARCLT x): the box does not take the value.";
    }

    void saveAndLoadParameters()
    {
        QFETCH(QString, typed);
        QFETCH(bool, save);
        QFETCH(QByteArray, file);
        QFETCH(QString, boxes);
        QFETCH(QString, refused);
        const QStringList values = typed.split(QLatin1Char('|'));
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (values.at(i).isEmpty())
                continue;
            click(ParameterBoxes.at(i));
            QTest::keyClicks(control(ParameterBoxes.at(i)), values.at(i));
        }
        if (save) {
            m_fixture->dialogs().expectSaveFile(m_parameterPath);
            trigger("savemenu");
            QCOMPARE(fileBytes(m_parameterPath), file);
            QCOMPARE(lastFileRequest().filter, "Parameter Files (*.par)|*.par");
            QCOMPARE(QApplication::focusWidget(), control("Text3"));
        }
        const QString loaded = m_environment.writeFile(QStringLiteral("load.par"), file);
        m_fixture->dialogs().expectOpenFile(loaded);
        if (!refused.isEmpty())
            expectFailure("Not every line of the file " + loaded + " was loaded:\n" + refused, "Open file");
        trigger("openpar");
        QCOMPARE(parameterBoxes(), boxes);
        QCOMPARE(lastFileRequest().filter, "PAR Files (*.par)|*.par");
        // A loaded phone number is stored as typing it would be.
        QCOMPARE(m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), "ph"),
            boxes.section(QLatin1Char('|'), 0, 0));
    }

    // Saving over a file asks first; Cancel shows the dialog again with an empty
    // name, No keeps the file, Yes replaces it. Failures are told, not silently lost;
    // cancelled dialogs change nothing.
    void parameterReplaceAndFailures()
    {
        m_environment.writeFile(QStringLiteral("set.par"), "OLD");
        QVERIFY(control<MaskedEdit>("medit4")->assign(QStringLiteral("3")));
        for (const Answer answer : { Answer::No, Answer::Yes }) {
            expectFile(true, m_parameterPath, { Answer::Cancel, answer });
            trigger("savemenu");
            QVERIFY(lastFileRequest().fileName.isEmpty());
            QCOMPARE(fileBytes(m_parameterPath), answer == Answer::No ? "OLD" : "PARCLT 3\r\n\r\n");
        }

        const QString missing = m_environment.filePath(QStringLiteral("gone/set.par"));
        m_fixture->dialogs().expectSaveFile(missing);
        expectFailure(QStringLiteral("No such file or directory"), Title);
        trigger("savemenu");
        QVERIFY(!QFile::exists(missing));
        m_fixture->dialogs().expectOpenFile(missing);
        expectFailure("The file " + missing + " could not be read.\nNo such file or directory", "Open file");
        trigger("openpar");
        m_fixture->dialogs().expectSaveFile(std::nullopt);
        trigger("savemenu");
        m_fixture->dialogs().expectOpenFile(std::nullopt);
        trigger("openpar");
        QCOMPARE(parameterBoxes(), "||||||3|||");
        QCOMPARE(fileBytes(m_parameterPath), "PARCLT 3\r\n\r\n");
    }

    // A tenant dump is being logged when the row's button is pressed; its log
    // dialog, if any, is cancelled, and the command still goes out.
    void uploadButtonsWhileALogIsOpen_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(UploadButtons)); ++i)
            QTest::newRow(UploadButtons[i].name) << i;
    }

    void uploadButtonsWhileALogIsOpen()
    {
        QFETCH(int, row);
        const UploadButton& pressed = UploadButtons[row];
        openUploads();
        m_fixture->dialogs().expectOpenFile(m_logPath, QStringLiteral("Open Communications Log Tenant File"));
        click("up_tnt");
        QCOMPARE(wire(), "PRITNT\r\n");
        QVERIFY(!lastFileRequest().mustExist); // a new log name is typed into the open dialog
        QCOMPARE(fileBytes(m_logPath), QByteArray()); // created at once, empty
        QCOMPARE(QApplication::focusWidget(), control("Command3"));
        QCOMPARE(control<QAbstractButton>("Command3")->text(), "Please close log file after receiving!");
        receive("TNTDIR:1 TEL:5\r\n");

        control("download")->setEnabled(false);
        if (*pressed.title)
            m_fixture->dialogs().expectOpenFile(std::nullopt, pressed.title);
        click(pressed.name);
        if (*pressed.title)
            QCOMPARE(lastFileRequest().filter, pressed.filter);
        QCOMPARE(wire(), pressed.line);
        QCOMPARE(control("Command3")->isVisible(), pressed.keepsLog);
        QCOMPARE(control("download")->isEnabled(), pressed.enablesSend);
        receive("END OF TNT\r\n");
        QCOMPARE(fileBytes(m_logPath),
            pressed.keepsLog ? "TNTDIR:1 TEL:5\r\nEND OF TNT\r\n" : "TNTDIR:1 TEL:5\r\n");
    }

    // Cancel in the replace question shows the dialog again, with an empty name;
    // No appends to the old log, Yes replaces it.
    void existingLog()
    {
        openUploads();
        m_environment.writeFile(QStringLiteral("dump.log"), "OLD\r\n");
        expectFile(false, m_logPath, { Answer::Cancel, Answer::No });
        click("up_evr");
        QVERIFY(lastFileRequest().fileName.isEmpty());
        receive("NEW\r\n");
        QCOMPARE(fileBytes(m_logPath), "OLD\r\nNEW\r\n");
        expectFile(false, m_logPath, { Answer::Yes });
        click("up_tnt");
        receive("NEWER\r\n");
        QCOMPARE(fileBytes(m_logPath), "NEWER\r\n");
        QCOMPARE(wire(), "PRIEVR\r\nPRITNT\r\n");
        // With the port closed the log is still ended.
        m_window->MSComm1().close();
        m_fixture->dialogs().expectMessage("The comm port is closed", "Disconnect");
        click("tmzc");
        QVERIFY(!control("Command3")->isVisible());
    }

    // A log path that cannot be looked up sends nothing; an old log that cannot be
    // written: No sends the command without a log, Yes keeps it whole and sends nothing.
    void unusableLog()
    {
        openUploads();
        const auto pressTnt
            = [this](const QString& path, std::initializer_list<Answer> replace, const char* reason) {
                  expectFile(false, path, replace);
                  expectFailure(QString::fromLatin1(reason), Title);
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
        QVERIFY(!control("Command3")->isVisible());
    }
};

QTEST_MAIN(FilesTest)
#include "tst_transfer_files.moc"
