// The five database editors driven as the operator uses them: typing, the Enter
// order, the record tests of the access-code window, loading, Save and Save As.
#include "EditorKinds.h"
#include "EditorWindow.h"
#include "MaskedEdit.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TextFiles.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

using Kind = Editors::Kind;
Q_DECLARE_METATYPE(Editors::Kind)

namespace {

const QString AppTitle = QStringLiteral("Editor Test Title");

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Types text into box; ">" stands for the right arrow, to step over a position.
void type(QWidget* box, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('>'))
            QTest::keyClick(box, Qt::Key_Right);
        else
            QTest::keyClicks(box, QString(c));
    }
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class EditorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typedRecordsThroughTheEnterOrder_data();
    void typedRecordsThroughTheEnterOrder();
    void newEditorTakesTypingAndKeepsItsRecords();
    void accessCodeTestsInTheirOrder();
    void loadAndSaveByteExact_data();
    void loadAndSaveByteExact();
    void handOverNameLoadedAndCleared_data();
    void handOverNameLoadedAndCleared();
    void saveNames();
    void failedSaveReportsAndKeepsTheOldFile_data();
    void failedSaveReportsAndKeepsTheOldFile();

private:
    EditorWindow& open(Kind kind);
    QPushButton* button(const char* name) const
    {
        return m_window->findChild<QPushButton*>(QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    TestEnvironment m_environment;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<EditorWindow> m_window;
};

void EditorWindowTest::initTestCase()
{
    Dialogs::setApplicationTitle(AppTitle);
}

void EditorWindowTest::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

void EditorWindowTest::cleanup()
{
    if (m_dialogs)
        QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->report()));
    m_window.reset();
    m_dialogs.reset();
}

EditorWindow& EditorWindowTest::open(Kind kind)
{
    m_window = std::make_unique<EditorWindow>(EditorKinds::of(kind), *m_dialogs);
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the editor did not become active");
    return *m_window;
}

void EditorWindowTest::typedRecordsThroughTheEnterOrder_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("typed"); // per box, in Enter order; ">": right arrow
    QTest::addColumn<QString>("line");

    QTest::newRow("tenant") << Kind::Tenant << QStringList { "12", "555", "  J SMITH " }
                            << "TNTDIR:12TEL:555 NAME:J SMITH";
    QTest::newRow("tenant, empty boxes") << Kind::Tenant << QStringList { "", "", "" } << "TNTDIR:TEL: NAME:";
    QTest::newRow("access code") << Kind::AccessCode
                                 << QStringList { "1234", "42", "9876", "12", "1", "J SMITH" }
                                 << "ACD 1234 00042 1 2 N 1 J SMITH";
    QTest::newRow("access code, first and third period")
        << Kind::AccessCode << QStringList { "0000", "", "", "1>3", "2", "" } << "ACD 0000 NNNNN 1   3 N 2 ";
    QTest::newRow("auto schedule") << Kind::AutoSchedule
                                   << QStringList { "1", "2", "0800", "1730", "01111100" }
                                   << "ATS 1 2 08:00 17:30 0 1 1 1 1 1 0 0";
    QTest::newRow("auto schedule, hours and three flags")
        << Kind::AutoSchedule << QStringList { "", "", "08", "", "101" } << "ATS   08: : 1 0 1";
    QTest::newRow("holiday") << Kind::Holiday << QStringList { "3", "12", "5" } << "HLD 03 12/05";
    QTest::newRow("holiday, empty") << Kind::Holiday << QStringList { "", "", "" } << "HLD  /";
    QTest::newRow("time zone") << Kind::TimeZone << QStringList { "1", "0800", "1700", "11111000" }
                               << "TMZ 1 08:00 17:00 1 1 1 1 1 0 0 0";
}

