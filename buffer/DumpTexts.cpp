#include "buffer/DumpTexts.h"

#include "fileio/FileError.h"

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
    case DumpResult::ReadError: return "Can not read file " + path.string();
    case DumpResult::IdentifierError: return "Identifier Error in file " + path.string();
    case DumpResult::CrcError: return "CRC error in file " + path.string();
    }
    return {};
}

TextPair CannotOpenText(const std::filesystem::path& path, std::error_code error)
{
    const std::string name = path.string();
    if (error == fileio::FileError::NotRegularFile)
        return {"Cannot open " + name + ": it is not a regular file (a folder, a pipe or a device)",
                "Не удаётся открыть " + name + ": это не обычный файл (папка, канал или устройство)"};
    const std::string cause = ": " + error.message();
    return {"Cannot open the file " + name + cause, "Не удаётся открыть файл " + name + cause};
}

TextPair ReadErrorText(const std::filesystem::path& path, std::error_code error)
{
    const std::string tail = path.string() + ": " + error.message();
    return {"Cannot read the file " + tail, "Не удаётся прочитать файл " + tail};
}

TextPair DumpFailureText(const DumpLoad& load, const std::filesystem::path& path)
{
    switch (load.result) {
    case DumpResult::CannotOpen: return CannotOpenText(path, load.error);
    case DumpResult::ReadError: return ReadErrorText(path, load.error);
    default: break;
    }
    const std::string text = DumpErrorText(load.result, path);
    return {text, text};
}

TextPair SaveErrorText(const std::filesystem::path& path, std::error_code error)
{
    const std::string tail = path.string() + ": " + error.message();
    return {"Cannot save the file " + tail, "Не удалось сохранить файл " + tail};
}
