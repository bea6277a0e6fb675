// "Save Para&meter" and "Open Pa&rameter" on the real window: the bytes written
// from typed boxes, the replace question, and what a load puts in every box.
#include "MaskedEdit.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using Answer = Dialogs::Answer;

namespace {
// The boxes a parameter file keeps, in the order of the file.
const QStringList Boxes { "Text2", "Text3", "Crno", "medit1", "medit2", "medit3", "medit4", "medit5", "rl2",
    "MsgWel" };
const QString Title = QStringLiteral("Vestibar 4600 Management System");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class ParameterMenusTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
    QString m_path = m_environment.filePath(QStringLiteral("set.par"));

    QLineEdit* box(const QString& name) { return m_window->findChild<QLineEdit*>(name); }
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    // Masked boxes by their typed digits, the others by their text.
    QString boxValues()
    {
        QStringList values;
        for (const QString& name : Boxes) {
            auto* masked = qobject_cast<MaskedEdit*>(box(name));
            values << (masked ? masked->digits() : box(name)->text());
        }
        return values.join(QLatin1Char('|'));
    }

private slots:
    void init()
    {
        m_environment.clearSettings(); // no phone number kept from the test before
        m_fixture = std::make_unique<MainWindowFixture>();
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QFile::remove(m_path);
    }

    void cleanup()
    {
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
        m_fixture.reset();
    }

    // Box contents are written as the boxes in file order, separated by "|".
    // Typed and saved (the file is what the save writes) and loaded back; or typed
    // and a file of the row's own loaded over them.
    void saveAndLoad_data()
    {
        QTest::addColumn<QString>("typed"); // a box left empty is not touched
        QTest::addColumn<bool>("save");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("boxes");
        const QString kept = QStringLiteral("||||||7|||kept");

        QTest::newRow("all empty") << "|||||||||" << true << QByteArray("\r\n") << "|||||||||";
        QTest::newRow("call hold and message")
            << "|||5||||||Welcome" << true << QByteArray("PARCHT 5\r\nPARMSG Welcome\r\n\r\n")
            << "|||005||||||Welcome";
        QTest::newRow("every box, in file order")
            << "5551234|1234|77|120|6|45|3|2|1|Hi there" << true
            << QByteArray("PHO5551234\r\nPGM1234\r\nPARFCN 77\r\nPARCHT 120\r\nPARDOT1 6\r\nPARDOT2 45\r\n"
                          "PARCLT 3\r\nPARSYD 2\r\nPARLMO 1\r\nPARMSG Hi there\r\n\r\n")
            << "5551234|1234|077|120|06|45|3|2|1|Hi there";
        // Outer blanks are lost on the way back.
        QTest::newRow("short master code and blanks")
            << " 9 555 |12||||||||  hi  " << true
            << QByteArray("PHO 9 555 \r\nPGM12\r\nPARMSG   hi  \r\n\r\n") << " 9 555|12||||||||  hi";
        QTest::newRow("every rule, lengths and padding")
            << kept << false
            << QByteArray("  PHO5551234  \r\nPGM4321\r\nPARFCN 7\r\nPARCHT 42\r\nPARDOT1 4\r\nPARDOT2 15\r\n"
                          "PARCLT 2\r\n   PARSYD 2\r\nPARLMO 3\r\nPARMSG   hi \r\n")
            << "5551234|4321|007|042|04|15|2|2|3|  hi";
        QTest::newRow("wrong length, case or command: skipped")
            << kept << false
            << QByteArray(
                   "PGM12345\r\nPGM123\r\nPARCLT 12\r\nPARFCN 1234\r\nPARDOT1 \r\nparlmo 1\r\nPho55\r\n"
                   "\tPARSYD 1\r\nPARNUM 12345\r\nPAROHR1 12\r\nPAROHR2 12\r\nPARCMC 9999\r\nPARPDL\r\n")
            << kept;
        QTest::newRow("CR and LF line ends, later lines win")
            << kept << false << QByteArray("PARCLT 1\rPARSYD 2\nPARLMO 3\r\nPARCLT 4") << "||||||4|2|3|kept";
        QTest::newRow("a value the box refuses ends the load")
            << kept << false << QByteArray("PARCLT 1\r\nPARSYD x\r\nPARLMO 3\r\n") << "||||||1|||kept";
    }

