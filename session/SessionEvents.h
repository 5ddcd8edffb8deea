#pragma once
// What the core tells its front end (the main window or the command line) and the questions it
// asks it. Everything arrives on the thread that owns the session.
#include "session/ControlState.h"
#include "session/LogText.h"
#include "session/job/Job.h"
#include "session/job/Prompt.h"

#include <QString>

class DiffList;

class SessionEvents {
public:
    virtual ~SessionEvents() = default;

    // An operation on the chip begins (its progress follows).
    virtual void operationStarted(Operation) {}

    // One log entry, its number suffix already appended.
    virtual void logAppended(const QString& text, LogColour colour) = 0;
    // The operation controls change state (busy while an operation runs).
    virtual void controlsChanged(ControlState state) = 0;
    virtual void progressChanged(int position, int maximum) = 0;
    // The checksum text or the adapter's presence changed.
    virtual void statusChanged() = 0;
    // The differences of the last compare, or null when they are no longer shown.
    virtual void differencesChanged(const DiffList* differences) = 0;
    // A chip was applied as the selected chip (spiControls: the SPI commands apply to it).
    virtual void chipSelected(bool spiControls) = 0;
    // The user chose this chip (from the list or by its identification): remember it.
    virtual void chipChosen(const QString& chipName) = 0;
    // Several database rows match the chip's identification: let the user pick one.
    virtual void chooseAmongChips() = 0;

    // Questions and notices; the window shows boxes, the command line prints or answers itself.
    virtual bool confirm(const QString& text, const QString& caption) = 0; // Yes/No
    // A question of the core's commands; a front end that tells the questions apart (default
    // answers, options that answer them, a third choice) overrides it.
    virtual Answer ask(const Prompt& prompt) { return confirm(prompt.text, prompt.caption) ? Answer::Yes : Answer::No; }
    virtual void warn(const QString& text, const QString& caption) = 0; // OK, warning icon
    virtual void inform(const QString& text) = 0;                       // OK, information
    virtual void fail(const QString& text, const QString& caption) = 0; // OK, error icon
};
