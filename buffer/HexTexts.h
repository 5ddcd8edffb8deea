#pragma once

#include <filesystem>

#include "buffer/IntelHexReader.h"
#include "text/TextPair.h"

// The red log line for a HEX file that did not load (result.loaded() is false): the file, and
// the line and its fault or the cause from the system.
TextPair HexFailureText(const HexReadResult& result, const std::filesystem::path& path);

// The warning for a file that loaded but has no end record.
TextPair HexNoEndRecordText(const std::filesystem::path& path);
