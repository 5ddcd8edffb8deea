#pragma once
// Reading the whole chip for what a command wants of it: the editor's contents (Read), the
// differences (Compare), the first byte that is not FF (Blank check), the check after a write
// (Verify) or after an erase (Erase check).
#include "session/job/JobContext.h"
#include "session/operations/OperationInputs.h"

namespace ops {

enum class ReadPurpose { Read, Compare, BlankCheck, Verify, EraseCheck };

// Reads the chip into the image and hands it on as `purpose` says; `seconds` gets the read's time.
Outcome ReadChip(JobContext& ctx, OperationInputs& in, ReadPurpose purpose, float* seconds = nullptr);

// The 24xx read with acknowledgements off: one sequential pass, its own log lines, no dump.
Outcome FastReadChip(JobContext& ctx, OperationInputs& in, bool compare);

// The checksum line of the editor's chip bytes: logged and shown after a read, cleared otherwise.
void ShowCheckSum(JobContext& ctx, const OperationInputs& in, bool afterRead);

// Compares what was written (the editor's bytes) with what the chip holds now.
Outcome VerifyAgainstEditor(JobContext& ctx, const OperationInputs& in, std::span<const uint8_t> chipImage);

// The progress unit of a whole-chip read: the SPI chunk or the 24xx block.
uint32_t ReadUnit(const chipdb::Chip& chip);

} // namespace ops