void EditorWindowTest::typedRecordsThroughTheEnterOrder()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, typed);
    QFETCH(QString, line);
    EditorWindow& window = open(kind);
    const QList<MaskedEdit*>& boxes = window.boxes();
    QCOMPARE(boxes.size(), typed.size());
    QStringList cleared;
    for (const MaskedEdit* box : boxes)
        cleared << box->boxText();

    // Two records: the second is appended after the first.
    for (int record = 0; record < 2; ++record) {
        for (int i = 0; i < boxes.size(); ++i) {
            QCOMPARE(focusName(), boxes.at(i)->objectName());
            QCOMPARE(boxes.at(i)->cursorPosition(), 0);
            type(boxes.at(i), typed.at(i));
            QTest::keyClick(boxes.at(i), i % 2 ? Qt::Key_Enter : Qt::Key_Return);
        }
        QCOMPARE(focusName(), QLatin1String(window.kind().enter));
        // The focused Enter button answers a click and the Enter key alike.
        if (record == 0)
            click(window.kind().enter);
        else
            QTest::keyClick(button(window.kind().enter), Qt::Key_Return);

        QString expected;
        for (int n = 0; n <= record; ++n)
            expected += line + QLatin1String("\r\n");
        QCOMPARE(window.content(), expected);
        QCOMPARE(focusName(), boxes.constFirst()->objectName());
        for (int i = 0; i < boxes.size(); ++i) {
            QCOMPARE(boxes.at(i)->boxText(), cleared.at(i));
            QCOMPARE(boxes.at(i)->digits(), QString());
        }
    }
}

// Opened as the New File menu opens it: typing goes into the first box at once,
// a click into a box starts at its first position wherever it lands, Tab leaves
// File Content without typing a TAB, and Esc closes nothing.
void EditorWindowTest::newEditorTakesTypingAndKeepsItsRecords()
{
    QString handover;
    bool open = false;
    QString content;
    QTimer::singleShot(0, this, [&] {
        auto* editor = qobject_cast<EditorWindow*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(focusName(), QStringLiteral("mtmz1"));
        // Keys sent to no widget go where the keyboard focus is.
        QWidget* const keyboard = nullptr;
        QTest::keyClicks(keyboard, QStringLiteral("1"));
        QTest::keyClick(keyboard, Qt::Key_Escape);

        const auto box = [editor](const char* name) { return editor->findChild<MaskedEdit*>(name); };
        clickInside(box("mtmz2"), 0.25);
        QTest::keyClicks(keyboard, QStringLiteral("1700"));
        clickInside(box("mtmz3"), 0.9);
        QTest::keyClicks(keyboard, QStringLiteral("1800"));
        clickInside(box("mtmz4"), 0.6);
        QTest::keyClicks(keyboard, QStringLiteral("11111000"));
        QTest::mouseClick(editor->findChild<QPushButton*>("enttmz"), Qt::LeftButton);

        QPlainTextEdit* text = editor->ui().Text1;
        clickInside(text, 0.5);
        QTest::keyClick(keyboard, Qt::Key_Tab);
        QVERIFY(!text->hasFocus());
        QTest::keyClick(text, Qt::Key_Escape);
        QTest::keyClick(keyboard, Qt::Key_Escape);
        open = editor->isVisible();
        content = editor->content();
        editor->findChild<QPushButton*>(QStringLiteral("quitmz"))->click();
    });
    Editors::showModal(Kind::TimeZone, handover, *m_dialogs, nullptr);
    QVERIFY(open);
    QCOMPARE(content, QStringLiteral("TMZ 1 17:00 18:00 1 1 1 1 1 0 0 0\r\n"));
}

void EditorWindowTest::accessCodeTestsInTheirOrder()
{
    EditorWindow& window = open(Kind::AccessCode);
    window.setContent(QStringLiteral("ACD 1111 NNNNN 1 N N 1 \r\n"));
    const QString before = window.content();
    auto* code = window.findChild<MaskedEdit*>(QStringLiteral("Macd1"));
    auto* directory = window.findChild<MaskedEdit*>(QStringLiteral("Macd2"));
    auto* periods = window.findChild<MaskedEdit*>(QStringLiteral("Macd3"));
    auto* door = window.findChild<MaskedEdit*>(QStringLiteral("Macd4"));
    auto* name = window.findChild<MaskedEdit*>(QStringLiteral("Macd5"));
    QVERIFY(code && directory && periods && door && name);
    code->assign(QStringLiteral("123"));
    directory->assign(QStringLiteral("77"));
    name->setText(QStringLiteral("A B"));

    // Each refusal names its box and leaves the records and the boxes as they were.
    const struct
    {
        const char* text;
        QString title;
        MaskedEdit* focus;
        const char* fix;
    } refusals[] = {
        { "Access Code must be 4 digits", AppTitle, code, "0123" },
        { "Please input the door number", AppTitle, door, "2" },
        { "Please input S1,S2,S3", QStringLiteral("S1,S2,S3 Error"), periods, "    5" },
    };
    for (const auto& refusal : refusals) {
        QStringList boxTexts;
        for (const MaskedEdit* box : window.boxes())
            boxTexts << box->boxText();
        window.ui().Text1->setFocus();
        m_dialogs->expectMessage(
            QLatin1String(refusal.text), refusal.title, Dialogs::Answer::Ok, Dialogs::Buttons::Ok);
        click("entacd");
        QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->report()));
        QCOMPARE(QApplication::focusWidget(), refusal.focus);
        QCOMPARE(window.content(), before);
        for (int i = 0; i < window.boxes().size(); ++i)
            QCOMPARE(window.boxes().at(i)->boxText(), boxTexts.at(i));
        refusal.focus->assign(QLatin1String(refusal.fix));
    }

    click("entacd");
    // The Directory box takes no part in the line but is emptied with the others.
    QCOMPARE(window.content(), before + QStringLiteral("ACD 0123 NNNNN 5 N N 2 A B\r\n"));
    QCOMPARE(directory->digits(), QString());
    QCOMPARE(name->text(), QString());
    QCOMPARE(focusName(), QStringLiteral("Macd1"));
}

