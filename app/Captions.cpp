#include "app/Captions.h"

#include "session/Language.h"

#include <cstring>

namespace {
constexpr Caption captions[] = {
    {"mFile", "&Файл", "&File"},
    {"MmFopen", "Открыть", "&Open"},
    {"MmFsave", "Сохранить как", "&Save As"},
    {"MmOpenDir", "Открыть папку с дампами", "Open dumps folder"},
    {"MmHistory", "Недавно открытые файлы", "&Last Files"},
    {"MmExit", "Выход", "E&xit"},
    {"MmEdit", "&Правка", "&Edit"},
    {"MmUndo", "&Отменить", "&Undo"},
    {"MmCopy", "&Копировать", "&Copy"},
    {"MmPaste", "В&ставить", "&Paste"},
    {"MmSearch", "По&иск", "&Search"},
    {"MmBufer", "&Буфер", "&Buffer"},
    {"MmFillBufer", "Заполнить буфер", "&Fill Buffer"},
    {"MmSwap", "Перестановка байтов", "S&wap Bytes"},
    {"MmCheckSum", "Контрольная сумма", "&Checksum"},
    {"MmOper", "&Операция", "&Operation"},
    {"MmRead", "Считывание", "&Read device"},
    {"MmWrite", "Программирование", "&Write device"},
    {"MmCompare", "Сравнение", "&Compare"},
    {"ScRun", "Выполнить сценарий", "Run &Script"},
    {"MmSpi", "SPI", nullptr},
    {"MmSpiErase", "Стереть чип", "&Erase device"},
    {"MmCheckFF", "Проверить на чистоту", "&Blank check"},
    {"MmReadId", "Считать ID", "&Read ID"},
    {"MmRdStatReg", "Считать регистр  статуса", "&Read status register"},
    {"MmWrStatReg", "Записать регистр статуса", "&Write status register"},
    {"MmUnprotect", "Снять защиту", "&Unprotect"},
    {"MmChipSelect", "&Выбор чипа", "Select &device"}, // Alt+S is the Settings menu's
    {"MmChipSelect2", "Выбрать из списка", "Select from the list"},
    {"MmAutoSel", "Автовыбор SPI чипа", "Auto Select SPI chip"},
    {"MmSettings", "&Настройки", "&Settings"},
    {"MmEmulator", "&Эмулятор", "E&mulator"},
    {"MmEmuUnplug", "&Отключить адаптер", "&Unplug adapter"},
    {"MmEmuPlug", "&Подключить адаптер", "&Plug adapter in"},
    {"MmEmuChip", "&Вставить чип...", "Put &chip..."},
    {"MmEmuFault", "&Сбой при следующей операции", "Inject a &fault on the next operation"},
    {"MmEmuFaultUsb", "Ошибка передачи &USB", "&USB transfer error"},
    {"MmEmuFaultNak", "&NAK на шине I2C", "&NAK on the I2C bus"},
    {"MmEmuFaultBusy", "Чип остаётся &занятым", "Chip stays &busy"},
    {"MmEmuFaultPulled", "Адаптер &извлечён во время операции", "Adapter &pulled out mid-operation"},
    {"MmEmuFaultCorrupt", "Искажённый &байт ответа", "&Corrupted reply byte"},
    {"MmEmuFaultClear", "&Отменить сбой", "C&lear the armed fault"},
    {"MmEmuLog", "&Журнал шины в файл...", "Write bus &log to file..."},
    {"MmI2C", "I2C", nullptr},
    {"MmI2CFrec", "&Частота шины I2C", "&I2C bus frequency"},
    {"Mm_SPEED_LOW", "20KHz", nullptr},
    {"Mm_SPEED_NORMAL", "100KHz", nullptr},
    {"Mm_SPEED_FAST", "400KHz", nullptr},
    {"Mm_SPEED_HIGH", "750KHz", nullptr},
    {"MmAck", "Проверка ACK", "ACK &test"},
    {"MmVerify", "Проверять после записи", "&Verify after writing"},
    {"MmI2CAdr", "I2C Slave address", nullptr},
    {"MmScen", "Сценарий", "&Script"},
    {"ScErase", "Стереть чип", "&Erase device"},
    {"ScCheckFF", "Проверить на чистоту", "&Blank check"},
    {"ScWrite", "Программирование чипа", "&Write device"},
    {"ScCompare", "Сравнение", "&Compare"},
    {"MmAutoSave", "Автосохранение", "Autosave"},
    {"MmDirectory", "Выбор папки", "Folder selection"},
    {"MmExtention", "Формат файла", "File extension"},
    {"MmBin", "*.BIN", nullptr},
    {"MmBrg", "*.BRG", nullptr},
    {"MmLang", "&Язык", "&Language"},
    {"MmRus", "&Русский", "&Русский"},
    {"MmEng", "English", "&English"},
    {"OpenDir", "Открыть папку с дампами", "Open dumps folder"},
    {"SPI1", "Автовыбор SPI чипа", "SPI chip autoselect"},
    {"I2C1", "Автовыбор I2C чипа", nullptr},
    {"UID1", "Считать UID", "Read UID"},
    {"SBFind", "Найти", "Search"},
    {"HexEditor", "Для загрузки файла перетащите его в окно Hex редактора.",
     "To download a file, drag it to the Hex Editor window."},
};

struct Hint {
    const char *component;
    const char *text;
};

constexpr Hint hints[] = {
    {"SBOpen", "Load file into a buffer"}, {"SBOpenDir", "Open dumps folder"},
    {"SBSave", "Save File As..."},         {"SBChip", "Chip Select"},
    {"SBAutoSel", "Auto Select"},          {"SBId", "Read ID"},
    {"SBReadPopup", "Read UID"},           {"SBRead", "Read Chip"},
    {"SBWrite", "Programm Chip"},          {"SBCompare", "Compare"},
    {"SBScen", "Execute Script"},          {"SBFill", "Fill Buffer"},
    {"SBSwap", "Swap Bytes"},              {"SBCheckSum", "Checksum"},
    {"SBUndo", "Undo|Reverts the last action"}, {"SBCalc", "Windows Calculator"},
    {"SBStop", "Stop"},                    {"SBAbout", "About"},
    {"SBErase", "Erase Chip"},             {"SBStatRegs", "Status Registers"},
    {"SBExit", "Exit"},
};

} // namespace

std::span<const Caption> MainCaptions()
{
    return captions;
}

QString DesignCaption(const char *component)
{
    for (const Caption &c : captions)
        if (std::strcmp(c.component, component) == 0)
            return QString::fromUtf8(c.russian);
    return {};
}

QString MenuCaption(const char *component)
{
    for (const Caption &c : captions)
        if (std::strcmp(c.component, component) == 0)
            return QString::fromUtf8(LanguageId != 0 && c.english ? c.english : c.russian).remove(QLatin1Char('&'));
    return {};
}

QByteArray SlaveAddressItem(int address)
{
    return "N0x" + QByteArray::number(address, 16).toUpper().rightJustified(2, '0');
}

QString SearchKindCaption(int item, bool english)
{
    if (english)
        return item == 0 ? QStringLiteral("Search Hex-values") : QStringLiteral("Search text");
    return item == 0 ? QStringLiteral("Поиск Hex-значений") : QStringLiteral("Поиск текста");
}

QString ToolHint(const char *component)
{
    for (const Hint &h : hints)
        if (std::strcmp(h.component, component) == 0)
            // A hint "short|long" shows its short part on the button.
            return QString::fromUtf8(h.text).section(QLatin1Char('|'), 0, 0);
    return {};
}


