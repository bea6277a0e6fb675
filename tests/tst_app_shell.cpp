// The shell around the controller link: the menu tree, the modem setting dialog,
// the settings kept between runs, "Open Send File" and the splash at start.
#include "EditorWindow.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Vestibar.h"
#include "form1.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString Properties = QString::fromLatin1(SettingsStore::Properties);

// Runs body on the modal window the next action opens; closes that window if the
// body left it open, so a failed check cannot hang the test.
void inNextModal(const std::function<void(QWidget&)>& body)
{
    QTimer::singleShot(0, [body] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            QFAIL("no modal window opened");
            return;
        }
        body(*modal);
        if (QApplication::activeModalWidget() == modal)
            modal->close();
    });
}

// One line per menu entry: depth, design name, caption, shortcut, and "unavailable"
// when the entry or a menu above it is disabled or hidden. Entries of the tool's
// own beyond the design (without a design name of the table) are left out.
void describe(const QList<QAction*>& actions, int depth, bool reachable, QStringList& lines)
{
    static const QStringList designNames { "file", "new_file", "new_tenant", "new_accesscode",
        "new_autoschedule", "new_holiday", "new_timezone", "open_send", "mnuOpenLog", "mnuCloseLog",
        "savemenu", "openpar", "save_received", "print_receive", "print_send", "close", "edit_file",
        "cut_file", "copy_file", "paset_file", "Setting", "hilp_file", "hlp", "yess" };
    for (QAction* action : actions) {
        QString line = QString(depth * 2, QLatin1Char(' '));
        if (action->isSeparator()) {
            lines << line + QLatin1Char('-');
            continue;
        }
        const QString name = action->menu() ? action->menu()->objectName() : action->objectName();
        if (!designNames.contains(name))
            continue;
        const bool available = reachable && action->isEnabled() && action->isVisible();
        line += name + QLatin1Char(' ') + action->text();
        if (!action->shortcut().isEmpty())
            line += QLatin1Char(' ') + action->shortcut().toString();
        if (!available)
            line += QStringLiteral(" unavailable");
        lines << line;
        if (action->menu())
            describe(action->menu()->actions(), depth + 1, available, lines);
    }
}

} // namespace

class AppShellTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuTree();
    void settingDialog_data();
    void settingDialog();
    void modeAndPortKeptBetweenRuns();
    void openSendFileChoosesTheEditor_data();
    void openSendFileChoosesTheEditor();
    void splashGoesBeforeTheMainWindow();

private:
    void trigger(const char* action) { m_window->findChild<QAction*>(QLatin1String(action))->trigger(); }
    // Triggers action; gives the design name of the window it opens and, for an
    // editor, its text ("none" otherwise).
    QStringList opens(const QString& action)
    {
        QStringList seen;
        inNextModal([&](QWidget& window) {
            auto* editor = qobject_cast<EditorWindow*>(&window);
            seen << window.objectName() << (editor ? editor->content() : QStringLiteral("none"));
        });
        trigger(qPrintable(action));
        return seen;
    }
    QString stored(const char* key) { return m_fixture->settings().value(Properties, QLatin1String(key)); }

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void AppShellTest::init()
{
    m_environment.clearSettings();
    m_fixture = std::make_unique<MainWindowFixture>();
}

