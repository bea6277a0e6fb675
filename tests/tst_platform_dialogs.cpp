#include "Dialogs.h"
#include "ScriptedDialogs.h"

#include <QTest>

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void filterConversion_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
#ifdef Q_OS_WIN
        QTest::newRow("one kind") << "TNT File (*.TNT)|*.TNT" << QStringList { "TNT File (*.TNT) (*.TNT)" };
#else
        QTest::newRow("one kind") << "TNT File (*.TNT)|*.TNT"
                                  << QStringList { "TNT File (*.TNT) (*.[Tt][Nn][Tt])" };
        QTest::newRow("two kinds, two patterns")
            << "Text (*.txt;*.log)|*.txt;*.log|Parameter|*.PAR"
            << QStringList { "Text (*.txt;*.log) (*.[Tt][Xx][Tt] *.[Ll][Oo][Gg])",
                   "Parameter (*.[Pp][Aa][Rr])" };
        QTest::newRow("digits stay") << "Log|LOG1*.TXT"
                                     << QStringList { "Log ([Ll][Oo][Gg]1*.[Tt][Xx][Tt])" };
#endif
        QTest::newRow("all files") << "All Files|*.*" << QStringList { "All Files (*)" };
        QTest::newRow("empty") << "" << QStringList {};
        QTest::newRow("description without pattern") << "Orphan" << QStringList {};
    }

    void filterConversion()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtDialogs::qtFilters(filter), expected);
    }

    void emptyTitleShowsTheApplicationTitle()
    {
        Dialogs::setApplicationTitle(QStringLiteral("Vestibar 4600 Management System"));
        ScriptedDialogs dialogs;
        dialogs.expectMessage(QStringLiteral("Please input the Call hold time"),
            QStringLiteral("Vestibar 4600 Management System"));
        dialogs.expectMessage(QStringLiteral("Comm port is opened!"), QStringLiteral("Own title"),
            Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        dialogs.inform(QStringLiteral("Please input the Call hold time"));
        dialogs.inform(QStringLiteral("Comm port is opened!"), QStringLiteral("Own title"));
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    }

    void scriptCatchesTheUnexpected()
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(
            QStringLiteral("Save?"), QStringLiteral("T"), Dialogs::Answer::Yes, Dialogs::Buttons::YesNo);
        // Wrong buttons: reported and answered with the way out.
        QCOMPARE(
            dialogs.message({ QStringLiteral("Save?"), QStringLiteral("T"), Dialogs::Buttons::YesNoCancel }),
            Dialogs::Answer::Cancel);
        QVERIFY(!dialogs.done());
        QVERIFY(dialogs.report().contains(QLatin1String("buttons")));
        QCOMPARE(dialogs.openFile({}), std::nullopt);
        QVERIFY(dialogs.report().contains(QLatin1String("unexpected open dialog")));
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_platform_dialogs.moc"
