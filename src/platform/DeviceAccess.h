#pragma once

#include <QSerialPort>
#include <QString>

// Why a serial device cannot be used, in words an operator can act on: missing,
// held by another program, or not permitted (with the group to join).
namespace DeviceAccess {

// After a failed open: the device, Qt's error and its text.
QString openFailureReason(const QString& device, QSerialPort::SerialPortError error, const QString& qtText);

} // namespace DeviceAccess
