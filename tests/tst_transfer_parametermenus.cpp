// "Save Para&meter" and "Open Pa&rameter" on the real window: the file written
// from the boxes, the replace question, failed saves, and what a load sets.
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

class ParameterMenusTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveWritesTheBoxes();
    void replaceQuestion_data();
    void replaceQuestion();
    void failedSaveKeepsTheOldFile();
    void loadSetsTheBoxes();
    void rejectedValueEndsTheLoad();

private:
    QLineEdit* box(const char* name) { return m_window->findChild<QLineEdit*>(name); }
    MaskedEdit* masked(const char* name) { return m_window->findChild<MaskedEdit*>(name); }
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    void clearBoxes();
    void load(const QByteArray& content);
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
    clearBoxes();
    m_path = m_environment.filePath(QStringLiteral("set.par"));
    QFile::remove(m_path);
}

void ParameterMenusTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

void ParameterMenusTest::clearBoxes()
{
    for (const char* name : { "Text2", "Text3", "MsgWel" })
        box(name)->clear();
    for (const char* name : { "Crno", "medit1", "medit2", "medit3", "medit4", "medit5", "rl2" })
        masked(name)->clearPositions();
}

QByteArray ParameterMenusTest::fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void ParameterMenusTest::load(const QByteArray& content)
{
    m_fixture->dialogs().expectOpenFile(m_environment.writeFile(QStringLiteral("load.par"), content));
    trigger("openpar");
}

void ParameterMenusTest::saveWritesTheBoxes()
{
    m_fixture->dialogs().expectSaveFile(m_path);
    trigger("savemenu");
    QCOMPARE(fileBytes(m_path), QByteArray("\r\n"));
    QCOMPARE(m_fixture->dialogs().fileRequests().constLast().filter,
        QStringLiteral("Parameter Files (*.par)|*.par"));
    QCOMPARE(QApplication::focusWidget(), box("Text3"));

    QFile::remove(m_path);
    QVERIFY(masked("medit1")->assign(QStringLiteral("5")));
    box("MsgWel")->setText(QStringLiteral("Welcome"));
    m_fixture->dialogs().expectSaveFile(m_path);
    trigger("savemenu");
    QCOMPARE(fileBytes(m_path), QByteArray("PARCHT 5\r\nPARMSG Welcome\r\n\r\n"));
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
    QVERIFY(masked("medit4")->assign(QStringLiteral("3")));
    const QString question = QStringLiteral("Replace existing file - ") + m_path + QLatin1Char('?');
    // Cancel shows the dialog again with an empty name.
    m_fixture->dialogs().expectSaveFile(m_path);
    m_fixture->dialogs().expectMessage(question, Dialogs::applicationTitle(), Answer::Cancel,
        Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question);
    m_fixture->dialogs().expectSaveFile(m_path);
    m_fixture->dialogs().expectMessage(question, Dialogs::applicationTitle(), Answer(answer));
    trigger("savemenu");
    QVERIFY(m_fixture->dialogs().fileRequests().constLast().fileName.isEmpty());
    QCOMPARE(fileBytes(m_path), content);
}

void ParameterMenusTest::failedSaveKeepsTheOldFile()
{
    const QString missingFolder = m_environment.filePath(QStringLiteral("gone/set.par"));
    m_fixture->dialogs().expectSaveFile(missingFolder);
    m_fixture->dialogs().expectMessage(QStringLiteral("No such file or directory"),
        Dialogs::applicationTitle(), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    trigger("savemenu");
    QVERIFY(!QFile::exists(missingFolder));

    // Cancel is silent and writes nothing.
    m_fixture->dialogs().expectSaveFile(std::nullopt);
    trigger("savemenu");
    QVERIFY(!QFile::exists(m_path));
}

void ParameterMenusTest::loadSetsTheBoxes()
{
    box("MsgWel")->setText(QStringLiteral("kept"));
    QVERIFY(masked("medit4")->assign(QStringLiteral("7")));
    load("  PHO5551234  \r\nPGM12345\r\nPGM4321\r\nPARFCN 7\r\nPARCHT 42\r\nPARDOT1 4\r\nPARDOT2 15\r\n"
         "PARCLT 12\r\n   PARSYD 2\r\nparlmo 1\r\nPARLMO 3\r\nPARNUM 12345\r\nPAROHR1 12\r\nPARCMC 9999\r\n");
    QCOMPARE(box("Text2")->text(), QStringLiteral("5551234"));
    // The phone number is stored as typing it would.
    QCOMPARE(
        m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), QStringLiteral("ph")),
        QStringLiteral("5551234"));
    QCOMPARE(box("Text3")->text(), QStringLiteral("4321"));
    QCOMPARE(masked("Crno")->digits(), QStringLiteral("007"));
    QCOMPARE(masked("medit1")->digits(), QStringLiteral("042"));
    QCOMPARE(masked("medit2")->digits(), QStringLiteral("04"));
    QCOMPARE(masked("medit3")->digits(), QStringLiteral("15"));
    QCOMPARE(masked("medit4")->digits(), QStringLiteral("7"));
    QCOMPARE(masked("medit5")->digits(), QStringLiteral("2"));
    QCOMPARE(masked("rl2")->digits(), QStringLiteral("3"));
    QCOMPARE(box("MsgWel")->text(), QStringLiteral("kept"));
    QVERIFY(masked("MEDIT7")->digits().isEmpty());
}

void ParameterMenusTest::rejectedValueEndsTheLoad()
{
    load("PARCLT 1\r\nPARSYD x\r\nPARLMO 3\r\n");
    QCOMPARE(masked("medit4")->digits(), QStringLiteral("1"));
    QVERIFY(masked("medit5")->digits().isEmpty());
    QVERIFY(masked("rl2")->digits().isEmpty());

    m_fixture->dialogs().expectOpenFile(std::nullopt);
    trigger("openpar");
    const QString missing = m_environment.filePath(QStringLiteral("missing.par"));
    m_fixture->dialogs().expectOpenFile(missing);
    m_fixture->dialogs().expectMessage(
        "The file " + QDir::toNativeSeparators(missing) + " could not be read.\nNo such file or directory",
        "Open file");
    trigger("openpar");
}

QTEST_MAIN(ParameterMenusTest)
#include "tst_transfer_parametermenus.moc"
