#include "SerialPortsMenu.h"

#include "LinkSession.h"
#include "PortMap.h"
#include "SerialPortsDialog.h"
#include "form1.h"

#include <QEvent>
#include <QLabel>

SerialPortsMenu::SerialPortsMenu(form1& window)
    : QObject(&window)
    , m_window(window)
    , m_panel2(window.panel(2))
{
    setObjectName(QStringLiteral("serialPortsMenu"));
    Ui::form1& ui = window.ui();
    connect(ui.serialPorts, &QAction::triggered, this, &SerialPortsMenu::serialPorts_Click);

    // Everything after which the device behind panel 2 may differ.
    connect(&window, &form1::loaded, this, &SerialPortsMenu::updatePanelTip);
    for (QRadioButton* port : window.portButtons())
        connect(port, &QRadioButton::toggled, this, &SerialPortsMenu::updatePanelTip);
    connect(&window.MSComm1(), &LinkSession::openChanged, this, &SerialPortsMenu::updatePanelTip);
    // The variables and the settings may change behind the window's back: the tip
    // is made afresh when it is asked for.
    if (m_panel2)
        m_panel2->installEventFilter(this);
    updatePanelTip();
}

SerialPortsMenu::~SerialPortsMenu() = default;

void SerialPortsMenu::setDeviceSource(SerialDeviceList::Source source)
{
    m_source = std::move(source);
}

bool SerialPortsMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel2 && event->type() == QEvent::ToolTip)
        updatePanelTip();
    return QObject::eventFilter(watched, event);
}

void SerialPortsMenu::serialPorts_Click()
{
    SerialPortsDialog dialog(m_window.settings(), m_source, &m_window);
    if (const QString inUse = deviceInUse(); !inUse.isEmpty())
        dialog.setPortInUse(m_window.MSComm1().commPort(), inUse);
    dialog.exec();
    updatePanelTip();
}

QString SerialPortsMenu::deviceInUse() const
{
    return m_window.MSComm1().deviceInUse();
}

QString SerialPortsMenu::panelTip() const
{
    const LinkSession& port = m_window.MSComm1();
    if (const QString inUse = deviceInUse(); !inUse.isEmpty())
        return tr("Port %1 is open on %2.").arg(port.commPort()).arg(inUse);
    const int selected = m_window.selectedPort();
    // With no port button selected, Connect opens port 4.
    const int number = selected == 0 ? 4 : selected;
    QString tip = selected == 0 ? tr("No port selected: Connect opens port 4, %1.").arg(port.deviceName(4))
                                : tr("Port %1 opens %2.").arg(number).arg(port.deviceName(number));
    if (PortMap::overriddenByEnvironment(number))
        tip += QLatin1Char(' ') + tr("Set by %1 for this run.").arg(PortMap::environmentVariable(number));
    return tip;
}

void SerialPortsMenu::updatePanelTip()
{
    if (m_panel2)
        m_panel2->setToolTip(panelTip());
}
