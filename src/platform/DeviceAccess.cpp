#include "DeviceAccess.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
#ifdef Q_OS_UNIX
QString groupName(gid_t gid)
{
    if (const group* entry = getgrgid(gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(gid);
}

// Why the device would not open, in words an operator can act on.
QString reasonFor(const QString& device, QSerialPort::SerialPortError error, const QString& qtText)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat info
    {
    };
    if (::stat(path.constData(), &info) != 0)
        return QStringLiteral("There is no device %1.").arg(device);

    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const int openError = errno;
    if (fd >= 0)
        ::close(fd);
    if (fd < 0) {
        switch (openError) {
        case EACCES:
        case EPERM:
            if (!DeviceAccess::memberOf(info.st_gid))
                return QStringLiteral("Permission denied: you are not a member of the group \"%1\" that "
                                      "owns %2.")
                    .arg(groupName(info.st_gid), device);
            return QStringLiteral("Permission denied for %1 (after joining its group \"%2\", log in "
                                  "again).")
                .arg(device, groupName(info.st_gid));
        case EBUSY:
            return QStringLiteral("%1 is in use by another program.").arg(device);
        case ENXIO:
        case ENODEV:
        case ENOENT:
            return QStringLiteral("There is no device %1.").arg(device);
        default:
            return QStringLiteral("%1: %2.").arg(device, qt_error_string(openError));
        }
    }
    // The device opens on its own, so another program's lock file kept Qt out.
    if (error == QSerialPort::PermissionError)
        return QStringLiteral("%1 is in use by another program.").arg(device);
    return qtText.isEmpty() ? QString() : QStringLiteral("%1: %2.").arg(device, qtText);
}
#else
QString reasonFor(const QString& device, QSerialPort::SerialPortError error, const QString& qtText)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("There is no device %1.").arg(device);
    case QSerialPort::PermissionError:
        return QStringLiteral("%1 is in use by another program or access is denied.").arg(device);
    default:
        return qtText.isEmpty() ? QString() : QStringLiteral("%1: %2.").arg(device, qtText);
    }
}
#endif
} // namespace

QString DeviceAccess::openFailureReason(
    const QString& device, QSerialPort::SerialPortError error, const QString& qtText)
{
    return reasonFor(device, error, qtText);
}

#ifdef Q_OS_UNIX
bool DeviceAccess::memberOf(gid_t gid)
{
    if (getegid() == gid)
        return true;
    gid_t groups[256];
    const int count = getgroups(256, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] == gid)
            return true;
    }
    return false;
}
#endif