void EditorWindowTest::loadAndSaveByteExact_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("CR LF lines, one more empty line after a save")
        << QByteArray("TNTDIR:1TEL: NAME:\r\nTNTDIR:2TEL: NAME:\r\n")
        << "TNTDIR:1TEL: NAME:\r\nTNTDIR:2TEL: NAME:\r\n"
        << QByteArray("TNTDIR:1TEL: NAME:\r\nTNTDIR:2TEL: NAME:\r\n\r\n");
    QTest::newRow("leading blanks dropped, trailing kept")
        << QByteArray("   ACD 1234 NNNNN 1 N N 1 \r\n  \r\n\tTAB  ")
        << "ACD 1234 NNNNN 1 N N 1 \r\n\r\n\tTAB  \r\n"
        << QByteArray("ACD 1234 NNNNN 1 N N 1 \r\n\r\n\tTAB  \r\n\r\n");
    QTest::newRow("lone CR and lone LF end a line")
        << QByteArray("ATS 1\rATS 2\r\rATS 3\n  ATS 4\n\rATS 5")
        << "ATS 1\r\nATS 2\r\n\r\nATS 3\r\nATS 4\r\n\r\nATS 5\r\n"
        << QByteArray("ATS 1\r\nATS 2\r\n\r\nATS 3\r\nATS 4\r\n\r\nATS 5\r\n\r\n");
    QTest::newRow("Latin-1 bytes round-trip")
        << QByteArray("TNTDIR:1TEL: NAME:Jos\xE9\xA0\xFF\x80\r\n")
        << QString::fromLatin1("TNTDIR:1TEL: NAME:Jos\xE9\xA0\xFF\x80\r\n")
        << QByteArray("TNTDIR:1TEL: NAME:Jos\xE9\xA0\xFF\x80\r\n\r\n");
    QTest::newRow("empty file") << QByteArray() << "" << QByteArray();
}

void EditorWindowTest::loadAndSaveByteExact()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, content);
    QFETCH(QByteArray, saved);
    const QString source = m_environment.filePath(QStringLiteral("source.TNT"));
    const QString target = m_environment.filePath(QStringLiteral("target.TNT"));
    QFile::remove(target);
    QVERIFY(writeFile(source, file));

    EditorWindow& window = open(Kind::Tenant);
    window.loadFile(source);
    QCOMPARE(window.content(), content);
    QCOMPARE(window.ui().Text1->textCursor().position(), window.ui().Text1->document()->characterCount() - 1);
    if (content.isEmpty()) {
        m_dialogs->expectMessage(QStringLiteral("Invalid file"), QStringLiteral("Save file"));
        click("tntsave");
        QVERIFY(!QFile::exists(target));
        return;
    }
    m_dialogs->expectSaveFile(target, QStringLiteral("Save"));
    click("tntsave");
    QCOMPARE(contentOf(target), saved);
}

void EditorWindowTest::handOverNameLoadedAndCleared_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("readable file") << true;
    QTest::newRow("missing file") << false;
}

