#include "TestEnvironment.h"

#include <QFile>

#include "SettingsStore.h"

#include <QDir>
#include <QSettings>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

TestEnvironment::TestEnvironment()
{
    const QByteArray home = QFile::encodeName(m_dir.path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    // QSettings keeps the folder it found first for the whole process; point it here
    // explicitly so a second environment in one program does not share the first's.
    for (const auto format : { QSettings::NativeFormat, QSettings::IniFormat })
        QSettings::setPath(format, QSettings::UserScope, m_dir.path() + QStringLiteral("/.config"));
    for (int n = 1; n <= 4; ++n)
        qunsetenv(qPrintable(QStringLiteral("VESTIBAR_COM%1").arg(n)));
}

TestEnvironment::~TestEnvironment() = default;

QString TestEnvironment::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qWarning("could not write %s", qPrintable(path));
    return path;
}

QString TestEnvironment::chosenPath(const QString& name, const QByteArray& bytes) const
{
    if (name.startsWith(QLatin1Char('/')))
        return name;
    if (name != QLatin1String("pipe"))
        return writeFile(name, bytes);
    const QString path = filePath(name);
    QFile::remove(path);
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
    return path;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestEnvironment::clearSettings()
{
    SettingsStore().clear();
}

Unprivileged::Unprivileged()
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        return;
    m_switched = ::setresgid(65534, 65534, 0) == 0 && ::setresuid(65534, 65534, 0) == 0;
    if (!m_switched)
        ::setresgid(0, 0, 0);
#endif
}

Unprivileged::~Unprivileged()
{
#ifdef Q_OS_UNIX
    if (m_switched) {
        [[maybe_unused]] const int user = ::setresuid(0, 0, 0);
        [[maybe_unused]] const int group = ::setresgid(0, 0, 0);
    }
#endif
}

bool Unprivileged::effective() const
{
#ifdef Q_OS_UNIX
    return ::geteuid() != 0;
#else
    return true;
#endif
}