    void saveAndLoad()
    {
        QFETCH(QString, typed);
        QFETCH(bool, save);
        QFETCH(QByteArray, file);
        QFETCH(QString, boxes);
        const QStringList values = typed.split(QLatin1Char('|'));
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (values.at(i).isEmpty())
                continue;
            clickControl(box(Boxes.at(i)));
            QTest::keyClicks(box(Boxes.at(i)), values.at(i));
        }
        if (save) {
            m_fixture->dialogs().expectSaveFile(m_path);
            trigger("savemenu");
            QCOMPARE(fileBytes(m_path), file);
            QCOMPARE(m_fixture->dialogs().fileRequests().constLast().filter, "Parameter Files (*.par)|*.par");
            QCOMPARE(QApplication::focusWidget(), box("Text3"));
        }
        m_fixture->dialogs().expectOpenFile(m_environment.writeFile(QStringLiteral("load.par"), file));
        trigger("openpar");
        QCOMPARE(boxValues(), boxes);
        QCOMPARE(m_fixture->dialogs().fileRequests().constLast().filter, "PAR Files (*.par)|*.par");
        // A loaded phone number is stored as typing it would be.
        QCOMPARE(m_fixture->settings().value(QString::fromLatin1(SettingsStore::Properties), "ph"),
            boxes.section(QLatin1Char('|'), 0, 0));
    }

    // Saving over a file asks first; Cancel shows the dialog again with an empty
    // name, No keeps the file, Yes replaces it. Failures are told, not silently lost;
    // cancelled dialogs change nothing.
    void replaceAndFailures()
    {
        m_environment.writeFile(QStringLiteral("set.par"), "OLD");
        QVERIFY(qobject_cast<MaskedEdit*>(box("medit4"))->assign(QStringLiteral("3")));
        const QString question = "Replace existing file - " + m_path + '?';
        for (const Answer answer : { Answer::No, Answer::Yes }) {
            m_fixture->dialogs().expectSaveFile(m_path);
            m_fixture->dialogs().expectMessage(
                question, Title, Answer::Cancel, Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question);
            m_fixture->dialogs().expectSaveFile(m_path);
            m_fixture->dialogs().expectMessage(question, Title, answer);
            trigger("savemenu");
            QVERIFY(m_fixture->dialogs().fileRequests().constLast().fileName.isEmpty());
            QCOMPARE(fileBytes(m_path), answer == Answer::No ? "OLD" : "PARCLT 3\r\n\r\n");
        }

        const QString missing = m_environment.filePath(QStringLiteral("gone/set.par"));
        m_fixture->dialogs().expectSaveFile(missing);
        m_fixture->dialogs().expectMessage(QStringLiteral("No such file or directory"), Title, Answer::Ok,
            Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        trigger("savemenu");
        QVERIFY(!QFile::exists(missing));
        m_fixture->dialogs().expectOpenFile(missing);
        m_fixture->dialogs().expectMessage(
            "The file " + missing + " could not be read.\nNo such file or directory", "Open file");
        trigger("openpar");
        m_fixture->dialogs().expectSaveFile(std::nullopt);
        trigger("savemenu");
        m_fixture->dialogs().expectOpenFile(std::nullopt);
        trigger("openpar");
        QCOMPARE(boxValues(), "||||||3|||");
        QCOMPARE(fileBytes(m_path), "PARCLT 3\r\n\r\n");
    }
};

QTEST_MAIN(ParameterMenusTest)
#include "tst_transfer_parametermenus.moc"