void EditorWindowTest::handOverNameLoadedAndCleared()
{
    QFETCH(bool, exists);
    const QString path = m_environment.filePath(QStringLiteral("handed.HLD"));
    QFile::remove(path);
    if (exists)
        QVERIFY(writeFile(path, "HLD 03 12/05\r\n"));
    QString handover = path;
    if (!exists) // the editor opens empty and says why
        m_dialogs->expectMessage(
            "The file " + QDir::toNativeSeparators(path) + " could not be read.\nNo such file or directory",
            "Open file");
    QString seen;
    QTimer::singleShot(0, this, [&] {
        auto* editor = qobject_cast<EditorWindow*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        seen = editor->content();
        // The loaded file's name is not taken over: the first Save asks.
        QCOMPARE(editor->currentFileName(), QString());
        editor->findChild<QPushButton*>(QStringLiteral("quihld"))->click();
    });
    Editors::showModal(Kind::Holiday, handover, *m_dialogs, nullptr);
    QCOMPARE(seen, exists ? QStringLiteral("HLD 03 12/05\r\n") : QString());
    QCOMPARE(handover, QString());
}

void EditorWindowTest::saveNames()
{
    const QString loaded = m_environment.filePath(QStringLiteral("names.ATS"));
    const QString other = m_environment.filePath(QStringLiteral("other"));
    QVERIFY(writeFile(loaded, "ATS 1 1 08:00 09:00 1\r\n"));
    EditorWindow& window = open(Kind::AutoSchedule);
    window.loadFile(loaded);

    // The first Save asks even though a file was loaded; the same name is replaced
    // without a question.
    m_dialogs->expectSaveFile(loaded, QStringLiteral("Save"));
    click("atssave");
    QCOMPARE(contentOf(loaded), QByteArray("ATS 1 1 08:00 09:00 1\r\n\r\n"));

    // Later Saves reuse the name without a dialog.
    window.setContent(QStringLiteral("ATS 2\r\n"));
    click("atssave");
    QCOMPARE(contentOf(loaded), QByteArray("ATS 2\r\n\r\n"));

    // Save As moves the current name; a name without extension is used as typed.
    m_dialogs->expectSaveFile(other, QStringLiteral("Save As"));
    click("atssaveas");
    window.setContent(QStringLiteral("ATS 3\r\n"));
    click("atssave");
    QCOMPARE(contentOf(other), QByteArray("ATS 3\r\n\r\n"));
    QCOMPARE(contentOf(loaded), QByteArray("ATS 2\r\n\r\n"));
    QCOMPARE(focusName(), QStringLiteral("Text1"));

    // Cancel in Save As keeps the name.
    m_dialogs->expectSaveFile(std::nullopt);
    click("atssaveas");
    QCOMPARE(window.currentFileName(), other);
}

void EditorWindowTest::failedSaveReportsAndKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFile"); // else a folder stands in the way
    QTest::newRow("read-only file") << true;
    QTest::newRow("folder in the way") << false;
}

void EditorWindowTest::failedSaveReportsAndKeepsTheOldFile()
{
    QFETCH(bool, readOnlyFile);
    const QString folder
        = m_environment.filePath(readOnlyFile ? QStringLiteral("ro") : QStringLiteral("in-the-way"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = readOnlyFile ? folder + QStringLiteral("/kept.TNT") : folder;
    const QString kept = readOnlyFile ? target : folder + QStringLiteral("/inside");
    QVERIFY(writeFile(kept, "old\r\n"));
    if (readOnlyFile) {
        // Others may pass through and write in the folder; only the file is read-only.
        QFile::setPermissions(m_environment.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther | QFile::ExeGroup);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    EditorWindow& window = open(Kind::Tenant);
    window.setContent(QStringLiteral("new\r\n"));
    {
        Unprivileged user;
        if (readOnlyFile && !user.effective())
            QSKIP("running as root, and root could not be left");
        const QString reason = TextFiles::save(target, "probe").error;
        QVERIFY(!reason.isEmpty());
        const QString report = QStringLiteral("The file %1 could not be saved: %2").arg(target, reason);
        m_dialogs->expectSaveFile(target);
        m_dialogs->expectMessage(report, QStringLiteral("Save file"));
        click("tntsave");
        // The failed name stays current: the next Save tries it again without asking.
        m_dialogs->expectMessage(report, QStringLiteral("Save file"));
        click("tntsave");
    }
    QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->report()));
    QCOMPARE(contentOf(kept), QByteArray("old\r\n"));
    // No temporary file is left behind.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
        QStringList { readOnlyFile ? QStringLiteral("kept.TNT") : QStringLiteral("inside") });
    QCOMPARE(window.content(), QStringLiteral("new\r\n"));
}

QTEST_MAIN(EditorWindowTest)
#include "tst_editors_window.moc"
