#pragma once

#include "SerialDeviceList.h"

#include <QObject>

class QLabel;
class form1;

// Edit > "Serial Ports...", and the device behind status panel 2: its tooltip names
// the device the tool has open, or the one the selected port opens at Connect.
class SerialPortsMenu : public QObject
{
    Q_OBJECT

public:
    explicit SerialPortsMenu(form1& window);
    ~SerialPortsMenu() override;

    // Where the dialog finds the machine's serial devices (tests give made-up ones).
    void setDeviceSource(SerialDeviceList::Source source);

    // The tooltip panel 2 shows now.
    QString panelTip() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void serialPorts_Click();
    void updatePanelTip();
    QString deviceInUse() const;

    form1& m_window;
    QLabel* m_panel2 = nullptr;
    SerialDeviceList::Source m_source = SerialDeviceList::system();
};
