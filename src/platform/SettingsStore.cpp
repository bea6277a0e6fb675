#include "SettingsStore.h"

#include <QSettings>

namespace {

// One name for every read and write: values written after the setting dialog has
// loaded must still be found at the next start.
const QString OrganizationName = QStringLiteral("Vestibar");
const QString ApplicationName = QStringLiteral("Vestibar 4600 Management System");

std::unique_ptr<QSettings> openStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, OrganizationName, ApplicationName);
}

// The stored spelling of name among names, compared without regard to case; name
// itself when none matches (a new entry).
QString storedSpelling(const QStringList& names, const QString& name)
{
    for (const QString& candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return name;
}

} // namespace

SettingsStore::SettingsStore() = default;

QString SettingsStore::value(const QString& section, const QString& key) const
{
    auto store = openStore();
    const QString group = storedSpelling(store->childGroups(), section);
    store->beginGroup(group);
    const QString stored = storedSpelling(store->childKeys(), key);
    return store->value(stored).toString();
}

void SettingsStore::setValue(const QString& section, const QString& key, const QString& value)
{
    auto store = openStore();
    const QString group = storedSpelling(store->childGroups(), section);
    store->beginGroup(group);
    // An entry already stored under another spelling is the same entry: overwrite it.
    const QString stored = storedSpelling(store->childKeys(), key);
    store->setValue(stored, value);
    store->endGroup();
    store->sync();
}

void SettingsStore::clear()
{
    auto store = openStore();
    store->clear();
    store->sync();
}
