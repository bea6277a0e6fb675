// The five database editors driven as the operator uses them: typed records through
// the Enter order, the access-code window's refusals, loading, Save and Save As.
#include "EditorKinds.h"
#include "EditorWindow.h"
#include "MaskedEdit.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMap>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <array>
#include <memory>

using Kind = Editors::Kind;
Q_DECLARE_METATYPE(Editors::Kind)

namespace {

const QString AppTitle = QStringLiteral("Editor Test Title");
const QString Question = QStringLiteral("Save changes to the file?");
constexpr Kind TNT = Kind::Tenant, ACD = Kind::AccessCode, ATS = Kind::AutoSchedule, HLD = Kind::Holiday,
               TMZ = Kind::TimeZone;

// Each window's boxes in Enter order, then its Enter button.
const QMap<Kind, QStringList> EnterOrder {
    { TNT, { "dirtenant", "teltenant", "Text2", "ent" } },
    { ACD, { "Macd1", "Macd6", "Macd2", "Macd3", "Macd4", "Macd5", "entacd" } },
    { ATS, { "Mats1", "Mats2", "Mats3", "Mats4", "Mats5", "entats" } },
    { HLD, { "mhld1", "mhld2", "day", "enthld" } },
    { TMZ, { "mtmz1", "mtmz2", "mtmz3", "mtmz4", "enttmz" } },
};

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Types where the keyboard focus is; ">" stands for the right arrow, to step over a position.
void type(const QString& text)
{
    for (const QChar c : text) {
        if (c == u'>')
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        else
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
}

void click(QWidget& window, const QString& button)
{
    clickControl(window.findChild<QPushButton*>(button));
}

QStringList boxTexts(const EditorWindow& window)
{
    QStringList texts;
    for (const MaskedEdit* box : window.boxes())
        texts << box->boxText();
    return texts;
}

} // namespace

class EditorWindowTest : public QObject
{
    Q_OBJECT

    EditorWindow& open(Kind kind)
    {
        m_window = std::make_unique<EditorWindow>(EditorKinds::of(kind), *m_dialogs);
        m_window->show();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("the editor did not become active");
        return *m_window;
    }