void AppShellTest::cleanup()
{
    if (m_fixture)
        QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

void AppShellTest::menuTree()
{
    m_window = &m_fixture->show();
    QStringList lines;
    describe(m_window->menuBar()->actions(), 0, true, lines);
    const QStringList expected {
        "file &File",
        "  new_file &New File",
        "    new_tenant &Tenant Database",
        "    new_accesscode &Access Code Database",
        "    new_autoschedule Auto Schedule &Database",
        "    new_holiday &Holiday Database",
        "    new_timezone Time &Zone Database",
        "  open_send Open &Send File",
        "  -",
        "  mnuOpenLog &Open LOG File unavailable",
        "  mnuCloseLog &Close LOG File unavailable",
        "  -",
        "  savemenu Save Para&meter",
        "  openpar Open Pa&rameter",
        "  -",
        "  save_received Save Recei&ved File",
        "  -",
        "  print_receive &Print  Received File",
        "  print_send Print Se&nd File unavailable",
        "  -",
        "  close &Close",
        "edit_file &Edit",
        "  cut_file C&ut",
        "  copy_file &Copy Ctrl+C",
        "  paset_file &Paste Ctrl+V unavailable",
        "  Setting &Setting",
        "hilp_file &Help unavailable",
        "  hlp &Help Topics unavailable",
        "  yess &About Vestibar 4700 Management System unavailable",
    };
    QCOMPARE(lines, expected);
}

void AppShellTest::settingDialog_data()
{
    QTest::addColumn<QString>("storedSett");
    QTest::addColumn<QString>("storedSavea"); // "-": none stored
    QTest::addColumn<QString>("typedModem"); // appended to the box
    QTest::addColumn<int>("pickedCycle"); // row of the list, -1: none
    QTest::addColumn<QString>("typedCycle"); // keys typed into the byte-cycle box
    QTest::addColumn<QString>("close"); // "OK", "Cancel" or "Esc"
    QTest::addColumn<QString>("sett"); // stored afterwards, as the next opening shows it
    QTest::addColumn<QString>("savea");

    struct Row
    {
        const char *name, *storedSett, *storedSavea, *typedModem;
        int pickedCycle;
        const char *typedCycle, *close, *sett, *savea;
    };
    static const Row rows[] = {
        { "first use, OK with no modem string keeps no byte cycle", "", "-", "", 3, "", "OK", "", "" },
        { "15 with a modem string is kept", "", "-", "ATZ", 3, "", "OK", "ATZ", "15" },
        { "1 replaces a stored 10", "AT", "10", "", 0, "", "OK", "AT", "1" },
        { "typed byte cycle discarded", "AT&F", "3", "", -1, "7", "OK", "AT&F", "3" },
        { "Cancel keeps the stored values", "AT&F", "3", " E0", 2, "", "Cancel", "AT&F", "3" },
        { "Esc keeps the stored values", "AT&F", "3", " E0", 2, "", "Esc", "AT&F", "3" },
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << QString(r.storedSett) << QString(r.storedSavea) << QString(r.typedModem)
                              << r.pickedCycle << QString(r.typedCycle) << QString(r.close) << QString(r.sett)
                              << QString(r.savea);
}

void AppShellTest::settingDialog()
{
    QFETCH(QString, storedSett);
    QFETCH(QString, storedSavea);
    QFETCH(QString, typedModem);
    QFETCH(int, pickedCycle);
    QFETCH(QString, typedCycle);
    QFETCH(QString, close);
    QFETCH(QString, sett);
    QFETCH(QString, savea);
    if (!storedSett.isEmpty())
        m_fixture->settings().setValue(Properties, "sett", storedSett);
    if (storedSavea != QLatin1String("-"))
        m_fixture->settings().setValue(Properties, "savea", storedSavea);
    m_fixture->settings().setValue(Properties, "ph", "5550100");
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));

    QStringList shownFirst;
    inNextModal([&](QWidget& dialog) {
        QCOMPARE(dialog.objectName(), QStringLiteral("setform"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Vestibar 4700 Management System"));
        auto* modem = dialog.findChild<QLineEdit*>("Text1");
        auto* cycle = dialog.findChild<QComboBox*>("Combo1");
        shownFirst << modem->text() << cycle->currentText();

        clickControl(modem);
        QTest::keyClick(modem, Qt::Key_End);
        QTest::keyClicks(modem, typedModem);
        if (pickedCycle >= 0) {
            // The arrow at the right end opens the list; the item is clicked in it.
            QTest::mouseClick(cycle, Qt::LeftButton, {}, QPoint(cycle->width() - 6, cycle->height() / 2));
            QAbstractItemView* list = cycle->view();
            QTRY_VERIFY(list->isVisible());
            // The list takes no click sooner than a double click would end.
            QTest::qWait(QApplication::doubleClickInterval() + 20);
            const QRect item = list->visualRect(list->model()->index(pickedCycle, 0));
            QTest::mouseMove(list->viewport(), item.center());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
            QTRY_VERIFY(!list->isVisible());
        }
        if (!typedCycle.isEmpty()) {
            clickControl(cycle);
            QTest::keyClicks(QApplication::focusWidget(), typedCycle);
        }
        if (close == QLatin1String("Esc"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            clickControl(dialog.findChild<QWidget*>(close == QLatin1String("OK") ? "Command1" : "Command2"));
        QVERIFY(!dialog.isVisible());
    });
    trigger("Setting");
    QCOMPARE(shownFirst,
        (QStringList { storedSett, storedSavea == QLatin1String("-") ? QString() : storedSavea }));
    QCOMPARE(stored("sett"), sett);
    QCOMPARE(stored("savea"), savea);

    // The next opening shows the stored values, not what was typed and cancelled.
    QStringList shownAgain;
    inNextModal([&](QWidget& dialog) {
        shownAgain << dialog.findChild<QLineEdit*>("Text1")->text()
                   << dialog.findChild<QComboBox*>("Combo1")->currentText();
        clickControl(dialog.findChild<QWidget*>("Command2"));
    });
    trigger("Setting");
    QCOMPARE(shownAgain, (QStringList { sett, savea }));

    // So does the modem connect, which reads the dialog's box.
    if (sett.isEmpty())
        return;
    clickControl(m_window->findChild<QWidget*>("Option1"));
    clickControl(m_window->findChild<QWidget*>("Option8"));
    clickControl(m_window->findChild<QWidget*>("connect"));
    QVERIFY(m_fixture->pty().waitFor("ATDT"));
    QVERIFY2(m_fixture->pty().received().startsWith(sett.toLatin1() + "\r\nATDT"),
        m_fixture->pty().received().constData());
}

void AppShellTest::modeAndPortKeptBetweenRuns()
{
    const auto run = [this](const char* port, const char* mode) {
        m_fixture = std::make_unique<MainWindowFixture>();
        m_window = &m_fixture->show();
        const bool rs232 = m_window->findChild<QRadioButton*>("Option7")->isChecked();
        QString state = QStringLiteral("%1 %2 %3 %4")
                            .arg(rs232 ? "RS232" : "Modem")
                            .arg(m_window->findChild<QRadioButton*>("Option3")->isChecked() ? "port3" : "-")
                            .arg(m_window->findChild<QWidget*>("Text2")->isEnabled() ? "phone" : "no-phone")
                            .arg(m_window->panelText(2));
        clickControl(m_window->findChild<QWidget*>(QLatin1String(port)));
        clickControl(m_window->findChild<QWidget*>(QLatin1String(mode)));
        m_window->close();
        return state;
    };
    QCOMPARE(run("Option3", "Option7"), QStringLiteral("Modem - phone Comm Number:  0"));
    QCOMPARE(run("Option2", "Option8"), QStringLiteral("RS232 port3 no-phone Comm Number:  3"));
    QCOMPARE(run("Option2", "Option8"), QStringLiteral("Modem - phone Comm Number:  2"));
}

void AppShellTest::openSendFileChoosesTheEditor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("newAction"); // opens the same editor, empty

    const char* const rows[][4] = {
        { "lower-case .tnt", "building.tnt", "tntform", "new_tenant" },
        { "parameter file", "set.PAR", "hldform", "new_holiday" },
        { "access codes", "codes.Acd", "acdform", "new_accesscode" },
        { "auto schedules", "week.ATS", "atsform", "new_autoschedule" },
        { "time zones", "zones.TMZ", "tmzform", "new_timezone" },
        { "holidays", "year.HLD", "hldform", "new_holiday" },
        { "no extension", "notes", "hldform", "new_holiday" },
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3]);
}

void AppShellTest::openSendFileChoosesTheEditor()
{
    QFETCH(QString, name);
    QFETCH(QString, editor);
    QFETCH(QString, newAction);
    m_window = &m_fixture->show();
    // Leading blanks go, a lone CR ends a line.
    const QString path = m_environment.writeFile(name, "  TNTDIR:1TEL:5 NAME:A\r\nHLD 01 01\rX\r\n");
    m_fixture->dialogs().expectOpenFile(path);
    QCOMPARE(opens("open_send"), (QStringList { editor, "TNTDIR:1TEL:5 NAME:A\r\nHLD 01 01\r\nX\r\n" }));
    const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
    QCOMPARE(request.filter,
        QStringLiteral("All Files (*.*)|*.*|TNT Files(*.TNT)|*.TNT|ACD Files (*.ACD)|*.ACD|HLD files "
                       "(*.HLD)|*.HLD|ATS files (*.ATS)|*.ATS|TMZ files (*.TMZ)|*.TMZ"));
    QCOMPARE(request.filterIndex, 2);

    // The file was handed over once: a new file of the kind afterwards starts empty.
    QCOMPARE(opens(newAction), (QStringList { editor, QString() }));

    m_fixture->dialogs().expectOpenFile(std::nullopt);
    trigger("open_send");
    QVERIFY(!QApplication::activeModalWidget());
}

void AppShellTest::splashGoesBeforeTheMainWindow()
{
    m_fixture.reset();
    // Watches every window shown during the real start routine.
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
            events << widget->objectName() + QStringLiteral(" shown beside [") + visible.join(',') + ']';
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

QTEST_MAIN(AppShellTest)
#include "tst_app_shell.moc"
