#pragma once
// A question the core asks its front end before it does something that cannot be taken back (or
// that the user may not expect). The window shows a message box; the command line answers from
// its options, or asks on a terminal. Each question names what it is about, so a front end can
// tell which of its options answers it.
#include <QString>

enum class Question {
    EraseChip,          // "All data will be destroyed, continue?"
    EraseWithStatus,    // the status registers hold data: the erase may not be complete
    Unprotect,          // block protection is set: unprotect first?
    EraseBeforeWrite,   // the chip is not erased: erase it first?
    WrongChip,          // the chip in the socket is not the selected one
    LockStatusRegister, // the status write locks the registers or the chip, maybe for ever
    LowVoltage,         // a 1.8 V chip on a 3.3 V adapter
};

struct Prompt {
    Prompt(Question asked, QString question, QString title, bool yesByDefault = true, QString other = {})
        : question(asked), text(std::move(question)), caption(std::move(title)), defaultYes(yesByDefault),
          otherChoice(std::move(other))
    {
    }

    Question question;
    QString text, caption;
    bool defaultYes = true;
    // A third answer besides Yes and No ("Use the detected chip"); empty when there is none.
    QString otherChoice;
};

enum class Answer { No, Yes, Other };
