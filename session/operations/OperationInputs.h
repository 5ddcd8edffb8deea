#pragma once
// What a chip operation works with, captured when its command starts: the chip, its family's
// driver on the adapter, the chip image it reads into or writes from (the transfer buffer, held
// until the job ends), the settings that shape its flow, and the session-thread objects its steps
// hand their results to.
#include "adapter/bus/Adapter.h"
#include "family/ChipDriver.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

class Document;
class DiffList;
class KnownChipImage;

namespace ops {

// What the last write did to the chip, for a front end that reports it in numbers.
struct WriteReport {
    bool chipErased = false;
    uint32_t sectorsErased = 0, sectors = 0;
    uint32_t pagesProgrammed = 0, pages = 0;
};

// The session-thread side of the operations; steps reach it only through JobContext::onSession.
struct Workbench {
    Document& document;
    DiffList& differences;
    KnownChipImage& knownChip;
    std::function<void(bool shown)> showDifferences;      // the compare grid shown or hidden
    std::function<void(const QString& text)> setCheckSum; // the status bar's checksum ("" clears it)
    WriteReport writeReport;
};

struct OperationSettings {
    bool verify = true;     // read a written chip back and compare
    bool ackCheck = true;   // 24xx: every byte's acknowledgement checked
    int autosaveFormat = 0; // 0 BIN, 1 BRG: the automatic dump and the editor's register bytes
    QString dumpDir;        // where the automatic dump goes
    bool automaticDumps = true;
    bool cancelHints = true; // the start lines say how to cancel (Esc in the window)
};

struct OperationInputs {
    chipdb::Chip chip;
    // The adapter the driver works on (kept alive while the job runs), and the driver.
    std::shared_ptr<bus::Adapter> adapter;
    std::shared_ptr<family::ChipDriver> driver;
    // The chip image, byte i = chip address i; at least chip.size bytes.
    std::span<uint8_t> image;
    std::shared_ptr<uint8_t[]> imageHold;
    OperationSettings settings;
    Workbench* bench = nullptr;
    // Identity was checked already this run (a script checks once); a different chip than the
    // selected one was accepted by the user.
    bool identityChecked = false;
};

// The cancel hint of a start line, when the front end has one (hint B: erase and blank check).
QString HintA(const OperationInputs& in);
QString HintB(const OperationInputs& in);

} // namespace ops
