#include "PortMap.h"

#include "SettingsStore.h"

namespace PortMap {

QString section()
{
    return QStringLiteral("Ports");
}

QString key(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

QString device(const SettingsStore& settings, int number)
{
    if (const QString forThisRun = environmentDevice(number); !forThisRun.isEmpty())
        return forThisRun;
    if (const QString stored = storedDevice(settings, number); !stored.isEmpty())
        return stored;
    return defaultDevice(number);
}

QString storedDevice(const SettingsStore& settings, int number)
{
    return settings.value(section(), key(number)).trimmed();
}

QString defaultDevice(int number)
{
#ifdef Q_OS_WIN
    return key(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString environmentVariable(int number)
{
    return QStringLiteral("VESTIBAR_") + key(number);
}

QString environmentDevice(int number)
{
    return qEnvironmentVariable(qPrintable(environmentVariable(number))).trimmed();
}

bool overriddenByEnvironment(int number)
{
    return !environmentDevice(number).isEmpty();
}

void store(SettingsStore& settings, int number, const QString& device)
{
    settings.setValue(section(), key(number), device.trimmed());
}

} // namespace PortMap
