#include "buffer/DumpTexts.h"

TextPair LoadedFileText(const std::filesystem::path& path, std::size_t bytesLoaded)
{
    const std::string name = path.filename().string();
    const std::string count = std::to_string(bytesLoaded);
    return {"\nLoaded file " + name + " " + count + " bytes", "\nЗагружен файл " + name + " " + count + " байт"};
}

TextPair SizeDiffersText()
{
    return {"File size differs from size of the device!", "Размер файла не совпадает с размером чипа!"};
}

std::string DumpErrorText(DumpResult result, const std::filesystem::path& path)
{
    switch (result) {
    case DumpResult::Loaded: return {};
    case DumpResult::CannotOpen: return "Can not open file " + path.string();
    case DumpResult::IdentifierError: return "Identifier Error in file " + path.string();
    case DumpResult::CrcError: return "CRC error in file " + path.string();
    }
    return {};
}
