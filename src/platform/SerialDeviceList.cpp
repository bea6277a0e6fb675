#include "SerialDeviceList.h"

#include "DeviceAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Stable links to devices: target location -> link.
QHash<QString, QString> stableLinks()
{
    QHash<QString, QString> links;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const QFileInfoList entries = byId.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString target = entry.canonicalFilePath();
        if (!target.isEmpty())
            links.insert(target, entry.absoluteFilePath());
    }
    return links;
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

QString programOf(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// The program holding a serial lock file for the device (the convention Qt and
// the classic terminal programs share), "" when none; our own lock is no holder.
std::optional<QString> lockHolder(const QString& location)
{
    QString name = location;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char* folder : { "/run/lock", "/var/lock" }) {
        QFile lock(QString::fromLatin1(folder) + QStringLiteral("/LCK..") + name);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const qint64 pid = QString::fromLatin1(lock.readLine()).trimmed().toLongLong(&ok);
        if (ok && pid != QCoreApplication::applicationPid() && processAlive(pid))
            return programOf(pid);
    }
    return std::nullopt;
}

// Another process of this user with the device open (other users' processes are
// not visible; their lock file or exclusive open shows them).
std::optional<QString> openBy(const QString& location)
{
    const QDir proc(QStringLiteral("/proc"));
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == location)
                return programOf(pid.toLongLong());
        }
    }
    return std::nullopt;
}

// Whether the group database already names this user in the group (a login is
// still needed for it to apply to running programs).
bool listedIn(const group& entry)
{
    const passwd* user = getpwuid(getuid());
    if (!user)
        return false;
    for (char** member = entry.gr_mem; member && *member; ++member) {
        if (qstrcmp(*member, user->pw_name) == 0)
            return true;
    }
    return false;
}

void noteAccess(SerialDevice& device)
{
    const QByteArray path = QFile::encodeName(device.systemLocation);
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        device.access = SerialDevice::Access::NotPermitted;
        struct stat info
        {
        };
        if (::stat(path.constData(), &info) == 0 && !DeviceAccess::memberOf(info.st_gid)
            && (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP)) {
            if (const group* entry = getgrgid(info.st_gid)) {
                device.group = QString::fromLocal8Bit(entry->gr_name);
                device.inGroupAfterLogin = listedIn(*entry);
            }
        }
        return;
    }
    std::optional<QString> holder = lockHolder(device.systemLocation);
    if (!holder)
        holder = openBy(device.systemLocation);
    if (holder) {
        device.access = SerialDevice::Access::Busy;
        device.holder = *holder;
    }
}
#endif

} // namespace

QString SerialDevice::preferredLocation() const
{
    return stableLocation.isEmpty() ? systemLocation : stableLocation;
}

bool SerialDevice::isNamedBy(const QString& path) const
{
    const QString name = path.trimmed();
    if (name.isEmpty())
        return false;
    if (name == systemLocation || name == stableLocation)
        return true;
#ifdef Q_OS_WIN
    return name.compare(systemLocation, Qt::CaseInsensitive) == 0;
#else
    const QString target = QFileInfo(name).canonicalFilePath();
    return !target.isEmpty() && target == systemLocation;
#endif
}

QString SerialDevice::usbIds() const
{
    if (!vendorId || !productId)
        return {};
    return QStringLiteral("%1:%2")
        .arg(*vendorId, 4, 16, QLatin1Char('0'))
        .arg(*productId, 4, 16, QLatin1Char('0'));
}

QString SerialDevice::accessText() const
{
    switch (access) {
    case Access::Free:
        return {};
    case Access::Busy:
        return holder.isEmpty() ? QStringLiteral("Busy: another program has it open.")
                                : QStringLiteral("Busy: %1 has it open.").arg(holder);
    case Access::NotPermitted:
        if (group.isEmpty())
            return QStringLiteral("Not permitted: you may not open this device.");
        if (inGroupAfterLogin)
            return QStringLiteral("Not permitted yet: you were added to the group \"%1\"; log out and "
                                  "in again.")
                .arg(group);
        return QStringLiteral("Not permitted: join the group \"%1\", then log out and in again.").arg(group);
    }
    return {};
}

QList<SerialDevice> SerialDeviceList::scan()
{
    QList<SerialDevice> devices;
#ifdef Q_OS_UNIX
    const QHash<QString, QString> links = stableLinks();
#endif
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.systemLocation = info.systemLocation();
        device.description = info.description();
        device.manufacturer = info.manufacturer();
        device.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
#ifdef Q_OS_UNIX
        device.stableLocation = links.value(device.systemLocation);
        noteAccess(device);
#endif
        devices << device;
    }
    std::sort(devices.begin(), devices.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return a.systemLocation < b.systemLocation; });
    return devices;
}

SerialDeviceList::Source SerialDeviceList::system()
{
    return &SerialDeviceList::scan;
}
