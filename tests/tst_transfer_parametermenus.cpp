// "Save Para&meter" and "Open Pa&rameter" on the real window: the bytes written
// from typed boxes, the replace question, and what a load puts in every box.
#include "Dialogs.h"
#include "MaskedEdit.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <memory>

using Answer = Dialogs::Answer;

namespace {
// The boxes a parameter file keeps, in the order of the file.
const QStringList Boxes { "Text2", "Text3", "Crno", "medit1", "medit2", "medit3", "medit4", "medit5", "rl2",
    "MsgWel" };
} // namespace

class ParameterMenusTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveWritesTheTypedBoxes_data();
    void saveWritesTheTypedBoxes();
    void replaceQuestion_data();
    void replaceQuestion();
    void failedSaveIsReported();
    void loadSetsTheBoxes_data();
    void loadSetsTheBoxes();
    void loadOfAMissingFile();

private:
    QLineEdit* box(const QString& name) { return m_window->findChild<QLineEdit*>(name); }
    // Masked boxes by their typed digits, the others by their text.
    QStringList boxValues();
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    static QByteArray fileBytes(const QString& path);

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
    QString m_path;
};

void ParameterMenusTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    for (const QString& name : Boxes) {
        if (auto* masked = qobject_cast<MaskedEdit*>(box(name)))
            masked->clearPositions();
        else
            box(name)->clear();
    }
    m_path = m_environment.filePath(QStringLiteral("set.par"));
    QFile::remove(m_path);
}

void ParameterMenusTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

QStringList ParameterMenusTest::boxValues()
{
    QStringList values;
    for (const QString& name : Boxes) {
        auto* masked = qobject_cast<MaskedEdit*>(box(name));
        values << (masked ? masked->digits() : box(name)->text());
    }
    return values;
}

QByteArray ParameterMenusTest::fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void ParameterMenusTest::saveWritesTheTypedBoxes_data()
{
    QTest::addColumn<QStringList>("typed"); // into Boxes, in order; empty: not touched
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("all empty") << QStringList() << QByteArray("\r\n");
    QTest::newRow("call hold and message") << QStringList { "", "", "", "5", "", "", "", "", "", "Welcome" }
                                           << QByteArray("PARCHT 5\r\nPARMSG Welcome\r\n\r\n");
    QTest::newRow("every box, in file order")
        << QStringList { "5551234", "1234", "77", "120", "6", "45", "3", "2", "1", "Hi there" }
        << QByteArray("PHO5551234\r\nPGM1234\r\nPARFCN 77\r\nPARCHT 120\r\nPARDOT1 6\r\nPARDOT2 45\r\n"
                      "PARCLT 3\r\nPARSYD 2\r\nPARLMO 1\r\nPARMSG Hi there\r\n\r\n");
    QTest::newRow("short master code and blanks kept") << QStringList { " 9 555 ", "12", "", "", "", "", "",
        "", "", "  hi  " } << QByteArray("PHO 9 555 \r\nPGM12\r\nPARMSG   hi  \r\n\r\n");
}

void ParameterMenusTest::saveWritesTheTypedBoxes()
{
    QFETCH(QStringList, typed);
    QFETCH(QByteArray, file);
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (typed.at(i).isEmpty())
            continue;
        clickControl(box(Boxes.at(i)));
        QTest::keyClicks(box(Boxes.at(i)), typed.at(i));
    }
    m_fixture->dialogs().expectSaveFile(m_path);
    trigger("savemenu");
    QCOMPARE(fileBytes(m_path), file);
    QCOMPARE(m_fixture->dialogs().fileRequests().constLast().filter,
        QStringLiteral("Parameter Files (*.par)|*.par"));
    QCOMPARE(QApplication::focusWidget(), box("Text3"));
}

void ParameterMenusTest::replaceQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("Yes replaces") << int(Answer::Yes) << QByteArray("PARCLT 3\r\n\r\n");
    QTest::newRow("No keeps the file") << int(Answer::No) << QByteArray("OLD");
}

void ParameterMenusTest::replaceQuestion()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, content);
    m_environment.writeFile(QStringLiteral("set.par"), "OLD");
    QVERIFY(qobject_cast<MaskedEdit*>(box("medit4"))->assign(QStringLiteral("3")));
    const QString question = QStringLiteral("Replace existing file - ") + m_path + QLatin1Char('?');
    // Cancel shows the dialog again with an empty name.
    m_fixture->dialogs().expectSaveFile(m_path);
    m_fixture->dialogs().expectMessage(question, QStringLiteral("Vestibar 4600 Management System"),
        Answer::Cancel, Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question);
    m_fixture->dialogs().expectSaveFile(m_path);
    m_fixture->dialogs().expectMessage(
        question, QStringLiteral("Vestibar 4600 Management System"), Answer(answer));
    trigger("savemenu");
    QVERIFY(m_fixture->dialogs().fileRequests().constLast().fileName.isEmpty());
    QCOMPARE(fileBytes(m_path), content);
}

