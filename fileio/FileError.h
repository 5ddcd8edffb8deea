#pragma once

#include <system_error>

// Failures of our own making; everything else is reported with the system's errno.
namespace fileio {

enum class FileError {
    NotRegularFile = 1, // a folder, a FIFO, a device or a socket where a file was expected
};

const std::error_category& FileErrorCategory();
std::error_code make_error_code(FileError error);

} // namespace fileio

template <>
struct std::is_error_code_enum<fileio::FileError> : std::true_type {
};
