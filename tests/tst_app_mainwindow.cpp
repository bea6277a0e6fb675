#include "CommandQueue.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Ticker.h"
#include "Vestibar.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>

namespace {

// One run of the tool: Port, Rs232 and ph stored before it (empty reads as none), the
// main window as it starts, what is typed into the phone box and clicked, what is
// stored on closing, and the main window as the next run starts.
const struct
{
    const char *name, *before, *atStart, *typed, *clicked, *after, *nextStart;
} runs[] = {
    { "first run", "||", "Modem - phone: Comm Number:  0", "", "Option3 Option7", "3|True|",
        "RS232 3 no-phone: Comm Number:  3" },
    // No port button: the serial component's own port number is saved.
    { "port 7 selects none", "7||", "Modem - phone: Comm Number:  7", "", "", "1||",
        "Modem 1 phone: Comm Number:  1" },
    { "port with trailing text, phone typed", "2x||111", "Modem 2 phone:111 Comm Number:  2", "9", "Option4",
        "4||1119", "Modem 4 phone:1119 Comm Number:  4" },
    { "RS232 stored, modem chosen", "1|True|5550100", "RS232 1 no-phone:5550100 Comm Number:  1", "",
        "Option8", "1|False|5550100", "Modem 1 phone:5550100 Comm Number:  1" },
    { "other mode text is modem", "4|yes|", "Modem 4 phone: Comm Number:  4", "", "", "4|yes|",
        "Modem 4 phone: Comm Number:  4" },
};

} // namespace

// The shell on its own: the settings kept between runs, the state after start, the
// tick and the wait, and what closing the window does.
class MainWindowTest : public WindowTest
{
    Q_OBJECT

    // Mode, selected port buttons, the phone box (usable with its label or not, and its
    // text) and panel 2.
    static QString shown(form1& window)
    {
        Ui::form1& ui = window.ui();
        QString text = ui.Option7->isChecked() ? "RS232" : ui.Option8->isChecked() ? "Modem" : "none";
        QString ports;
        for (QRadioButton* port : { ui.Option1, ui.Option2, ui.Option3, ui.Option4 })
            ports += port->isChecked() ? port->text() : "";
        text += ' ' + (ports.isEmpty() ? "-" : ports);
        const bool usable = ui.Text2->isEnabled();
        text += usable != ui.Label1->isEnabled() ? " ?:" : usable ? " phone:" : " no-phone:";
        return text + ui.Text2->text() + ' ' + window.panelText(2);
    }

private slots:
    void init() { openWindow(false); }
    void cleanup() { closeWindow(); }

