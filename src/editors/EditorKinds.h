#pragma once

#include "Editors.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

// What sets the five editor windows apart: their input boxes, the names of their
// buttons, their save filter and their record builder. The frame is EditorWindow.

struct EditorBox
{
    const char* name;
    const char* label;
    const char* mask; // "" for a box without a mask
    int maxLength = 0; // boxes without a mask; masked boxes take the mask's length
    // Stands on the previous box's row behind this label (the day of a date).
    bool sameRow = false;
    bool grey = false; // shown but taking no part in the record
    const char* accessibleName = nullptr; // when the label does not name the box
};

// One box as the record builders read it.
struct EditorReading
{
    QString digits; // typed digits ("" when none); a box without a mask: its text
    QString text; // box text: literals kept, unfilled positions as blanks
};

// A refused Enter: the message, its title (empty: the application title) and the
// box that gets the focus.
struct EditorRefusal
{
    QString text;
    QString title;
    int box = 0;
};

struct EditorRecord
{
    QString line; // without CR LF
    std::optional<EditorRefusal> refusal;
};

struct EditorKind
{
    Editors::Kind kind;
    const char* window;
    const char* enter;
    const char* save;
    const char* saveAs;
    const char* print;
    const char* quit;
    const char* filter;
    const char* saveAsTitle;
    bool statusBar;
    std::vector<EditorBox> boxes; // in Enter order
    EditorRecord (*build)(const QList<EditorReading>& boxes);
};

namespace EditorKinds {
const EditorKind& of(Editors::Kind kind);
} // namespace EditorKinds
