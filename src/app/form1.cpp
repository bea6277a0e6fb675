#include "form1.h"

#include "ButtonKeys.h"
#include "CommandQueue.h"
#include "Dialogs.h"
#include "Form3.h"
#include "LinkSession.h"
#include "MaskedEdit.h"
#include "MenuShortcutFilter.h"
#include "SettingsStore.h"
#include "Ticker.h"
#include "TypedText.h"
#include "WindowPlacement.h"
#include "setform.h"
#include "ui_form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFontDatabase>
#include <QIODevice>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTime>

namespace {

const QString TwoBlanks = QStringLiteral("  ");

// The digit masks of the value boxes; medit6 alone prompts with "_".
struct BoxMask
{
    MaskedEdit* Ui::form1::*box;
    const char* mask;
    char prompt;
};
const BoxMask BoxMasks[] = {
    { &Ui::form1::Crno, "###", ' ' },
    { &Ui::form1::medit1, "###", ' ' },
    { &Ui::form1::medit2, "##", ' ' },
    { &Ui::form1::medit3, "##", ' ' },
    { &Ui::form1::medit4, "#", ' ' },
    { &Ui::form1::medit5, "#", ' ' },
    { &Ui::form1::MEDIT7, "##", ' ' },
    { &Ui::form1::medit8, "##", ' ' },
    { &Ui::form1::rl2, "#", ' ' },
    { &Ui::form1::medit6, "#####", '_' },
    { &Ui::form1::meditacd, "####", ' ' },
    { &Ui::form1::medittnt, "####", ' ' },
};

// The link control set, in the order Disconnect disables it.
QList<QWidget*> linkControlSet(Ui::form1& ui)
{
    return { ui.message, ui.rlm, ui.Command2, ui.Mastercode, ui.clearats, ui.clearhld, ui.cleartmz,
        ui.cleartnt, ui.clearacd, ui.medittnt, ui.meditacd, ui.hldc, ui.atsc, ui.tmzc, ui.date, ui.clearevr,
        ui.upload, ui.download, ui.sendfileg, ui.tone, ui.Pluse, ui.singleg, ui.Multi, ui.endg, ui.RtRTc,
        ui.uptalktime, ui.opentime1, ui.opentime2, ui.lockcount, ui.systemid, ui.manualdoor1, ui.manualdoor2,
        ui.Newmastcode, ui.up_all, ui.up_par, ui.up_tnt, ui.up_evr, ui.up_hlp, ui.MEDIT7, ui.medit8,
        ui.medit6, ui.nonpbx, ui.PBX, ui.ARN, ui.FCN, ui.OWR, ui.nowr, ui.Medit_New_mastercode };
}

// What "Send" enables, in order.
QList<QWidget*> programmingControlSet(Ui::form1& ui)
{
    return { ui.nonpbx, ui.ARN, ui.OWR, ui.nowr, ui.FCN, ui.Crno, ui.PBX, ui.medit6, ui.rl2, ui.rlm,
        ui.Frame4, ui.medit1, ui.meditacd, ui.medittnt, ui.medit2, ui.medit3, ui.medit4, ui.medit5, ui.MEDIT7,
        ui.medit8, ui.clearacd, ui.clearats, ui.cleartmz, ui.clearhld, ui.cleartnt, ui.sendfileg, ui.tone,
        ui.Pluse, ui.singleg, ui.Multi, ui.message, ui.uptalktime, ui.opentime1, ui.opentime2, ui.lockcount,
        ui.systemid, ui.manualdoor1, ui.manualdoor2, ui.Newmastcode, ui.Medit_New_mastercode, ui.clearevr };
}

} // namespace