    void settingsKeptBetweenRuns_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(runs)); ++row)
            QTest::newRow(runs[row].name) << row;
    }

    // Each run reads what the last one left: the start state, the link control set
    // disabled, the clock after a wait, the port and phone stored on closing during a
    // wait, an open log closed.
    void settingsKeptBetweenRuns()
    {
        QFETCH(int, row);
        const auto& run = runs[row];
        const QStringList before = QString(run.before).split('|');
        SettingsStore& settings = m_fixture->settings();
        const char* const keys[] = { "Port", "Rs232", "ph" };
        for (int n = 0; n < 3; ++n)
            settings.setValue(SettingsStore::Properties, keys[n], before[n]);

        form1& window = m_fixture->show();
        QCOMPARE(shown(window), QString(run.atStart));
        QCOMPARE(window.panelText(1) + '|' + window.panelText(3) + '|' + window.panelText(4),
            "Status Bar:|Send Record:  0|Setting: 1200,N,8,1 ");
        for (const QString& name : linkControlSet())
            QVERIFY2(!control(name)->isEnabled(), qPrintable(name));
        Ui::form1& ui = window.ui();
        QVERIFY(ui.Progress->isHidden() && ui.Command1->isHidden() && ui.Command3->isHidden());
        QVERIFY(ui.connect->isEnabled() && ui.close1->isEnabled() && !ui.paset_file->isEnabled());
        // The frames stay usable; the send and receive buttons enable their contents.
        QVERIFY(ui.Frame3->isEnabled() && ui.Frame4->isEnabled());
        if (*run.typed) {
            clickControl(ui.Text2);
            QTest::keyClick(ui.Text2, Qt::Key_End);
            QTest::keyClicks(ui.Text2, run.typed);
        }
        for (const QString& name : QString(run.clicked).split(' ', Qt::SkipEmptyParts))
            click(name);
        // A wait ends on the first tick after its count is passed; the clock panel goes
        // on showing the time after it.
        const auto tick = window.Timer1().tickLength();
        QCOMPARE(window.waitLength(0.5), tick);
        QCOMPARE(window.waitLength(1), 2 * tick);
        QCOMPARE(window.waitLength(2), 3 * tick);
        std::optional<bool> waited;
        window.commands().enqueue([&]() -> QCoro::Task<> { waited = co_await window.WaitSeconds(0.5); });
        QTRY_COMPARE(waited, std::optional(true));
        window.setPanelText(5, QString());
        QVERIFY(QSignalSpy(&window.Timer1(), &Ticker::ticked).wait(5000));
        QVERIFY(QTime::fromString(window.panelText(5), QStringLiteral("h:mm:ss AP")).isValid());
        // A log left open is closed with the window: all of it reaches the disk.
        auto log = std::make_unique<QFile>(m_environment.filePath("session.TNT"));
        QVERIFY(log->open(QIODevice::WriteOnly | QIODevice::Truncate));
        log->write("TNT 0101\r\n");
        window.openLog(std::move(log));
        // Closed during a wait: the wait ends, a caller that goes on anyway does not
        // wait again, and the window goes once the command has ended.
        std::optional<bool> again;
        window.commands().enqueue([&]() -> QCoro::Task<> {
            waited = co_await window.WaitSeconds(1000);
            again = co_await window.WaitSeconds(1);
        });
        window.close();
        QTRY_COMPARE(again, std::optional(false));
        QCOMPARE(waited, std::optional(false));
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(fileBytes(m_environment.filePath("session.TNT")), QByteArray("TNT 0101\r\n"));
        QStringList after;
        for (const char* key : keys)
            after << settings.value(SettingsStore::Properties, key);
        QCOMPARE(after, QString(run.after).split('|'));
        const auto next = Vestibar::createMainWindow(settings, m_fixture->dialogs());
        next->show();
        QCOMPARE(shown(*next), QString(run.nextStart));
    }

    // Keys land where the operator sees them: Tab leaves Received Content without
    // typing a TAB, Return and keypad Enter press the button that has the focus, and
    // a line break pasted into the welcome message is refused.
    // The main window and each editor open where and at the size they were closed;
    // a place on no screen that is there comes back onto one.
    void placeKeptBetweenRuns()
    {
        form1& first = m_fixture->show();
        first.setGeometry(QRect(123, 77, 910, 640));
        const QRect placed = first.geometry();
        QTimer::singleShot(0, this, [] {
            QWidget* editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            editor->setGeometry(QRect(60, 50, 700, 520));
            editor->close();
        });
        first.ui().new_tenant->trigger();
        first.close();
        QTRY_VERIFY(!first.isVisible());

        const auto next = Vestibar::createMainWindow(m_fixture->settings(), m_fixture->dialogs());
        next->show();
        QCOMPARE(next->geometry(), placed);
        QRect editorPlace;
        QTimer::singleShot(0, this, [&editorPlace] {
            QWidget* editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            editorPlace = editor->geometry();
            editor->close();
        });
        next->ui().new_tenant->trigger();
        QCOMPARE(editorPlace, QRect(60, 50, 700, 520));

        // Closed on a screen that has gone since.
        next->setGeometry(QRect(50000, 40000, 910, 640));
        next->close();
        QTRY_VERIFY(!next->isVisible());
        const auto last = Vestibar::createMainWindow(m_fixture->settings(), m_fixture->dialogs());
        last->show();
        QVERIFY(last->screen()->availableGeometry().intersects(last->frameGeometry()));
    }

    void keysOnTheFocusedControl()
    {
        m_window = &m_fixture->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        click("Text1");
        QTest::keyClick(control("Text1"), Qt::Key_Tab);
        QVERIFY(!control("Text1")->hasFocus());
        QCOMPARE(control<QPlainTextEdit>("Text1")->toPlainText(), QString());

        // Text3, then Tab over the disabled MasterCode and Connect to Disconnect.
        click("Text3");
        QTest::keyClick(control("Text3"), Qt::Key_Tab);
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Tab);
        QCOMPARE(m_window->focusWidget(), control("close1"));
        for (const auto& [key, modifier] :
            { std::pair(Qt::Key_Return, Qt::NoModifier), std::pair(Qt::Key_Enter, Qt::KeypadModifier) }) {
            m_fixture->dialogs().expectMessage("The comm port is closed", "End Communicatiom ");
            QTest::keyClick(control("close1"), key, modifier);
        }

        click("MsgWel");
        QTest::keyClicks(control("MsgWel"), "Hi");
        QGuiApplication::clipboard()->setText("\nKLR ATS");
        QTest::keyClick(control("MsgWel"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(control<QLineEdit>("MsgWel")->text(), QStringLiteral("Hi"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_app_mainwindow.moc"
