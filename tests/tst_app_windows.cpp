#include "Form2.h"
#include "Form3.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Vestibar.h"
#include "form1.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QStringList labelTexts(const QWidget& window)
{
    QStringList texts;
    for (const auto* label : window.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

// Watches the start routine: which windows are shown, in what order, and what else
// was on screen at that moment. Closes the main window once it is up.
class StartWatcher : public QObject
{
public:
    QStringList shown;
    bool togetherOnScreen = false;
    bool splashBusy = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (auto* splash = qobject_cast<Form2*>(widget)) {
            shown << QStringLiteral("Form2");
            splashBusy = splash->cursor().shape() == Qt::WaitCursor;
        } else if (auto* main = qobject_cast<form1*>(widget)) {
            shown << QStringLiteral("form1");
            for (const QWidget* top : QApplication::topLevelWidgets()) {
                if (qobject_cast<const Form2*>(top) && top->isVisible())
                    togetherOnScreen = true;
            }
            QTimer::singleShot(0, main, [main] { main->close(); });
        }
        return false;
    }
};

} // namespace

// The splash, the about window and the start routine that shows them.
class WindowsTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment;

private slots:
    void theAboutWindowShowsTheProductTitle()
    {
        Form3 about;
        QCOMPARE(about.windowTitle(), QStringLiteral("Vestibar 4700 Management System"));
        const QStringList texts = labelTexts(about);
        QVERIFY(texts.contains(QStringLiteral(" Vestibar 4700 ")));
        QVERIFY(texts.contains(QStringLiteral("Management System")));
        QVERIFY(texts.contains(QStringLiteral("Vestibar 4700 Management System")));
        QCOMPARE(about.ui().Label1->font().family(), QStringLiteral("Courier"));
        QCOMPARE(about.findChildren<QProgressBar*>().size(), 5);
        QCOMPARE(about.ui().Command1->text(), QStringLiteral("OK"));
    }

    void okInTheAboutWindowReturnsToTheMainWindowUnchanged()
    {
        environment.clearSettings();
        SettingsStore settings;
        ScriptedDialogs dialogs;
        form1 window(settings, dialogs);
        window.show();
        const QString phone = window.ui().Text2->text();
        bool aboutShown = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<Form3*>(QApplication::activeModalWidget());
            QVERIFY(about);
            aboutShown = true;
            QTest::mouseClick(about->ui().Command1, Qt::LeftButton);
        });
        window.ui().yess->trigger();
        QVERIFY(aboutShown);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(window.isVisible());
        QCOMPARE(window.ui().Text2->text(), phone);
        QVERIFY(window.findChildren<Form3*>().isEmpty()); // unloaded
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    }

    void theSplashShowsTheProductTitle()
    {
        Form2 splash;
        QCOMPARE(splash.windowTitle(), QStringLiteral("Form2"));
        QVERIFY(labelTexts(splash).contains(QStringLiteral("Vestibar 4700 Management System")));
        QCOMPARE(splash.ui().Label1->font().family(), QStringLiteral("Arial"));
        QCOMPARE(splash.findChildren<QProgressBar*>().size(), 4);
    }

    void theSplashGoesBeforeTheMainWindowComes()
    {
        environment.clearSettings();
        StartWatcher watcher;
        qApp->installEventFilter(&watcher);
        const int result = Vestibar::start(*qApp);
        qApp->removeEventFilter(&watcher);

        QCOMPARE(result, 0);
        QCOMPARE(watcher.shown, QStringList({ "Form2", "form1" }));
        QVERIFY(watcher.splashBusy);
        QVERIFY(!watcher.togetherOnScreen);
        // The main window's unload ran: the port was saved.
        QCOMPARE(
            SettingsStore().value(SettingsStore::Properties, QStringLiteral("Port")), QStringLiteral("1"));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_app_windows.moc"