form1::form1(SettingsStore& settings, Dialogs& dialogs, WindowTiming timing, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::form1>())
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_link(new LinkSession(settings, this))
    , m_timer1(new Ticker(timing.tick, this))
    , m_clock(std::move(timing.clock))
{
    m_ui->setupUi(this);
    m_link->setObjectName(QStringLiteral("MSComm1"));
    m_timer1->setObjectName(QStringLiteral("Timer1"));

    for (const BoxMask& entry : BoxMasks)
        (m_ui.get()->*entry.box)->setDigitMask(QString::fromLatin1(entry.mask), QLatin1Char(entry.prompt));

    m_ui->Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel(m_ui->bar);
        m_panels[i]->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_ui->bar->addWidget(m_panels[i], i == 0 ? 2 : 1);
    }

    m_linkControls = linkControlSet(*m_ui);
    m_programmingControls = programmingControlSet(*m_ui);

    // The Edit menu's Ctrl+C and Ctrl+V follow the menu's rules in every box.
    auto* editKeys = new MenuShortcutFilter({ m_ui->copy_file, m_ui->paset_file }, this);
    const QList<QWidget*> textBoxes { m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->MsgWel,
        m_ui->Medit_New_mastercode };
    for (QWidget* box : textBoxes)
        editKeys->watch(box);
    for (const BoxMask& entry : BoxMasks)
        editKeys->watch(m_ui.get()->*entry.box);

    // Enter on a focused button presses it, as Space does.
    ButtonKeys::install(this);

    connect(m_timer1, &Ticker::ticked, this, &form1::Timer1_Timer);
    connect(m_ui->Command3, &QPushButton::clicked, this, &form1::Command3_Click);
    connect(m_ui->close, &QAction::triggered, this, &form1::close_Click);
    connect(m_ui->Setting, &QAction::triggered, this, &form1::Setting_Click);
    connect(m_ui->yess, &QAction::triggered, this, &form1::yess_Click);
}

form1::~form1()
{
    while (m_busyDepth > 0)
        setBusyPointer(false);
}

Ui::form1& form1::ui()
{
    return *m_ui;
}

LinkSession& form1::MSComm1()
{
    return *m_link;
}

CommandQueue& form1::commands()
{
    return m_link->commands();
}

Ticker& form1::Timer1()
{
    return *m_timer1;
}

Dialogs& form1::dialogs()
{
    return m_dialogs;
}

SettingsStore& form1::settings()
{
    return m_settings;
}

setform& form1::settingDialog()
{
    if (!m_setform) {
        m_setform = new setform(m_settings, m_dialogs, this);
        connect(m_setform, &setform::unloaded, this, &form1::unloadSettingDialog);
    }
    return *m_setform;
}

void form1::unloadSettingDialog()
{
    if (!m_setform)
        return;
    m_setform->deleteLater();
    m_setform = nullptr;
}

void form1::setPanelText(int panel, const QString& text)
{
    if (panel >= 1 && panel <= 5)
        m_panels[panel - 1]->setText(text);
}

QLabel* form1::panel(int panel) const
{
    return panel >= 1 && panel <= 5 ? m_panels[panel - 1] : nullptr;
}

QString form1::panelText(int panel) const
{
    return panel >= 1 && panel <= 5 ? m_panels[panel - 1]->text() : QString();
}

bool form1::logOpen() const
{
    return m_log != nullptr;
}

void form1::openLog(std::unique_ptr<QIODevice> device)
{
    m_log = std::move(device);
}

QIODevice* form1::logFile() const
{
    return m_log.get();
}

void form1::closeLog()
{
    if (m_log)
        m_log->close();
    m_log.reset();
}

std::chrono::milliseconds form1::waitLength(double seconds) const
{
    // The wait ends on the first tick after the count exceeds seconds.
    const int ticks = seconds < 0 ? 1 : int(seconds) + 1;
    return m_timer1->tickLength() * ticks;
}

QDateTime form1::now() const
{
    return m_clock();
}

void form1::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

QCoro::Task<bool> form1::WaitSeconds(double seconds)
{
    m_tickCount = 0;
    // Restarted so that the wait's ticks are the clock's; the clock keeps running
    // after the wait, so the status panel never freezes.
    m_timer1->start();
    ++m_waits;
    const bool waited = co_await commands().pauseUntil(QDeadlineTimer(waitLength(seconds), Qt::PreciseTimer));
    --m_waits;
    co_return waited;
}

bool form1::waiting() const
{
    return m_waits > 0;
}

void form1::stopCommands()
{
    const int queued = commands().stop();
    const bool held = m_link->dropOutput();
    const int notSent = queued + (held ? 1 : 0);
    if (notSent == 0)
        return;
    const QString text = notSent == 1
        ? QStringLiteral("1 command was not sent to the controller.")
        : QStringLiteral("%1 commands were not sent to the controller.").arg(notSent);
    m_dialogs.inform(text, QStringLiteral("Disconnect"), Dialogs::Icon::Exclamation);
}

QList<QWidget*> form1::linkControls() const
{
    return m_linkControls;
}

