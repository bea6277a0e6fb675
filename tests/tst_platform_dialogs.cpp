#include "Dialogs.h"
#include "ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(Dialogs::Buttons)
Q_DECLARE_METATYPE(Dialogs::Icon)
Q_DECLARE_METATYPE(Dialogs::Answer)
Q_DECLARE_METATYPE(std::optional<Dialogs::Answer>)

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void realMessageBox_data()
    {
        using A = Dialogs::Answer;
        using B = Dialogs::Buttons;
        QTest::addColumn<Dialogs::Buttons>("buttons");
        QTest::addColumn<Dialogs::Icon>("icon");
        QTest::addColumn<std::optional<Dialogs::Answer>>("defaultButton");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("defaultCaption");
        QTest::addColumn<int>("iconShown");
        QTest::addColumn<QString>("press");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("details"); // the system's reason, kept out of the text
        QTest::newRow("ok") << B::Ok << Dialogs::Icon::None << std::optional<A>() << QStringList { "OK" }
                            << "OK" << int(QMessageBox::NoIcon) << "OK" << A::Ok
                            << QString("There is no device /dev/ttyS1.");
        QTest::newRow("ok cancel, cancel pressed")
            << B::OkCancel << Dialogs::Icon::Exclamation << std::optional<A>()
            << QStringList { "OK", "Cancel" } << "OK" << int(QMessageBox::Warning) << "Cancel" << A::Cancel
            << QString();
        QTest::newRow("yes no, default no")
            << B::YesNo << Dialogs::Icon::Question << std::optional<A>(A::No) << QStringList { "Yes", "No" }
            << "No" << int(QMessageBox::Question) << "Yes" << A::Yes << QString();
        QTest::newRow("yes no cancel") << B::YesNoCancel << Dialogs::Icon::Information << std::optional<A>()
                                       << QStringList { "Yes", "No", "Cancel" } << "Yes"
                                       << int(QMessageBox::Information) << "No" << A::No << QString();
        QTest::newRow("retry cancel, critical")
            << B::RetryCancel << Dialogs::Icon::Critical << std::optional<A>()
            << QStringList { "Retry", "Cancel" } << "Retry" << int(QMessageBox::Critical) << "Retry"
            << A::Retry << QString();
        QTest::newRow("default not among the buttons")
            << B::OkCancel << Dialogs::Icon::None << std::optional<A>(A::Yes)
            << QStringList { "OK", "Cancel" } << "OK" << int(QMessageBox::NoIcon) << "OK" << A::Ok
            << QString();
    }

    void realMessageBox()
    {
        QFETCH(Dialogs::Buttons, buttons);
        QFETCH(Dialogs::Icon, icon);
        QFETCH(std::optional<Dialogs::Answer>, defaultButton);
        QFETCH(QStringList, captions);
        QFETCH(QString, defaultCaption);
        QFETCH(int, iconShown);
        QFETCH(QString, press);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, details);

        QtDialogs dialogs;
        QString title, text, shownDefault, shownDetails;
        QStringList shownCaptions;
        int shownIcon = -1;
        // Inspects the box once it is up, then presses one of its buttons.
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            shownDetails = box->informativeText();
            shownIcon = int(box->icon());
            QAbstractButton* toPress = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                const QString caption = button->text().remove(QLatin1Char('&'));
                shownCaptions << caption;
                if (caption == press)
                    toPress = button;
            }
            if (box->defaultButton())
                shownDefault = box->defaultButton()->text().remove(QLatin1Char('&'));
            QVERIFY(toPress);
            toPress->click();
        });
        const Dialogs::Answer given
            = dialogs.message({ QStringLiteral("              The comm port is closed."),
                QStringLiteral("Vestibar 4700 Management System"), buttons, icon, defaultButton, details });
        QCOMPARE(title, QStringLiteral("Vestibar 4700 Management System"));
        QCOMPARE(text, QStringLiteral("              The comm port is closed."));
        QCOMPARE(shownDetails, details);
        shownCaptions.sort();
        captions.sort();
        QCOMPARE(shownCaptions, captions);
        QCOMPARE(shownDefault, defaultCaption);
        QCOMPARE(shownIcon, iconShown);
        QCOMPARE(given, answer);
    }

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
