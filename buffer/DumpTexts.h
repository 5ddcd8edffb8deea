#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

#include "buffer/DumpLoad.h"
#include "text/TextPair.h"

// Navy log line after a load: "\nLoaded file " + file name without folder + " " + n + " bytes".
TextPair LoadedFileText(const std::filesystem::path& path, std::size_t bytesLoaded);

// Red log line when the loaded size is not the expected one.
TextPair SizeDiffersText();

// Message box text for a failed load (English in both languages); empty for DumpResult::Loaded.
std::string DumpErrorText(DumpResult result, const std::filesystem::path& path);

// Red log lines for a file that could not be opened (a folder, FIFO or device among them) or
// read to its end; `error` gives the cause.
TextPair CannotOpenText(const std::filesystem::path& path, std::error_code error);
TextPair ReadErrorText(const std::filesystem::path& path, std::error_code error);

// The red log line for any failed dump load: the two above, or the box text in both languages.
TextPair DumpFailureText(const DumpLoad& load, const std::filesystem::path& path);

// Red log line for a save that failed; `error` gives the cause (a read-only target among them).
TextPair SaveErrorText(const std::filesystem::path& path, std::error_code error);

// Caption of the E2P error boxes (the BIN box is a plain one without it).
inline constexpr const char* kDumpErrorCaption = "Error";
