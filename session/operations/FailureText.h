#pragma once
// Red lines that name what failed, where, and why: the family's failure turned into words.
#include "family/ChipDriver.h"
#include "session/Outcome.h"

#include <QString>

namespace ops {

// "the chip stayed busy for 2.0 s", "the adapter was unplugged", ... in the current language.
QString CauseText(const family::Failure& failure);
// The outcome a failure gives the command: a cancel, a chip that does not answer, the link...
Outcome OutcomeOf(const family::Failure& failure);
// `line` with the failure's address and cause: "Error reading at address 4096 (0x001000): the
// chip stayed busy for 2.0 s".
QString FailureLine(const QString& line, const family::Failure& failure);

// What a write that stopped left on the chip: "The chip is now partly written: 0x000000–0x01FFFF
// programmed." / "Nothing was programmed."
QString PartlyWrittenLine(uint32_t programmedFrom, uint32_t programmedTo);

} // namespace ops
