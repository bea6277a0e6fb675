#include "WindowPlacement.h"

#include "SettingsStore.h"

#include <QByteArray>
#include <QWidget>

namespace {
const QString Section = QStringLiteral("Windows");
}

bool WindowPlacement::restore(QWidget& window, const SettingsStore& settings)
{
    const QString stored = settings.value(Section, window.objectName());
    if (stored.isEmpty())
        return false;
    // Qt moves a geometry that lies off every screen onto the nearest one.
    return window.restoreGeometry(QByteArray::fromBase64(stored.toLatin1()));
}

void WindowPlacement::save(const QWidget& window, SettingsStore& settings)
{
    settings.setValue(Section, window.objectName(), QString::fromLatin1(window.saveGeometry().toBase64()));
}
