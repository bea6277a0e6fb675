#pragma once

class QWidget;
class SettingsStore;

// Where a window was closed and at what size, kept per window (by its objectName)
// in the settings store, section "Windows".
namespace WindowPlacement {

// Puts the window back where it was last closed; a place on a screen that is gone
// is moved onto one that is there. False when nothing was stored for it.
bool restore(QWidget& window, const SettingsStore& settings);
void save(const QWidget& window, SettingsStore& settings);

} // namespace WindowPlacement