    TestEnvironment m_environment;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<EditorWindow> m_window;

private slots:
    void init()
    {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_dialogs->setApplicationTitle(AppTitle);
    }
    void cleanup()
    {
        QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->report()));
        m_window.reset();
    }

    void typedRecords_data()
    {
        QTest::addColumn<Kind>("kind");
        // What is typed into each box in Enter order; ">" is the right arrow.
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("line");
        const auto row = [](const char* name, Kind kind, const QStringList& typed, const QString& line) {
            QTest::newRow(name) << kind << typed << line;
        };

        // A name box holds 12 characters; blanks around the name are dropped.
        row("tenant", TNT, { "12", "55501420000", "  J  SMITH JR" },
            "TNTDIR:12TEL:55501420000 NAME:J  SMITH J");
        row("tenant, short directory alone", TNT, { "7", "", "" }, "TNTDIR:7TEL: NAME:");
        // A no-break space is not a blank: only blanks are trimmed.
        row("tnt 0042", TNT, { "0042", "555>12", u"\u00a0A "_qs }, u"TNTDIR:0042TEL:555 12 NAME:\u00a0A"_qs);
        row("acd", ACD, { "1234", "42", "9876", "12", "1", "J SMITH" }, "ACD 1234 00042 1 2 N 1 J SMITH");
        row("acd, periods 1 3", ACD, { "0000", "", "", "1>3", "2", "" }, "ACD 0000 NNNNN 1   3 N 2 ");
        row("acd, card 09999", ACD, { "1234", "09999", "", "123", "9", " A  B CDEFGHI" },
            "ACD 1234 09999 1 2 3 9 A  B CDEFGH");
        row("ats", ATS, { "1", "2", "0800", "1730", "01111100" }, "ATS 1 2 08:00 17:30 0 1 1 1 1 1 0 0");
        row("ats, door 7, hours, three flags", ATS, { "", "7", "08", "", "101" }, "ATS  7 08: : 1 0 1");
        row("holiday, padded", HLD, { "3", "1", "5" }, "HLD 03 01/05");
        row("holiday, out of range, zero", HLD, { "99", "13", "0" }, "HLD 99 13/00");
        row("holiday, nothing typed", HLD, { "", "", "" }, "HLD  /");
        row("tmz, empty", TMZ, { "", "", "", "" }, "TMZ  : : ");
        row("tmz 0, 18-6", TMZ, { "0", "1800", "0600", "00000011" }, "TMZ 0 18:00 06:00 0 0 0 0 0 0 1 1");
    }

    void typedRecords()
    {
        QFETCH(Kind, kind);
        QFETCH(QStringList, typed);
        QFETCH(QString, line);
        EditorWindow& window = open(kind);
        const QStringList order = EnterOrder.value(kind);
        const QStringList blank = boxTexts(window);

        // Two records: the second is appended after the first.
        for (int record = 1; record <= 2; ++record) {
            for (int i = 0; i < typed.size(); ++i) {
                QCOMPARE(focusName(), order.at(i));
                QCOMPARE(window.boxes().at(i)->cursorPosition(), 0);
                type(typed.at(i));
                QTest::keyClick(QApplication::focusWidget(), i % 2 ? Qt::Key_Enter : Qt::Key_Return);
            }
            QCOMPARE(focusName(), order.constLast());
            QCOMPARE(window.findChild<QPushButton*>(order.constLast())->text(), QStringLiteral("Enter"));
            // The Enter button answers a click and, focused, the Enter key alike.
            if (record == 1)
                click(window, order.constLast());
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(window.content(), (line + QStringLiteral("\r\n")).repeated(record));
            QCOMPARE(focusName(), order.constFirst());
            QCOMPARE(boxTexts(window), blank);
        }
    }

    // Opened as the main window opens it: the handed-over file is loaded and its name
    // emptied; typing goes into the first box at once, a click into an empty box starts at its
    // first position when nothing is typed there, Shift+Enter in File Content ends a line
    // as Enter does, Tab leaves File Content without typing a TAB, and Esc with records
    // not saved asks first.
    void handedOverFileThenKeysAndMouse()
    {
        const QString handover
            = m_environment.writeFile(QStringLiteral("zones.TMZ"), "  TMZ 2 01:00 02:00 1\r\n");
        QTimer::singleShot(0, this, [&] {
            auto* editor = qobject_cast<EditorWindow*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            // Quit, and should it fail, close anyway rather than hang.
            const auto quit = qScopeGuard([editor] {
                click(*editor, QStringLiteral("quitmz"));
                if (editor->isVisible())
                    editor->done(QDialog::Rejected);
            });
            QVERIFY(QTest::qWaitForWindowActive(editor));
            QCOMPARE(focusName(), QStringLiteral("mtmz1"));
            type(QStringLiteral("1"));
            for (const auto& [box, across, digits] : { std::tuple("mtmz2", 0.25, "1700"),
                     std::tuple("mtmz3", 0.9, "1800"), std::tuple("mtmz4", 0.6, "11111000") }) {
                clickInside(editor->findChild<QWidget*>(box), across);
                type(QLatin1String(digits));
            }
            click(*editor, QStringLiteral("enttmz"));
            clickInside(editor->ui().Text1, 0.5);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(!editor->ui().Text1->hasFocus());
            for (const auto answer :
                { Dialogs::Answer::Cancel, Dialogs::Answer::Cancel, Dialogs::Answer::Discard })
                m_dialogs->expectMessage(Question, AppTitle, answer, Dialogs::Buttons::SaveDiscardCancel);
            QTest::keyClick(editor->ui().Text1, Qt::Key_Escape);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(editor->isVisible());
            QCOMPARE(editor->content(),
                QStringLiteral("TMZ 2 01:00 02:00 1\r\nTMZ 1 17:00 18:00 1 1 1 1 1 0 0 0\r\n\r\n"));
        });
        Editors::showModal(TMZ, handover, *m_dialogs, nullptr);
    }

    // Each refusal names its box and leaves the records and the boxes as they were.
    void accessCodeRefusalsInTheirOrder()
    {
        EditorWindow& window = open(ACD);
        const QString before = QStringLiteral("ACD 1111 NNNNN 1 N N 1 \r\n");
        window.setContent(before);
        type(QStringLiteral("123")); // the first box has the focus
        clickInside(window.findChild<QWidget*>("Macd5"), 0.5);
        type(QStringLiteral("A B"));
        using Refusal = std::array<QString, 4>; // message, title, box, what then mends it
        const Refusal refusals[] = {
            { "Access Code must be 4 digits", AppTitle, "Macd1", "0123" },
            { "Please input the door number", AppTitle, "Macd4", "2" },
            { "Please input S1,S2,S3", "S1,S2,S3 Error", "Macd3", ">5" },
        };
        for (const auto& [text, title, box, fix] : refusals) {
            const QStringList texts = boxTexts(window);
            m_dialogs->expectMessage(text, title, Dialogs::Answer::Ok, Dialogs::Buttons::Ok);
            click(window, QStringLiteral("entacd"));
            QCOMPARE(focusName(), box);
            QCOMPARE(window.content(), before);
            QCOMPARE(boxTexts(window), texts);
            type(fix);
        }
        click(window, QStringLiteral("entacd"));
        QCOMPARE(window.content(), before + QStringLiteral("ACD 0123 NNNNN 5 N N 2 A B\r\n"));
    }

    void loadThenSaveAndSaveAs_data()
    {
        QTest::addColumn<Kind>("kind");
        // Save, Save As, Print, Quit, the Save As title, the kind code.
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArray>("file");
        // As shown, in the files' single-byte code page.
        QTest::addColumn<QByteArray>("content");
        const auto row = [](const char* name, Kind kind, QStringList names, QByteArray file,
                             QByteArray shown) { QTest::newRow(name) << kind << names << file << shown; };

        row("tnt, CR LF lines", TNT, { "tntsave", "tntsaveas", "Command1", "qui", "Save As", "TNT" },
            "TNTDIR:1TEL: NAME:\r\nTNTDIR:2TEL: NAME:\r\n", "TNTDIR:1TEL: NAME:\r\nTNTDIR:2TEL: NAME:\r\n");
        // Only blanks are dropped; a TAB and a no-break space are kept as every other byte.
        row("acd, leading blanks", ACD, { "acdsave", "acdsaveas", "Command1", "quiacd", "Save As", "ACD" },
            "   ACD 1 \r\n  \r\n\t\xA0Jos\xE9  ", "ACD 1 \r\n\r\n\t\xA0Jos\xE9  \r\n");
        row("ats, lone CR and LF", ATS, { "atssave", "atssaveas", "Command1", "quiats", "Save As", "ATS" },
            "ATS 1\rATS 2\r\rATS 3\n  ATS 4\n\rATS 5",
            "ATS 1\r\nATS 2\r\n\r\nATS 3\r\nATS 4\r\n\r\nATS 5\r\n");
        row("holiday", HLD, { "Command1", "hldsaveas", "Command2", "quihld", "Save As", "HLD" },
            "HLD 01 01/01", "HLD 01 01/01\r\n");
        // A saved file ends with an empty line; each load and save adds one more.
        row("tmz, empty last line", TMZ, { "tmzsave", "tmzsaveas", "Command1", "quitmz", "Save AS", "TMZ" },
            "TMZ 1\r\n\r\n", "TMZ 1\r\n\r\n");
    }

    void loadThenSaveAndSaveAs()
    {
        QFETCH(Kind, kind);
        QFETCH(QStringList, names);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, content);
        const QString loaded = m_environment.writeFile(QStringLiteral("loaded"), file);
        // A name used as typed, without an ending added.
        const QString other = m_environment.filePath(QStringLiteral("other"));
        EditorWindow& window = open(kind);
        window.loadFile(loaded);
        QCOMPARE(window.content(), QString::fromLatin1(content));
        QVERIFY(window.ui().Text1->textCursor().atEnd());

        // The first Save asks although a file was loaded, offering only the window's own
        // kind; the same name is replaced without a question.
        m_dialogs->expectSaveFile(loaded, QStringLiteral("Save"));
        click(window, names.at(0));
        QCOMPARE(fileBytes(loaded), content + "\r\n");
        QCOMPARE(m_dialogs->fileRequests().constLast().filter,
            QStringLiteral("%1 File (*.%1)|*.%1").arg(names.at(5)));
        QVERIFY(!m_dialogs->fileRequests().constLast().confirmOverwrite);
        QCOMPARE(focusName(), QStringLiteral("Text1"));

        // Later Saves reuse the name without a dialog; Save As starts from it and moves it,
        // and Cancel in Save As keeps it.
        window.setContent(QStringLiteral("X 2\r\n"));
        click(window, names.at(0));
        QCOMPARE(fileBytes(loaded), QByteArray("X 2\r\n\r\n"));
        m_dialogs->expectSaveFile(other, names.at(4));
        click(window, names.at(1));
        QCOMPARE(m_dialogs->fileRequests().constLast().fileName, loaded);
        window.setContent(QStringLiteral("X 3\r\n"));
        m_dialogs->expectSaveFile(std::nullopt);
        click(window, names.at(1));
        click(window, names.at(0));
        QCOMPARE(fileBytes(other), QByteArray("X 3\r\n\r\n"));
        QCOMPARE(fileBytes(loaded), QByteArray("X 2\r\n\r\n"));

        // An empty text is refused and writes nothing.
        window.setContent(QString());
        m_dialogs->expectMessage(QStringLiteral("Invalid file"), QStringLiteral("Save file"));
        click(window, names.at(0));
        QCOMPARE(fileBytes(other), QByteArray("X 3\r\n\r\n"));

        // A name that cannot be written: Save As and the Save after it say why, write
        // nothing and leave no temporary file; the text stays.
        const QString folder = m_environment.filePath(QStringLiteral("in-the-way"));
        QVERIFY(QDir().mkpath(folder));
        const QString why = QStringLiteral("The file %1 could not be saved: Filename refers to a directory");
        window.setContent(QStringLiteral("X 4\r\n"));
        m_dialogs->expectSaveFile(folder, names.at(4));
        m_dialogs->expectMessage(why.arg(folder), QStringLiteral("Save file"));
        click(window, names.at(1));
        m_dialogs->expectMessage(why.arg(folder), QStringLiteral("Save file"));
        click(window, names.at(0));
        QCOMPARE(QDir(m_environment.path()).entryList({ "in-the-way*" }, QDir::AllEntries | QDir::Hidden),
            QStringList { "in-the-way" });
        QCOMPARE(window.content(), QStringLiteral("X 4\r\n"));

        // The window's title and captions; Quit with records not saved asks, Discard closes.
        QCOMPARE(window.windowTitle(), QStringLiteral("Vestibar 4700 Management System"));
        const QStringList captions { "Save", "Save As", "Print", "Quit" };
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(window.findChild<QPushButton*>(names.at(i))->text(), captions.at(i));
        m_dialogs->expectMessage(Question, AppTitle, Dialogs::Answer::Discard);
        click(window, names.at(3));
        QVERIFY(!window.isVisible());
    }

    // A tenant typed with clicks between: a click puts the caret where it lands, never
    // past what is typed; the name takes neither line breaks nor characters outside
    // Latin-1. "box@share" clicks the box at that share of its width, "paste:" pastes.
    void clickedAndPastedTenant_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("line");
        const auto row = [](const char* name, const QStringList& steps, const QString& line) {
            QTest::newRow(name) << steps << line;
        };
        row("directory clicked at 12 %", { "dirtenant@0.12", "1234" }, "TNTDIR:1234TEL: NAME:");
        row("directory clicked at 18 %", { "dirtenant@0.18", "1234" }, "TNTDIR:1234TEL: NAME:");
        row("directory clicked at 25 %", { "dirtenant@0.25", "1234" }, "TNTDIR:1234TEL: NAME:");
        row("name typed in two goes", { "Text2@0.5", "12", "dirtenant@0.5", "Text2@0.9", "34" },
            "TNTDIR:TEL: NAME:1234");
        row("name with a line break pasted", { "Text2@0.5", "AB", "paste:C\r\nD" }, "TNTDIR:TEL: NAME:AB");
        row("name with a Greek letter typed", { "Text2@0.5", u"A\u03a9B"_qs }, "TNTDIR:TEL: NAME:AB");
    }

    void clickedAndPastedTenant()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, line);
        EditorWindow& window = open(TNT);
        for (const QString& step : steps) {
            if (const auto at = step.indexOf(u'@'); at > 0) {
                clickInside(window.findChild<QWidget*>(step.left(at)), step.mid(at + 1).toDouble());
            } else if (step.startsWith(QLatin1String("paste:"))) {
                QGuiApplication::clipboard()->setText(step.mid(6));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
            } else {
                for (const QChar c : step) {
                    if (c.unicode() < 128)
                        type(c);
                    else
                        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
                }
            }
        }
        click(window, QStringLiteral("ent"));
        QCOMPARE(window.content(), line + QStringLiteral("\r\n"));
    }

    // Quit, Esc and the close box ask before records that were not saved are lost.
    void saveQuestion_data()
    {
        QTest::addColumn<QString>("closer");
        QTest::addColumn<bool>("records"); // a record entered
        QTest::addColumn<bool>("saved"); // and saved before closing
        QTest::addColumn<int>("answer"); // -1: nothing asked
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("file");
        using A = Dialogs::Answer;
        const QByteArray record = "TNTDIR:7TEL: NAME:\r\n\r\n";
        QTest::newRow("nothing entered, Quit")
            << "qui" << false << false << -1 << true << QByteArray("<missing>");
        QTest::newRow("saved, Esc") << "Esc" << true << true << -1 << true << record;
        QTest::newRow("not saved, Quit, Save") << "qui" << true << false << int(A::Save) << true << record;
        QTest::newRow("not saved, close box, Discard")
            << "close box" << true << false << int(A::Discard) << true << QByteArray("<missing>");
        QTest::newRow("not saved, Esc, Cancel")
            << "Esc" << true << false << int(A::Cancel) << false << QByteArray("<missing>");
    }

    void saveQuestion()
    {
        QFETCH(QString, closer);
        QFETCH(bool, records);
        QFETCH(bool, saved);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(QByteArray, file);
        const QString path = m_environment.filePath(QStringLiteral("%1.TNT").arg(QTest::currentDataTag()));
        EditorWindow& window = open(TNT);
        if (records) {
            type(QStringLiteral("7"));
            click(window, QStringLiteral("ent"));
        }
        if (saved) {
            m_dialogs->expectSaveFile(path, QStringLiteral("Save"));
            click(window, QStringLiteral("tntsave"));
        }
        if (answer >= 0) {
            m_dialogs->expectMessage(Question, AppTitle, Dialogs::Answer(answer),
                Dialogs::Buttons::SaveDiscardCancel, Dialogs::Icon::Question, Dialogs::Answer::Save);
            if (Dialogs::Answer(answer) == Dialogs::Answer::Save)
                m_dialogs->expectSaveFile(path, QStringLiteral("Save"));
        }
        if (closer == QLatin1String("Esc"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else if (closer == QLatin1String("close box"))
            window.close();
        else
            click(window, closer);
        QCOMPARE(window.isVisible(), !closed);
        QCOMPARE(fileBytes(path), file);
    }
};

QTEST_MAIN(EditorWindowTest)
#include "tst_editors_window.moc"
