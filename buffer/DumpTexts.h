#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "buffer/DumpLoad.h"
#include "buffer/TextPair.h"

// Navy log line after a load: "\nLoaded file " + file name without folder + " " + n + " bytes".
TextPair LoadedFileText(const std::filesystem::path& path, std::size_t bytesLoaded);

// Red log line when the loaded size is not the expected one.
TextPair SizeDiffersText();

// Message box text for a failed load (English in both languages); empty for DumpResult::Loaded.
std::string DumpErrorText(DumpResult result, const std::filesystem::path& path);

// Caption of the E2P error boxes (the BIN box is a plain one without it).
inline constexpr const char* kDumpErrorCaption = "Error";
