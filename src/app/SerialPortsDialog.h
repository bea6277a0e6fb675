#pragma once

#include "SerialDeviceList.h"

#include <QDialog>
#include <QList>

#include <memory>

class QComboBox;
class QLabel;
class QTimer;
class SettingsStore;

namespace Ui {
class SerialPortsDialog;
}

// "Serial Ports": the device each of the ports 1 to 4 opens, chosen among the
// machine's serial devices or typed as a path. OK stores the choice in the settings
// store; Cancel leaves it as it was. The list follows devices as they come and go.
class SerialPortsDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int PortCount = 4;

    SerialPortsDialog(SettingsStore& settings, SerialDeviceList::Source devices, QWidget* parent = nullptr);
    ~SerialPortsDialog() override;

    // The port the tool has open now, and its device: shown as such rather than busy.
    void setPortInUse(int number, const QString& device);

    // The device box of port n (1 to 4) and the note beside it.
    QComboBox* portBox(int number) const;
    QLabel* portNote(int number) const;

    void accept() override;

private:
    void refresh();
    void showDevices();
    void updateNotes();
    QString noteFor(int number) const;
    const SerialDevice* deviceNamedBy(const QString& path) const;

    std::unique_ptr<Ui::SerialPortsDialog> m_ui;
    SettingsStore& m_settings;
    SerialDeviceList::Source m_source;
    QList<SerialDevice> m_devices;
    QTimer* m_poll = nullptr;
    int m_portInUse = 0;
    QString m_deviceInUse;
};
