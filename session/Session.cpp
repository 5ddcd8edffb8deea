#include "session/Session.h"

#include "chipdb/ChipKind.h"
#include "session/Language.h"

Session::Session(SessionEvents& events)
    : events_(events), catalogue_(*this),
      runner_({[this](int32_t code, float seconds) { completion_.WMOpProgress(code, seconds); },
               [this](int32_t address) { completion_.WMOpFault(address); },
               [this](int position, int maximum) { events_.progressChanged(position, maximum); }}),
      adapter_(*this), commands_(*this), spi_(*this), files_(*this), completion_(*this), emulator_(*this)
{
}

Session::~Session() = default;

bool Session::isSpiChip() const
{
    return chipdb::isSpiChip(catalogue_.chip.ChipKind);
}

bool Session::isI2cChip() const
{
    return chipdb::isI2cChip(catalogue_.chip.ChipKind);
}

void Session::PrintLog(const QString& text, LogColour colour, int64_t number)
{
    events_.logAppended(text + LogNumberSuffix(number), colour);
}

void Session::fail(Outcome outcome, const QString& text, int64_t number)
{
    knownChip_.forget();
    noteOutcome(outcome);
    PrintLog(text, LogColour::Red, number);
}

void Session::noteOutcome(Outcome outcome)
{
    if (outcome_ == Outcome::Completed) outcome_ = outcome;
}

bool Session::startWorker(WorkerBody body, std::shared_ptr<WorkerParams> params)
{
    // Whatever the worker does, the chip may not hold what was known; a whole read records it anew.
    knownChip_.forget();
    if (!params) {
        fail(Outcome::BadInput, Localized("The chip is larger than the buffer; nothing was done.",
                                          "Чип больше буфера; ничего не сделано."));
        ActivateControls(Ready);
        return false;
    }
    WorkerBody holding = [library = adapter_.Library, image = document_.transferBlock(),
                          body = std::move(body)](const WorkerParams& p, WorkerContext& c) { body(p, c); };
    if (runner_.StartOperation(std::move(holding), std::move(params))) return true;
    // Without a worker nothing would ever end the busy state.
    fail(Outcome::IoFailure, QStringLiteral("Ошибка CreateThread"));
    ActivateControls(Ready);
    return false;
}

void Session::ActivateControls(ControlState state)
{
    state_ = state;
    if (state == Ready) script_.clear();
    if (state != Busy && adapter_.ApplyHeldEvents()) return;
    events_.controlsChanged(state);
}

void Session::showDifferences()
{
    events_.differencesChanged(&diffs_);
}

void Session::hideDifferences()
{
    events_.differencesChanged(nullptr);
}
