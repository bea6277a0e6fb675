#include "Dialogs.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Ticker.h"
#include "form1.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {
const QString Properties = QString::fromLatin1(SettingsStore::Properties);
}

// The shell on its own: load, unload, the tick, the wait and the log hand-over.
class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment { 10ms };
    SettingsStore settings;

    std::unique_ptr<form1> loadedWindow(ScriptedDialogs& dialogs)
    {
        auto window = std::make_unique<form1>(settings, dialogs);
        window->show();
        return window;
    }

    QString stored(const char* key) const { return settings.value(Properties, QLatin1String(key)); }

private slots:
    void init() { environment.clearSettings(); }

    void loadReadsTheSettings_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("rs232");
        QTest::addColumn<QString>("ph");
        QTest::addColumn<int>("selectedPort"); // 0: no port button
        QTest::addColumn<bool>("rs232Mode");
        QTest::addColumn<QString>("panel");

        const QString none;
        QTest::newRow("first run") << none << none << none << 0 << false << "Comm Number:  0";
        QTest::newRow("port 7 selects none") << "7" << none << none << 0 << false << "Comm Number:  7";
        QTest::newRow("port with trailing text") << "2x" << none << none << 2 << false << "Comm Number:  2";
        QTest::newRow("rs232 True") << "1"
                                    << "True"
                                    << "5550100" << 1 << true << "Comm Number:  1";
        QTest::newRow("rs232 False") << "4"
                                     << "False"
                                     << "5550100" << 4 << false << "Comm Number:  4";
        QTest::newRow("rs232 other text") << none << "yes" << none << 0 << false << "Comm Number:  0";
    }

    void loadReadsTheSettings()
    {
        QFETCH(QString, port);
        QFETCH(QString, rs232);
        QFETCH(QString, ph);
        QFETCH(int, selectedPort);
        QFETCH(bool, rs232Mode);
        QFETCH(QString, panel);
        if (!port.isNull())
            settings.setValue(Properties, QStringLiteral("Port"), port);
        if (!rs232.isNull())
            // Written by the mode buttons in this spelling; read back as "rs232".
            settings.setValue(Properties, QStringLiteral("Rs232"), rs232);
        if (!ph.isNull())
            settings.setValue(Properties, QStringLiteral("ph"), ph);

        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        Ui::form1& ui = window->ui();

        QRadioButton* const ports[] = { ui.Option1, ui.Option2, ui.Option3, ui.Option4 };
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(ports[n - 1]->isChecked(), n == selectedPort);
        QCOMPARE(window->panelText(2), panel);

        QCOMPARE(ui.Option7->isChecked(), rs232Mode);
        QCOMPARE(ui.Option8->isChecked(), !rs232Mode);
        QCOMPARE(ui.Text2->isEnabled(), !rs232Mode);
        QCOMPARE(ui.Label1->isEnabled(), !rs232Mode);
        QCOMPARE(ui.Text2->text(), ph);
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    }

    void theLinkControlSetStartsDisabled()
    {
        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        for (const QString& name : linkControlSet()) {
            auto* control = window->findChild<QWidget*>(name);
            QVERIFY2(control && !control->isEnabled(), qPrintable(name));
        }
        QVERIFY(!window->ui().Progress->isVisible());
        QVERIFY(!window->ui().Command1->isVisible());
        QVERIFY(!window->ui().Command3->isVisible());
        QVERIFY(window->ui().connect->isEnabled());
        QVERIFY(window->ui().close1->isEnabled());
        QVERIFY(!window->ui().paset_file->isEnabled());
        // The frames stay usable; the send and receive buttons enable their contents.
        QVERIFY(window->ui().Frame3->isEnabled());
        QVERIFY(window->ui().Frame4->isEnabled());
    }

    void unloadSavesPortAndPhone_data()
    {
        QTest::addColumn<QString>("storedPh");
        QTest::addColumn<QString>("typedPh");
        QTest::addColumn<int>("portButton"); // 0: none
        QTest::addColumn<QString>("savedPh");
        QTest::addColumn<QString>("savedPort");

        QTest::newRow("phone and port 2") << "111"
                                          << "5550100" << 2 << "5550100"
                                          << "2";
        QTest::newRow("empty phone keeps the stored one") << "111" << QString() << 4 << "111"
                                                          << "4";
        // No button: the component's own port number is saved.
        QTest::newRow("no port button") << QString() << "9" << 0 << "9"
                                        << "1";
    }

    void unloadSavesPortAndPhone()
    {
        QFETCH(QString, storedPh);
        QFETCH(QString, typedPh);
        QFETCH(int, portButton);
        QFETCH(QString, savedPh);
        QFETCH(QString, savedPort);
        if (!storedPh.isEmpty())
            settings.setValue(Properties, QStringLiteral("ph"), storedPh);

        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        window->ui().Text2->setText(typedPh);
        QRadioButton* const ports[]
            = { window->ui().Option1, window->ui().Option2, window->ui().Option3, window->ui().Option4 };
        if (portButton)
            ports[portButton - 1]->setChecked(true);
        window->close();

        QCOMPARE(stored("ph"), savedPh);
        QCOMPARE(stored("Port"), savedPort);
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    }

    void closingWithAnOpenLogClosesIt_data()
    {
        QTest::addColumn<bool>("byCommand3");
        QTest::newRow("window closes") << false;
        QTest::newRow("Command3 pressed") << true;
    }

    void closingWithAnOpenLogClosesIt()
    {
        QFETCH(bool, byCommand3);
        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        const QString path = environment.filePath(QStringLiteral("session.TNT"));
        QFile::remove(path);
        auto file = std::make_unique<QFile>(path);
        QVERIFY(file->open(QIODevice::WriteOnly | QIODevice::Append));
        QPointer<QFile> log(file.get());
        window->openLog(std::move(file));
        window->logFile()->write("TNT 0101\r\n");
        window->ui().Command3->show();

        if (byCommand3) {
            QTest::mouseClick(window->ui().Command3, Qt::LeftButton);
            QVERIFY(!window->ui().Command3->isVisible());
        } else {
            window->close();
        }

        QCOMPARE(window->logFileNumber(), 0);
        QVERIFY(log.isNull());
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("TNT 0101\r\n"));
    }

    void waitSecondsEndsOnTheTickAfterTheCount_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("ticks");
        QTest::newRow("half a second") << 0.5 << 1;
        QTest::newRow("one second") << 1.0 << 2;
        QTest::newRow("two seconds") << 2.0 << 3;
        QTest::newRow("byte cycle 15") << 15 * 50 / 1000.0 << 1;
    }

    void waitSecondsEndsOnTheTickAfterTheCount()
    {
        QFETCH(double, seconds);
        QFETCH(int, ticks);
        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        QSignalSpy ticked(&window->Timer1(), &Ticker::ticked);
        QVERIFY(window->WaitSeconds(seconds));
        QCOMPARE(ticked.count(), ticks);
    }

    void theClockKeepsRunningAfterAWait()
    {
        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        QVERIFY(window->WaitSeconds(1));
        window->setPanelText(5, QString());
        QSignalSpy ticked(&window->Timer1(), &Ticker::ticked);
        QVERIFY(ticked.wait(5000));
        QVERIFY(QTime::fromString(window->panelText(5), QStringLiteral("h:mm:ss AP")).isValid());
    }

    void aWaitEndsWhenTheWindowCloses()
    {
        ScriptedDialogs dialogs;
        auto window = loadedWindow(dialogs);
        QTimer::singleShot(0, window.get(), [&] { window->close(); });
        QVERIFY(!window->WaitSeconds(1000));
        // A caller that goes on anyway does not wait again.
        QVERIFY(!window->WaitSeconds(1));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_app_mainwindow.moc"
