#pragma once

#include <QSerialPort>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/types.h>
#endif

// Why a serial device cannot be used, in words an operator can act on: missing,
// held by another program, or not permitted (with the group to join).
namespace DeviceAccess {

// After a failed open: the device, Qt's error and its text.
QString openFailureReason(const QString& device, QSerialPort::SerialPortError error, const QString& qtText);

#ifdef Q_OS_UNIX
// Whether this program runs with the group's rights (its own or a supplementary group).
bool memberOf(gid_t gid);
#endif

} // namespace DeviceAccess
