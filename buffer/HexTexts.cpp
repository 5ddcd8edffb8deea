#include "buffer/HexTexts.h"

#include <string>

#include "buffer/DumpTexts.h"

namespace {

TextPair FaultText(HexFault fault)
{
    switch (fault) {
    case HexFault::None: break;
    case HexFault::NoColon: return {"no ':' at the start", "нет ':' в начале"};
    case HexFault::TooLong: return {"longer than 254 characters", "длиннее 254 символов"};
    case HexFault::BadHeader:
        return {"the byte count, address or type is not hexadecimal",
                "длина, адрес или тип записи не шестнадцатеричные"};
    case HexFault::ShortData:
        return {"fewer data bytes than the byte count says", "байтов данных меньше, чем указано в длине записи"};
    case HexFault::BadDigit:
        return {"a data byte or the checksum is not hexadecimal",
                "байт данных или контрольная сумма не шестнадцатеричные"};
    case HexFault::ExtraCharacters: return {"characters after the checksum", "лишние символы после контрольной суммы"};
    case HexFault::BadChecksum: return {"wrong checksum", "неверная контрольная сумма"};
    case HexFault::EmptyDataRecord: return {"a data record without data", "запись данных без данных"};
    case HexFault::BadAddressRecord:
        return {"an address record must hold two bytes", "запись адреса должна содержать два байта"};
    }
    return {"not a record", "не запись"};
}

} // namespace

TextPair HexFailureText(const HexReadResult& result, const std::filesystem::path& path)
{
    const std::string name = path.string();
    switch (result.result) {
    case HexRead::CannotOpen: return CannotOpenText(path, result.error);
    case HexRead::ReadError: return ReadErrorText(path, result.error);
    case HexRead::NoRecords:
        return {"The file " + name + " holds no Intel HEX record; nothing was loaded",
                "В файле " + name + " нет ни одной записи Intel HEX; ничего не загружено"};
    case HexRead::BadRecord:
    case HexRead::Complete: break;
    }
    const std::string line = std::to_string(result.line);
    const TextPair fault = FaultText(result.fault);
    return {"The file " + name + " was not loaded: line " + line + ": " + fault.en,
            "Файл " + name + " не загружен: строка " + line + ": " + fault.ru};
}

TextPair HexNoEndRecordText(const std::filesystem::path& path)
{
    const std::string name = path.string();
    return {"The file " + name + " has no end record; it may be incomplete",
            "В файле " + name + " нет записи конца файла; возможно, он неполный"};
}
