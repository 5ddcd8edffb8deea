#pragma once
// Writing the editor's bytes into the chip, erasing the chip, and the steps around them.
#include "session/job/JobContext.h"
#include "session/operations/OperationInputs.h"

namespace ops {

enum class WriteMode {
    Plain, // the whole image; a flash that is not erased is erased first after the user agrees
    Full,  // the whole image; a flash that is not erased is erased first without asking
};

// The editor holds the chip's bytes (a red line and BadInput otherwise); nothing is copied.
Outcome CheckEditorHoldsTheChip(JobContext& ctx, OperationInputs& in);
// Copies the editor's chip bytes into the image the write programs from. After anything that reads
// the chip into the image (an erase and its check).
Outcome TakeEditorBytes(JobContext& ctx, OperationInputs& in);

// Makes sure the flash is erased where the image goes (the chip's last known contents, else a
// look that stops at the first byte that is not FF): asks to erase it (Plain) or erases it (Full).
Outcome EnsureErased(JobContext& ctx, OperationInputs& in, WriteMode mode);

// Programs the image, then reads it back when the settings say so, then the completion line.
Outcome ProgramChip(JobContext& ctx, OperationInputs& in);

// The 24xx write with acknowledgements off: its own log lines, the read-back when asked for.
Outcome FastWriteChip(JobContext& ctx, OperationInputs& in);

// The erase of an SPI chip with its wait (or FF written into every page of a 25xx EEPROM), then
// the check that the chip is blank.
Outcome EraseChip(JobContext& ctx, OperationInputs& in);

// The look at the status registers before an erase: data there may keep blocks from erasing.
Outcome CheckStatusBeforeErase(JobContext& ctx, OperationInputs& in);

} // namespace ops
