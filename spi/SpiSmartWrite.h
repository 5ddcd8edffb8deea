#pragma once
// The smart write worker: writes only what differs between the chip and the image. It starts from
// the chip's contents as the session last saw them, or reads the chip first; erases the 4 KiB
// sectors (or the whole chip) where a bit must go from 0 to 1, programs the units the plan names,
// then reads back every range it erased or programmed.
//
//   StartWorker(SpiSmartWriteWorker(library, job), SpiWriteParams(chip, image), sink)
//
// Steps: one per 4 KiB of the chip in each phase (the compare read, the writing, the read-back);
// WriteFinished with the time of all phases, WriteCancelled on a cancel (the chip left
// write-disabled), a fault at the address of a failed transfer (job.phase says in which phase).
#include "spi25/SmartWritePlan.h"
#include "worker/StartWorker.h"

#include "adapter/ch341a/Ch341Library.h"

#include <cstdint>
#include <memory>
#include <vector>

struct SpiSmartWriteJob {
    enum class Phase { Read, Erase, Program, ReadBack };

    // The chip's contents: as known before the start, or read first when `readFirst`. On
    // WriteFinished with `readBack` it holds the chip as read back in every touched range.
    std::shared_ptr<std::vector<uint8_t>> chip;
    bool readFirst = false;
    bool readBack = true;

    // For the session, once the worker has ended.
    Phase phase = Phase::Read;
    SmartWritePlan plan;
    uint32_t units = 0, blocks = 0; // of the whole chip, for the summary
    // The chip did not erase a 4 KiB sector: it was erased whole and written again.
    bool sectorEraseRefused = false;
};

void SPISmartWriteThread(Ch341Library& library, const WorkerParams& params, SpiSmartWriteJob& job,
                         WorkerContext& context);
WorkerBody SpiSmartWriteWorker(Ch341Library& library, std::shared_ptr<SpiSmartWriteJob> job);

// Progress bar maximum.
uint32_t SpiSmartWriteSteps(uint32_t size, bool readFirst, bool readBack);
