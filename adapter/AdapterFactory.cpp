#include "adapter/AdapterFactory.h"

#include "adapter/LibusbTransport.h"
#include "adapter/ch341a/Ch341Adapter.h"

Adapter CreateAdapter(const AdapterOptions& options)
{
    Adapter adapter;
    if (options.emulate) {
        EmulatedChipConfig chip = options.chip;
        if (!options.imageFile.empty()) chip.imageFile = options.imageFile;
        if (options.statusPreset) chip.statusPreset = options.statusPreset;
        adapter.emulator = std::make_shared<EmulatedCh341>(std::move(chip), options.timeScale, options.pace,
                                                           options.pace == AdapterPace::RealAdapter);
        adapter.emulator->setRoundTripLatency(options.roundTripLatency);
        if (!options.logFile.empty()) adapter.logFileFailed = !adapter.emulator->setLogFile(options.logFile);
        adapter.device = std::make_shared<Ch341Adapter>(adapter.emulator);
    } else {
        adapter.device = std::make_shared<Ch341Adapter>(std::make_shared<LibusbTransport>());
    }
    return adapter;
}
