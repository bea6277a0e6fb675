#pragma once

#include <QString>

// The per-user settings store: string values by section and key under one
// application name. Missing keys read as "". Key names are compared without regard
// to case, so "port" and "Port" are one entry on every platform.
class SettingsStore
{
public:
    SettingsStore();

    QString value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    // Removes every value (a first run).
    void clear();

    // Section of the main window's and the setting dialog's values.
    static constexpr const char* Properties = "Properties";
};
