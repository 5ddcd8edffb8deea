#pragma once
// A script: up to four chip operations one after the other, always in the order erase, blank
// check, write, compare. Each flag says that its step is still to come; the completion of one
// step starts the next (ChipCommands), and the return to ready drops whatever is left.
class Script {
public:
    enum class Step { None, Erase, BlankCheck, Write, Compare };

    bool PendingErase = false, PendingBlankCheck = false, PendingWrite = false, PendingCompare = false;
    Step running = Step::None; // the step last started

    void begin(bool erase, bool blankCheck, bool write, bool compare)
    {
        running = Step::None;
        PendingErase = erase;
        PendingBlankCheck = blankCheck;
        PendingWrite = write;
        PendingCompare = compare;
    }
    void clear() { begin(false, false, false, false); }
    bool anyPending() const { return PendingErase || PendingBlankCheck || PendingWrite || PendingCompare; }

    // A step has ended: it is no longer to come.
    void finished(Step step)
    {
        switch (step) {
        case Step::Erase: PendingErase = false; break;
        case Step::BlankCheck: PendingBlankCheck = false; break;
        case Step::Write: PendingWrite = false; break;
        case Step::Compare: PendingCompare = false; break;
        case Step::None: break;
        }
    }

    // The first step still to come (the erase and the blank check only for SPI chips).
    Step next(bool spi) const
    {
        if (PendingErase && spi) return Step::Erase;
        if (PendingBlankCheck && spi) return Step::BlankCheck;
        if (PendingWrite) return Step::Write;
        if (PendingCompare) return Step::Compare;
        return Step::None;
    }
};
