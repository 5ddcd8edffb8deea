// Vespera.ini on any bytes: the main window's settings read within their ranges, and what the
// program writes back when it closes reads back the same.

#include "fuzz/FuzzSupport.h"
#include "session/Language.h"
#include "session/MainSettings.h"
#include "session/SettingsFile.h"

namespace {

bool SameWrittenSettings(const MainSettings& a, const MainSettings& b)
{
    return a.autosaveFormat == b.autosaveFormat && a.i2cSpeed == b.i2cSpeed && a.ackCheck == b.ackCheck &&
           a.scErase == b.scErase && a.scCheckFF == b.scCheckFF && a.scWrite == b.scWrite &&
           a.scCompare == b.scCompare && a.checkUpdate == b.checkUpdate && a.language == b.language &&
           a.dumpDir == b.dumpDir && a.mainLeft == b.mainLeft && a.mainTop == b.mainTop && a.history == b.history;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch("Vespera.ini");
    scratch.Write(std::span(data, size));
    const QString path = QString::fromStdString(scratch.path().string());
    const QString defaultDumpDir = QStringLiteral("/tmp/DumpsBackup");

    const MainSettings read = ReadMainSettings(SettingsFile(path), defaultDumpDir);
    FUZZ_CHECK(read.autosaveFormat >= 0 && read.autosaveFormat <= 1);
    FUZZ_CHECK(read.i2cSpeed >= 0 && read.i2cSpeed <= 3);
    FUZZ_CHECK(read.language == LanguageFromId(int(read.language)));
    FUZZ_CHECK(read.history.size() <= 10);

    {
        SettingsFile file(path);
        WriteMainSettings(file, read, read.history);
        QString error;
        FUZZ_CHECK(file.save(&error));
    }
    FUZZ_CHECK(SameWrittenSettings(ReadMainSettings(SettingsFile(path), defaultDumpDir), read));
    return 0;
}
