#pragma once

#include "ControllerState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The simulator's saved state: one line per item, ended by LF, in the controller's own
// line formats (a parameter command, a record line, an event line), so a state file
// reads like a full dump and a demo state is easy to write by hand. Lines starting
// with "#" are comments. The master code is kept as its "PARCMC" command.
namespace StateFile {

QByteArray toText(const ControllerState& state);

// Fills state from text; returns a description of each line that was skipped.
QStringList fromText(const QByteArray& text, ControllerState& state);

// Written through a temporary file and renamed, so a crash never leaves half a state.
bool save(const QString& path, const ControllerState& state, QString* error = nullptr);
// A missing file is not an error: the controller starts empty. Problems with single
// lines go to *skipped.
bool load(
    const QString& path, ControllerState& state, QString* error = nullptr, QStringList* skipped = nullptr);

} // namespace StateFile
