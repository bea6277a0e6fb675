#pragma once

// Holds the operator's clicks and keys back while a command talks to the line, and
// hands them on, in the order given, once the outermost hold ends. Holds nest.
//
// The waits inside a hold also run their loops with ExcludeUserInputEvents, which
// leaves input in the window system's queue; a dialog opened during a hold would
// take that input and drop it (the main window is blocked by the dialog), so the
// dialogs call takeQueuedInput() first. Input for a window that opened during the
// hold (a message box) is never held.
class InputHold
{
public:
    InputHold();
    ~InputHold();
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    static bool active();
    // During a hold: moves the input the window system still queues into the hold.
    static void takeQueuedInput();
};
