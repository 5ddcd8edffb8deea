#pragma once
// A front end of the core that keeps nothing but its log: notices and failures reach logAppended in
// red, every question is answered yes, everything else is ignored. Tests and benchmarks derive from
// it and say what they do with the log.
#include "session/SessionEvents.h"

class LogOnlySessionEvents : public SessionEvents {
public:
    void controlsChanged(ControlState) override {}
    void progressChanged(int, int) override {}
    void statusChanged() override {}
    void differencesChanged(const DiffList*) override {}
    void chipSelected(bool) override {}
    void chipChosen(const QString&) override {}
    void chooseAmongChips() override {}
    bool confirm(const QString&, const QString&) override { return true; }
    void warn(const QString& text, const QString&) override { logAppended(text, LogColour::Red); }
    void inform(const QString& text) override { logAppended(text, LogColour::Red); }
    void fail(const QString& text, const QString&) override { logAppended(text, LogColour::Red); }
};