QList<QWidget*> form1::programmingControls() const
{
    return m_programmingControls;
}

std::array<QRadioButton*, 4> form1::portButtons() const
{
    return { m_ui->Option1, m_ui->Option2, m_ui->Option3, m_ui->Option4 };
}

int form1::selectedPort() const
{
    const auto buttons = portButtons();
    for (int i = 0; i < 4; ++i) {
        if (buttons[i]->isChecked())
            return i + 1;
    }
    return 0;
}

void form1::showSendCount(qint64 count)
{
    setPanelText(3, QStringLiteral("Send Record:") + TwoBlanks + QString::number(count));
}

void form1::showCommNumber(int number)
{
    setPanelText(2, QStringLiteral("Comm Number:") + TwoBlanks + QString::number(number));
}

bool form1::rs232Mode() const
{
    return m_ui->Option7->isChecked();
}

void form1::setBusyPointer(bool busy)
{
    // The window's own pointer: a message box shown meanwhile keeps its arrow.
    if (busy) {
        if (m_busyDepth++ == 0)
            setCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        unsetCursor();
    }
}

bool form1::closing() const
{
    return m_closing;
}

void form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
        emit loaded();
    }
}

void form1::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        stopCommands();
    }
    // The running command ends first (at its next wait); the window goes after it.
    if (!commands().idle()) {
        connect(&commands(), &CommandQueue::becameIdle, this, &QWidget::close,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

void form1::Form_Load()
{
    m_ui->Command1->hide();
    m_ui->Command3->hide();

    // Where the operator left it last time; centred the first time.
    const QScreen* screen = this->screen();
    if (!WindowPlacement::restore(*this, m_settings) && screen) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - frameGeometry().width()) / 2,
            area.y() + (area.height() - frameGeometry().height()) / 2);
    }

    m_ui->Progress->hide();

    setPanelText(1, QStringLiteral("Status Bar:"));
    showSendCount(0);
    setPanelText(4, QStringLiteral("Setting: 1200,N,8,1 "));

    m_dialogs.setApplicationTitle(QStringLiteral("Vestibar 4600 Management System"));

    const QString port = m_settings.value(SettingsStore::Properties, QStringLiteral("Port"));
    const QString ph = m_settings.value(SettingsStore::Properties, QStringLiteral("ph"));
    m_ui->Text2->setText(ph);

    const QString rs232 = m_settings.value(SettingsStore::Properties, QStringLiteral("rs232"));
    if (rs232.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) {
        m_ui->Option7->setChecked(true);
        m_ui->Option8->setChecked(false);
        m_ui->Text2->setEnabled(false);
        m_ui->Label1->setEnabled(false);
    } else {
        m_ui->Option7->setChecked(false);
        m_ui->Option8->setChecked(true);
    }

    const int portNumber = int(TypedText::leadingNumber(port));
    if (portNumber >= 1 && portNumber <= 4)
        portButtons()[portNumber - 1]->setChecked(true);

    showCommNumber(portNumber);

    m_ui->Text1->clear();
    QPalette palette = m_ui->Text1->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    m_ui->Text1->setPalette(palette);

    m_ui->paset_file->setEnabled(false);
    for (QWidget* control : std::as_const(m_linkControls))
        control->setEnabled(false);

    if (!m_ui->Text2->text().isEmpty())
        m_ui->connect->setEnabled(true);

    m_timer1->start();
}

void form1::Form_Unload()
{
    emit unloading();
    WindowPlacement::save(*this, m_settings);

    if (const int selected = selectedPort())
        m_link->setCommPort(selected);
    m_settings.setValue(
        SettingsStore::Properties, QStringLiteral("Port"), QString::number(m_link->commPort()));

    if (!m_ui->Text2->text().isEmpty())
        m_settings.setValue(SettingsStore::Properties, QStringLiteral("ph"), m_ui->Text2->text());

    if (logOpen())
        closeLog();
}

void form1::Timer1_Timer()
{
    ++m_tickCount;
    setPanelText(5, QTime::currentTime().toString(QStringLiteral("h:mm:ss AP")));
}

void form1::Command3_Click()
{
    closeLog();
    m_ui->Command3->hide();
}

void form1::close_Click()
{
    close();
}

void form1::Setting_Click()
{
    settingDialog().exec();
}

void form1::yess_Click()
{
    Form3 about(this);
    about.exec();
}
