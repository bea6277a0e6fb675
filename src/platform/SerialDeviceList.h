#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// One serial device of the machine as an installer needs to see it.
struct SerialDevice
{
    enum class Access {
        Free, // nothing known stops the tool from opening it
        Busy, // another program has it open
        NotPermitted, // this user may not open it
    };

    QString systemLocation; // "/dev/ttyUSB0", "COM3"
    QString stableLocation; // the /dev/serial/by-id link to it, "" when none
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
    Access access = Access::Free;
    QString holder; // Busy: the program that has it open, when known
    QString group; // NotPermitted: the group that may open it, when known
    bool inGroupAfterLogin = false; // NotPermitted: already added to group, not yet in effect

    // The name to store: the stable link where there is one, so the choice survives
    // re-plugging the adapter.
    QString preferredLocation() const;
    // True when path names this device: its location, its link or a link to it.
    bool isNamedBy(const QString& path) const;
    // "0403:6001", "" when the device has no USB ids.
    QString usbIds() const;
    // The access in plain words: "" when free.
    QString accessText() const;

    bool operator==(const SerialDevice& other) const = default;
};

// The machine's serial devices, as QSerialPortInfo lists them, with what stands in
// the way of opening each one. A dialog takes a Source so that tests can give it
// made-up devices.
class SerialDeviceList
{
public:
    using Source = std::function<QList<SerialDevice>()>;

    // The devices now, in the order of their locations.
    static QList<SerialDevice> scan();
    static Source system();
};
