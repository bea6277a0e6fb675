#include "ConnectionHandlers.h"

#include "BusyPointer.h"
#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "LinkSession.h"
#include "SettingsStore.h"
#include "TextFiles.h"
#include "form1.h"
#include "setform.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString LineSettings = QStringLiteral("1200,N,8,1");
const QByteArray LineEnd = QByteArrayLiteral("\r\n");

// The mode buttons: what each selects, and what it stores as the "Rs232" setting.
struct ModeButton
{
    QRadioButton* Ui::form1::*button;
    bool rs232;
    const char* stored;
};
const ModeButton ModeButtons[] = {
    { &Ui::form1::Option7, true, "True" },
    { &Ui::form1::Option8, false, "False" },
};

} // namespace

ConnectionHandlers::ConnectionHandlers(form1& window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("ConnectionHandlers"));
    Ui::form1& ui = m_window.ui();
    for (int number = 1; number <= 4; ++number) {
        connect(
            portButton(number), &QRadioButton::clicked, this, [this, number] { OptionPort_Click(number); });
    }
    for (const ModeButton& mode : ModeButtons) {
        connect(ui.*mode.button, &QRadioButton::clicked, this,
            [this, rs232 = mode.rs232] { OptionMode_Click(rs232); });
    }
    connect(ui.connect, &QPushButton::clicked, this, &ConnectionHandlers::connect_Click);
    connect(ui.close1, &QPushButton::clicked, this, &ConnectionHandlers::close1_Click);
    // From the event loop: a message box inside the port's own signal would hold it up.
    connect(&m_window.MSComm1(), &LinkSession::deviceLost, this, &ConnectionHandlers::MSComm1_DeviceLost,
        Qt::QueuedConnection);
}

QRadioButton* ConnectionHandlers::portButton(int number) const
{
    return m_window.portButtons()[number - 1];
}

void ConnectionHandlers::OpenPort()
{
    LinkSession& port = m_window.MSComm1();
    SerialPort::OpenResult result;
    if (port.portOpen()) {
        result.failure = SerialPort::OpenFailure::AlreadyOpen;
    } else {
        // With no port button selected the last port is opened.
        const int selected = m_window.selectedPort();
        port.setCommPort(selected != 0 ? selected : 4);
        port.setSettings(LineSettings);
        result = port.open();
    }

    if (!port.portOpen() || result.failure == SerialPort::OpenFailure::AlreadyOpen) {
        Dialogs::Message message;
        message.text = QStringLiteral("              The comm port is closed.");
        message.title = QStringLiteral("Vestibar 4700 Management System");
        message.details = result.reason;
        m_window.dialogs().message(message);
    }
}

void ConnectionHandlers::connect_Click()
{
    Commands::enqueueLong(
        m_window, [this, phone = m_window.ui().Text2->text()] { return connectCommand(phone); });
}

QCoro::Task<> ConnectionHandlers::connectCommand(QString phone)
{
    Ui::form1& ui = m_window.ui();
    LinkSession& port = m_window.MSComm1();

    if (!port.portOpen())
        OpenPort();
    if (!port.portOpen())
        co_return;

    // The direct line dials nothing: only the modem needs the number.
    if (phone.isEmpty() && !m_window.rs232Mode()) {
        m_window.dialogs().inform(
            QStringLiteral("Please input the phone number"), QStringLiteral("Phone Number"));
        ui.Text2->setFocus();
        co_return;
    }

    const BusyPointer busy(m_window);
    port.note(QStringLiteral("Connect"));
    port.discardInput();
    // Connect goes on whatever a write does.
    bool waited = true;
    if (!m_window.rs232Mode()) {
        co_await port.send(TextFiles::toFileBytes(m_window.settingDialog().modemSetting()) + LineEnd);
        waited = co_await m_window.WaitSeconds(2);
        if (waited)
            co_await port.send(QByteArrayLiteral("ATDT") + TextFiles::toFileBytes(phone) + LineEnd);
    } else {
        co_await port.send(CommandLine::fixed(QStringLiteral("COM")));
        waited = co_await m_window.WaitSeconds(1);
    }
    if (waited) {
        ui.Text3->setFocus();
        waited = co_await m_window.WaitSeconds(2);
    }
    // A Disconnect, a cancelled line error or a lost device during the waits
    // closed the link: the buttons that need it stay disabled.
    if (waited && port.portOpen()) {
        ui.Mastercode->setEnabled(true);
        ui.up_hlp->setEnabled(true);
        ui.endg->setEnabled(true);
    }
}

void ConnectionHandlers::close1_Click()
{
    // Disconnect comes first: the running command ends, the queued ones and a held
    // line are dropped, then the link goes down.
    m_window.stopCommands();
    Commands::enqueue(m_window, [this] { return disconnectCommand(); });
}

QCoro::Task<> ConnectionHandlers::disconnectCommand()
{
    Ui::form1& ui = m_window.ui();
    LinkSession& port = m_window.MSComm1();
    // "End Communicatiom " (sic, with its trailing blank) is the tool's own title.
    const QString title = QStringLiteral("End Communicatiom ");
    if (!port.portOpen()) {
        m_window.dialogs().inform(QStringLiteral("The comm port is closed"), title);
        co_return;
    }

    port.note(QStringLiteral("Disconnect"));
    Commands::SendOptions options;
    options.guardTitle = title;
    // The link is torn down whether or not the controller got the line.
    co_await Commands::SendCommandLine(m_window, CommandLine::fixed(QStringLiteral("DIS")), options);

    for (QWidget* control : m_window.linkControls())
        control->setEnabled(false);
    co_await port.close();
    showDisconnected();
}

void ConnectionHandlers::MSComm1_DeviceLost(const QString& reason)
{
    // Nothing can reach the controller any more; DIS could not go either.
    for (QWidget* control : m_window.linkControls())
        control->setEnabled(false);
    showDisconnected();
    m_window.dialogs().inform(reason + QStringLiteral(" Connect it again and press Connect to go on."),
        QStringLiteral("Connection Lost"), Dialogs::Icon::Exclamation);
}

void ConnectionHandlers::showDisconnected()
{
    Ui::form1& ui = m_window.ui();
    ui.connect->setFocus();
    m_window.showSendCount(0);
    ui.Progress->hide();
    ui.Command1->hide();
}

void ConnectionHandlers::OptionPort_Click(int number)
{
    LinkSession& port = m_window.MSComm1();
    if (port.portOpen()) {
        m_window.dialogs().inform(QStringLiteral("Comm port is opened!"));
        // The buttons keep showing the port that is open, not the one clicked.
        for (int other = 1; other <= 4; ++other)
            portButton(other)->setChecked(other == port.commPort());
        return;
    }
    for (int other = 1; other <= 4; ++other)
        portButton(other)->setChecked(other == number);
    port.setCommPort(number);
    m_window.settings().setValue(SettingsStore::Properties, QStringLiteral("port"), QString::number(number));
    m_window.showCommNumber(number);
}

void ConnectionHandlers::OptionMode_Click(bool rs232)
{
    Ui::form1& ui = m_window.ui();
    for (const ModeButton& mode : ModeButtons) {
        (ui.*mode.button)->setChecked(mode.rs232 == rs232);
        if (mode.rs232 == rs232)
            m_window.settings().setValue(
                SettingsStore::Properties, QStringLiteral("Rs232"), QString::fromLatin1(mode.stored));
    }
    ui.Text2->setEnabled(!rs232);
    ui.Label1->setEnabled(!rs232);
}
