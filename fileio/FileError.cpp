#include "fileio/FileError.h"

namespace fileio {
namespace {

class Category : public std::error_category {
public:
    const char* name() const noexcept override { return "fileio"; }
    std::string message(int value) const override
    {
        switch (static_cast<FileError>(value)) {
        case FileError::NotRegularFile: return "not a regular file";
        }
        return "file error " + std::to_string(value);
    }
};

} // namespace

const std::error_category& FileErrorCategory()
{
    static const Category category;
    return category;
}

std::error_code make_error_code(FileError error)
{
    return {static_cast<int>(error), FileErrorCategory()};
}

} // namespace fileio
