#include "Dialogs.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"
#include "setform.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
const QString Properties = QString::fromLatin1(SettingsStore::Properties);
}

// The modem setting dialog: what it loads, what OK and Cancel keep.
class SetformTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment;
    SettingsStore settings;

    QString stored(const char* key) const { return settings.value(Properties, QLatin1String(key)); }
    void store(const char* key, const QString& value)
    {
        if (!value.isNull())
            settings.setValue(Properties, QLatin1String(key), value);
    }

private slots:
    void init() { environment.clearSettings(); }

    void loadShowsTheStoredValues_data()
    {
        QTest::addColumn<QString>("sett");
        QTest::addColumn<QString>("savea");
        QTest::newRow("nothing stored") << QString() << QString();
        QTest::newRow("both stored") << "ATZ"
                                     << "15";
        QTest::newRow("byte cycle not in the list") << "AT&F"
                                                    << "7";
        QTest::newRow("empty modem string") << ""
                                            << "3";
    }

    void loadShowsTheStoredValues()
    {
        QFETCH(QString, sett);
        QFETCH(QString, savea);
        store("sett", sett);
        store("savea", savea);
        setform dialog(settings);
        QCOMPARE(dialog.ui().Text1->text(), sett);
        QCOMPARE(dialog.modemSetting(), sett);
        QCOMPARE(dialog.byteCycle(), savea);
        QCOMPARE(dialog.ui().Combo1->count(), 4);
        const QStringList items = { dialog.ui().Combo1->itemText(0), dialog.ui().Combo1->itemText(1),
            dialog.ui().Combo1->itemText(2), dialog.ui().Combo1->itemText(3) };
        QCOMPARE(items, QStringList({ "1", "3", "10", "15" }));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Vestibar 4700 Management System"));
        QCOMPARE(Dialogs::applicationTitle(), QStringLiteral("Vestibar 4700 Managemant System"));
    }

    void okSavesTheByteCycleOnlyWithAModemString_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("chosen"); // index in the list
        QTest::addColumn<QString>("savedSett");
        QTest::addColumn<QString>("savedSavea");
        // An earlier "3" is stored before each row.
        QTest::newRow("modem string and 15") << "ATZ" << 3 << "ATZ"
                                             << "15";
        QTest::newRow("modem string and 1") << "AT&F1" << 0 << "AT&F1"
                                            << "1";
        QTest::newRow("empty modem string keeps the byte cycle") << "" << 3 << ""
                                                                 << "3";
    }

    void okSavesTheByteCycleOnlyWithAModemString()
    {
        QFETCH(QString, typed);
        QFETCH(int, chosen);
        QFETCH(QString, savedSett);
        QFETCH(QString, savedSavea);
        store("sett", QStringLiteral("OLD"));
        store("savea", QStringLiteral("3"));
        setform dialog(settings);
        QSignalSpy unloaded(&dialog, &setform::unloaded);
        dialog.ui().Text1->clear();
        QTest::keyClicks(dialog.ui().Text1, typed);
        dialog.ui().Combo1->setCurrentIndex(chosen);
        QTest::mouseClick(dialog.ui().Command1, Qt::LeftButton);
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(stored("sett"), savedSett);
        QCOMPARE(stored("savea"), savedSavea);

        // The next use shows what was stored.
        setform next(settings);
        QCOMPARE(next.modemSetting(), savedSett);
        QCOMPARE(next.byteCycle(), savedSavea);
    }

    void cancelKeepsTheStoredValues()
    {
        store("sett", QStringLiteral("ATZ"));
        store("savea", QStringLiteral("10"));
        setform dialog(settings);
        QSignalSpy unloaded(&dialog, &setform::unloaded);
        dialog.ui().Text1->setText(QStringLiteral("ATDP"));
        dialog.ui().Combo1->setCurrentIndex(0);
        QTest::mouseClick(dialog.ui().Command2, Qt::LeftButton);
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(stored("sett"), QStringLiteral("ATZ"));
        QCOMPARE(stored("savea"), QStringLiteral("10"));
    }

    void typingInTheByteCycleChangesNothing()
    {
        store("savea", QStringLiteral("10"));
        setform dialog(settings);
        dialog.show();
        QTest::keyClicks(dialog.ui().Combo1, QStringLiteral("99x"));
        QTest::keyClick(dialog.ui().Combo1, Qt::Key_Backspace);
        QCOMPARE(dialog.byteCycle(), QStringLiteral("10"));
        // Picking from the list still works.
        dialog.ui().Combo1->setCurrentIndex(1);
        QCOMPARE(dialog.byteCycle(), QStringLiteral("3"));
    }

    void theWindowReloadsTheDialogAfterCancel()
    {
        store("sett", QStringLiteral("ATZ"));
        ScriptedDialogs dialogs;
        form1 window(settings, dialogs);
        setform& first = window.settingDialog();
        QVERIFY(!first.isVisible()); // loaded invisibly, as connect and the file send do
        QCOMPARE(&window.settingDialog(), &first);
        first.ui().Text1->setText(QStringLiteral("typed but cancelled"));
        QTest::mouseClick(first.ui().Command2, Qt::LeftButton);
        // A later connect reads the stored string from a freshly loaded dialog.
        QCOMPARE(window.settingDialog().modemSetting(), QStringLiteral("ATZ"));
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    }

    void theSettingMenuShowsTheDialogModally()
    {
        store("sett", QStringLiteral("ATZ"));
        ScriptedDialogs dialogs;
        form1 window(settings, dialogs);
        window.show();
        QString shownText;
        bool wasModal = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<setform*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            wasModal = dialog->isModal();
            shownText = dialog->modemSetting();
            dialog->ui().Text1->setText(QStringLiteral("ATM0"));
            QTest::mouseClick(dialog->ui().Command1, Qt::LeftButton);
        });
        window.ui().Setting->trigger();
        QVERIFY(wasModal);
        QCOMPARE(shownText, QStringLiteral("ATZ"));
        QCOMPARE(stored("sett"), QStringLiteral("ATM0"));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    }
};

QTEST_MAIN(SetformTest)
#include "tst_app_setform.moc"
