#include "SerialPortsDialog.h"

#include "ButtonKeys.h"
#include "LineText.h"
#include "PortMap.h"
#include "SettingsStore.h"
#include "ui_SerialPortsDialog.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

namespace {

enum Column { Location, Stable, Description, Manufacturer, SerialNumber, UsbIds, Status };

} // namespace

SerialPortsDialog::SerialPortsDialog(
    SettingsStore& settings, SerialDeviceList::Source devices, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SerialPortsDialog>())
    , m_settings(settings)
    , m_source(std::move(devices))
    , m_poll(new QTimer(this))
{
    m_ui->setupUi(this);
    connect(m_ui->ok, &QPushButton::clicked, this, &SerialPortsDialog::accept);
    connect(m_ui->cancel, &QPushButton::clicked, this, &SerialPortsDialog::reject);
    ButtonKeys::install(this);

    for (int n = 1; n <= PortCount; ++n) {
        QComboBox* box = portBox(n);
        box->setEditText(PortMap::storedDevice(m_settings, n));
        box->lineEdit()->setPlaceholderText(PortMap::defaultDevice(n));
        box->lineEdit()->setClearButtonEnabled(true);
        LineText::install(box->lineEdit(), LineText::Range::Unicode);
        connect(box, &QComboBox::editTextChanged, this, &SerialPortsDialog::updateNotes);
    }

    m_devices = m_source ? m_source() : QList<SerialDevice>();
    showDevices();

    // Adapters come and go while the dialog is open: look again once a tick.
    // Often enough to follow an adapter as it is plugged in or pulled out.
    m_poll->setInterval(std::chrono::seconds(1));
    connect(m_poll, &QTimer::timeout, this, &SerialPortsDialog::refresh);
    m_poll->start();
}

SerialPortsDialog::~SerialPortsDialog() = default;

void SerialPortsDialog::setPortInUse(int number, const QString& device)
{
    m_portInUse = device.isEmpty() ? 0 : number;
    m_deviceInUse = device;
    showDevices();
}

QComboBox* SerialPortsDialog::portBox(int number) const
{
    QComboBox* const boxes[] = { m_ui->port1, m_ui->port2, m_ui->port3, m_ui->port4 };
    return number >= 1 && number <= PortCount ? boxes[number - 1] : nullptr;
}

QLabel* SerialPortsDialog::portNote(int number) const
{
    QLabel* const notes[] = { m_ui->note1, m_ui->note2, m_ui->note3, m_ui->note4 };
    return number >= 1 && number <= PortCount ? notes[number - 1] : nullptr;
}

void SerialPortsDialog::accept()
{
    // Only what the operator changed is written, so entries the dialog never showed
    // differently stay exactly as they were stored.
    for (int n = 1; n <= PortCount; ++n) {
        const QString chosen = portBox(n)->currentText().trimmed();
        if (chosen != PortMap::storedDevice(m_settings, n))
            PortMap::store(m_settings, n, chosen);
    }
    QDialog::accept();
}

void SerialPortsDialog::refresh()
{
    QList<SerialDevice> now = m_source ? m_source() : QList<SerialDevice>();
    if (now == m_devices)
        return;
    m_devices = std::move(now);
    showDevices();
}

void SerialPortsDialog::showDevices()
{
    QTreeWidget* list = m_ui->devices;
    list->clear();
    for (const SerialDevice& device : std::as_const(m_devices)) {
        QString status = device.accessText();
        if (m_portInUse != 0 && device.isNamedBy(m_deviceInUse))
            status = tr("Open in this tool (port %1).").arg(m_portInUse);
        else if (status.isEmpty())
            status = tr("Free");
        auto* row = new QTreeWidgetItem(list,
            { device.systemLocation, device.stableLocation, device.description, device.manufacturer,
                device.serialNumber, device.usbIds(), status });
        row->setToolTip(Stable, device.stableLocation);
        row->setToolTip(Status, status);
    }
    for (int column = Location; column < Status; ++column)
        list->resizeColumnToContents(column);
    m_ui->noDevices->setVisible(m_devices.isEmpty());

    // Each box offers every device under the name worth storing; what is typed stays.
    for (int n = 1; n <= PortCount; ++n) {
        QComboBox* box = portBox(n);
        const QSignalBlocker quiet(box);
        const QString typed = box->currentText();
        const int caret = box->lineEdit()->cursorPosition();
        box->clear();
        for (const SerialDevice& device : std::as_const(m_devices)) {
            box->addItem(device.preferredLocation());
            const QString about
                = QStringList({ device.description, device.manufacturer, device.systemLocation })
                      .filter(QRegularExpression(QStringLiteral("\\S")))
                      .join(QStringLiteral(", "));
            box->setItemData(box->count() - 1, about, Qt::ToolTipRole);
        }
        box->setCurrentIndex(-1);
        box->setEditText(typed);
        box->lineEdit()->setCursorPosition(caret);
    }
    updateNotes();
}

void SerialPortsDialog::updateNotes()
{
    for (int n = 1; n <= PortCount; ++n)
        portNote(n)->setText(noteFor(n));
}

const SerialDevice* SerialPortsDialog::deviceNamedBy(const QString& path) const
{
    for (const SerialDevice& device : m_devices) {
        if (device.isNamedBy(path))
            return &device;
    }
    return nullptr;
}

QString SerialPortsDialog::noteFor(int number) const
{
    QStringList note;
    if (PortMap::overriddenByEnvironment(number)) {
        note << tr("For this run %1 opens %2 (set by %3); what is chosen here applies once that is unset.")
                    .arg(tr("port %1").arg(number), PortMap::environmentDevice(number),
                        PortMap::environmentVariable(number));
    }
    const QString chosen = portBox(number)->currentText().trimmed();
    const QString device = chosen.isEmpty() ? PortMap::defaultDevice(number) : chosen;
    if (number == m_portInUse)
        note << tr("Port %1 is open now on %2.").arg(number).arg(m_deviceInUse);
    if (const SerialDevice* found = deviceNamedBy(device)) {
        if (m_portInUse == 0 || !found->isNamedBy(m_deviceInUse)) {
            if (const QString access = found->accessText(); !access.isEmpty())
                note << access;
        }
    } else if (!chosen.isEmpty()) {
#ifndef Q_OS_WIN
        if (!QFileInfo::exists(chosen))
            note << tr("There is no device %1 now.").arg(chosen);
#endif
    }
    return note.join(QLatin1Char(' '));
}