void ParameterMenusTest::failedSaveIsReported()
{
    // Told, not silently lost: the operator believes the set is kept.
    const QString missingFolder = m_environment.filePath(QStringLiteral("gone/set.par"));
    m_fixture->dialogs().expectSaveFile(missingFolder);
    m_fixture->dialogs().expectMessage(QStringLiteral("No such file or directory"),
        QStringLiteral("Vestibar 4600 Management System"), Answer::Ok, Dialogs::Buttons::Ok,
        Dialogs::Icon::Exclamation);
    trigger("savemenu");
    QVERIFY(!QFile::exists(missingFolder));

    m_fixture->dialogs().expectSaveFile(std::nullopt);
    trigger("savemenu");
    QVERIFY(!QFile::exists(m_path));
}

void ParameterMenusTest::loadSetsTheBoxes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("boxes"); // Boxes in order; each load starts from medit4 7, MsgWel "kept"

    QTest::newRow("empty file changes nothing")
        << QByteArray("\r\n") << QStringList { "", "", "", "", "", "", "7", "", "", "kept" };
    QTest::newRow("saved call hold comes back padded")
        << QByteArray("PARCHT 5\r\nPARMSG Welcome\r\n\r\n")
        << QStringList { "", "", "", "005", "", "", "7", "", "", "Welcome" };
    QTest::newRow("every rule, lengths and padding")
        << QByteArray("  PHO5551234  \r\nPGM4321\r\nPARFCN 7\r\nPARCHT 42\r\nPARDOT1 4\r\nPARDOT2 15\r\n"
                      "PARCLT 2\r\n   PARSYD 2\r\nPARLMO 3\r\nPARMSG   hi \r\n")
        << QStringList { "5551234", "4321", "007", "042", "04", "15", "2", "2", "3", "  hi" };
    QTest::newRow("lines of the wrong length or case skipped") << QByteArray(
        "PGM12345\r\nPGM123\r\nPARCLT 12\r\nPARFCN 1234\r\nPARDOT1 \r\nparlmo 1\r\nPho55\r\n"
        "\tPARSYD 1\r\n") << QStringList { "", "", "", "", "", "", "7", "", "", "kept" };
    QTest::newRow("lines of other commands skipped")
        << QByteArray("PARNUM 12345\r\nPAROHR1 12\r\nPAROHR2 12\r\nPARCMC 9999\r\nPARPDL\r\n")
        << QStringList { "", "", "", "", "", "", "7", "", "", "kept" };
    QTest::newRow("CR and LF line ends, later lines win")
        << QByteArray("PARCLT 1\rPARSYD 2\nPARLMO 3\r\nPARCLT 4")
        << QStringList { "", "", "", "", "", "", "4", "2", "3", "kept" };
    QTest::newRow("a value the box refuses ends the load")
        << QByteArray("PARCLT 1\r\nPARSYD x\r\nPARLMO 3\r\n")
        << QStringList { "", "", "", "", "", "", "1", "", "", "kept" };
}

void ParameterMenusTest::loadSetsTheBoxes()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, boxes);
    QVERIFY(qobject_cast<MaskedEdit*>(box("medit4"))->assign(QStringLiteral("7")));
    box("MsgWel")->setText(QStringLiteral("kept"));
    m_fixture->dialogs().expectOpenFile(m_environment.writeFile(QStringLiteral("load.par"), file));
    trigger("openpar");
    QCOMPARE(boxValues(), boxes);
    QCOMPARE(
        m_fixture->dialogs().fileRequests().constLast().filter, QStringLiteral("PAR Files (*.par)|*.par"));
    // A loaded phone number is stored as typing it would be.
    QCOMPARE(
        m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), QStringLiteral("ph")),
        boxes.first());
}

void ParameterMenusTest::loadOfAMissingFile()
{
    m_fixture->dialogs().expectOpenFile(std::nullopt);
    trigger("openpar");
    const QString missing = m_environment.filePath(QStringLiteral("missing.par"));
    m_fixture->dialogs().expectOpenFile(missing);
    m_fixture->dialogs().expectMessage(
        "The file " + QDir::toNativeSeparators(missing) + " could not be read.\nNo such file or directory",
        "Open file");
    trigger("openpar");
    QCOMPARE(boxValues(), QStringList(Boxes.size(), QString()));
}

QTEST_MAIN(ParameterMenusTest)
#include "tst_transfer_parametermenus.moc"
