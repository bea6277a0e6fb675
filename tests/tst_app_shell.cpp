// The shell around the controller link: the menu tree, the modem setting dialog,
// "Open Send File" and the splash at start.
#include "EditorWindow.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Vestibar.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs body on the modal window the next action opens; closes that window if the
// body left it open, so a failed check cannot hang the test.
void inNextModal(const std::function<void(QWidget&)>& body)
{
    QTimer::singleShot(0, [body] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY2(modal, "no modal window opened");
        body(*modal);
        if (QApplication::activeModalWidget() == modal)
            modal->close();
    });
}

// A menu's entries joined by " | ": caption and shortcut, a submenu's entries in
// brackets after its caption, "-" for a separator, and in parentheses an entry the
// user cannot reach (it or a menu above it disabled or hidden).
QString describe(const QList<QAction*>& actions, bool reachable)
{
    QStringList entries;
    for (QAction* action : actions) {
        const bool available = reachable && action->isEnabled() && action->isVisible();
        QString entry = action->isSeparator() ? "-" : action->text();
        if (!action->shortcut().isEmpty())
            entry += ' ' + action->shortcut().toString();
        if (!available)
            entry = '(' + entry + ')';
        if (action->menu())
            entry += " [" + describe(action->menu()->actions(), available) + ']';
        entries << entry;
    }
    return entries.join(" | ");
}

// One operator's visits to the setting dialog, in order: the modem string and byte
// cycle it shows on opening, and the byte cycles it offers; what is typed and picked,
// how it is closed (Command1 is "OK", Command2 "Cancel") and what is stored afterwards.
const struct
{
    const char *name, *shown, *typedModem, *picked, *typedCycle, *closer, *stored;
} visits[] = {
    { "first use, no modem string: no byte cycle", "| of 1,3,10,15", "", "15", "", "Command1", "|" },
    { "15 with a modem string is kept", "| of 1,3,10,15", "ATZ", "15", "", "Command1", "ATZ|15" },
    { "1 replaces 15, typed byte cycle discarded", "ATZ|15 of 1,3,10,15", "", "1", "7", "Command1", "ATZ|1" },
    { "Cancel keeps the stored values", "ATZ|1 of 1,3,10,15", " E0", "10", "", "Command2", "ATZ|1" },
    { "Esc keeps the stored values", "ATZ|1 of 1,3,10,15", " E0", "10", "", "Esc", "ATZ|1" },
};

} // namespace

class AppShellTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // The design's menu tree; "Serial Ports..." is the tool's own.
    void menuTree()
    {
        QCOMPARE(describe(m_window->menuBar()->actions(), true),
            QStringLiteral(
                "&File [&New File [&Tenant Database | &Access Code Database | Auto Schedule &Database | "
                "&Holiday Database | Time &Zone Database] | Open &Send File | - | (&Open LOG File) | "
                "(&Close LOG File) | - | Save Para&meter | Open Pa&rameter | - | Save Recei&ved File | "
                "- | &Print  Received File | (Print Se&nd File) | - | &Close] | "
                "&Edit [C&ut | &Copy Ctrl+C | (&Paste Ctrl+V) | &Setting | Serial P&orts... | Line "
                "&Monitor...]"));
        // Unavailable items are hidden, so they take no access key.
        for (const char* name : { "mnuOpenLog", "mnuCloseLog", "print_send" })
            QVERIFY(!m_window->findChild<QAction*>(name)->isVisible());
    }

    void settingDialog()
    {
        for (const auto& visit : visits) {
            QString shown;
            inNextModal([&](QWidget& dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("Vestibar 4700 Management System"));
                auto* modem = dialog.findChild<QLineEdit*>("Text1");
                auto* cycle = dialog.findChild<QComboBox*>("Combo1");
                shown = modem->text() + '|' + cycle->currentText();
                for (int n = 0; n < cycle->count(); ++n)
                    shown += (n ? "," : " of ") + cycle->itemText(n);
                clickControl(modem);
                QTest::keyClick(modem, Qt::Key_End);
                QTest::keyClicks(modem, visit.typedModem);
                // The byte cycle is picked with the arrow keys: it opens with none of the
                // list chosen, so the first Down chooses the list's first entry.
                clickControl(cycle);
                for (int n = 0; n <= cycle->findText(visit.picked) && *visit.picked; ++n)
                    QTest::keyClick(cycle->lineEdit(), Qt::Key_Down);
                QTest::keyClicks(cycle->lineEdit(), visit.typedCycle);
                if (QLatin1String(visit.closer) == "Esc")
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                else
                    clickControl(dialog.findChild<QWidget*>(visit.closer));
            });
            trigger("Setting");
            QCOMPARE((QStringList { visit.name, shown, stored("sett") + '|' + stored("savea") }),
                (QStringList { visit.name, visit.shown, visit.stored }));
        }

        // The modem connect reads the dialog's box, loaded again with the stored string.
        click("Text2");
        QTest::keyClicks(control("Text2"), "5550100");
        click("Option1");
        click("Option8");
        click("connect");
        QVERIFY(m_fixture->pty().waitFor("ATDT5550100\r\n"));
        QCOMPARE(m_fixture->pty().received(), QByteArray("ATZ\r\nATDT5550100\r\n"));
    }

    // The editor is chosen by the name's ending, whatever its case; an unknown one
    // opens the holiday editor. Cancel opens nothing.
    void openSendFile()
    {
        const std::pair<const char*, const char*> files[] = { { "building.tnt", "tntform" },
            { "codes.Acd", "acdform" }, { "week.ATS", "atsform" }, { "zones.tmz", "tmzform" },
            { "year.HLD", "hldform" }, { "set.PAR", "hldform" }, { "TNT", "hldform" } };
        const QByteArray text = "TNTDIR:1TEL:5 NAME:A\r\nHLD 01 01\r\n";
        for (const auto& [name, editor] : files) {
            m_fixture->dialogs().expectOpenFile(m_environment.writeFile(name, text));
            QStringList seen;
            inNextModal([&](QWidget& window) {
                auto* shown = qobject_cast<EditorWindow*>(&window);
                seen << window.objectName() << (shown ? shown->content() : QStringLiteral("no editor"));
            });
            trigger("open_send");
            QCOMPARE(seen, (QStringList { editor, QString::fromLatin1(text) }));
        }
        const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
        QCOMPARE(request.filter,
            QStringLiteral("All Files (*.*)|*.*|TNT Files(*.TNT)|*.TNT|ACD Files (*.ACD)|*.ACD|HLD files "
                           "(*.HLD)|*.HLD|ATS files (*.ATS)|*.ATS|TMZ files (*.TMZ)|*.TMZ"));
        QCOMPARE(request.filterIndex, 2);
        m_fixture->dialogs().expectOpenFile(std::nullopt);
        trigger("open_send");
        QVERIFY(!QApplication::activeModalWidget());
    }

    void splashGoesBeforeTheMainWindow()
    {
        m_fixture.reset();
        // Notes every window shown during the real start routine with those visible beside it.
        struct Watcher : QObject
        {
            QStringList events;
            bool eventFilter(QObject* object, QEvent* event) override
            {
                auto* widget = qobject_cast<QWidget*>(object);
                if (!widget || !widget->isWindow() || event->type() != QEvent::Show)
                    return false;
                QStringList visible;
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (top->isVisible() && top != widget && !top->objectName().isEmpty())
                        visible << top->objectName();
                }
                events << widget->objectName() + " shown beside [" + visible.join(',') + ']';
                if (widget->objectName() == QLatin1String("form1"))
                    QTimer::singleShot(0, widget, &QWidget::close);
                return false;
            }
        } watcher;
        qApp->installEventFilter(&watcher);
        Vestibar::start(*qApp);
        qApp->removeEventFilter(&watcher);
        QCOMPARE(watcher.events, (QStringList { "Form2 shown beside []", "form1 shown beside []" }));
    }

private:
    void trigger(const char* action) { m_window->findChild<QAction*>(QLatin1String(action))->trigger(); }
    QString stored(const char* key) { return m_fixture->settings().value(SettingsStore::Properties, key); }
};

QTEST_MAIN(AppShellTest)
#include "tst_app_shell.moc"
