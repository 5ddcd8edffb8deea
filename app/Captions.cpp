#include "app/Captions.h"

#include "session/Language.h"

#include <cstring>

namespace {
const Caption captions[] = {
    {"mFile", {"&File", "&Файл"}},
    {"MmFopen", {"&Open", "Открыть"}},
    {"MmFsave", {"&Save As", "Сохранить как"}},
    {"MmOpenDir", {"Open dumps folder", "Открыть папку с дампами"}},
    {"MmHistory", {"&Last Files", "Недавно открытые файлы"}},
    {"MmExit", {"E&xit", "Выход"}},
    {"MmEdit", {"&Edit", "&Правка"}},
    {"MmUndo", {"&Undo", "&Отменить"}},
    {"MmCopy", {"&Copy", "&Копировать"}},
    {"MmPaste", {"&Paste", "В&ставить"}},
    {"MmSearch", {"&Search", "По&иск"}},
    {"MmBufer", {"&Buffer", "&Буфер"}},
    {"MmFillBufer", {"&Fill Buffer", "Заполнить буфер"}},
    {"MmSwap", {"S&wap Bytes", "Перестановка байтов"}},
    {"MmCheckSum", {"&Checksum", "Контрольная сумма"}},
    {"MmOper", {"&Operation", "&Операция"}},
    {"MmRead", {"&Read device", "Считывание"}},
    {"MmWrite", {"&Write device", "Программирование"}},
    {"MmSmartWrite", {"S&mart write", "Умная запись"}},
    {"MmCompare", {"&Compare", "Сравнение"}},
    {"ScRun", {"Run &Script", "Выполнить сценарий"}},
    {"MmSpi", SameText("SPI")},
    {"MmSpiErase", {"&Erase device", "Стереть чип"}},
    {"MmCheckFF", {"&Blank check", "Проверить на чистоту"}},
    {"MmReadId", {"&Read ID", "Считать ID"}},
    {"MmRdStatReg", {"&Read status register", "Считать регистр  статуса"}},
    {"MmWrStatReg", {"&Write status register", "Записать регистр статуса"}},
    {"MmUnprotect", {"&Unprotect", "Снять защиту"}},
    {"MmChipSelect", {"Select &device", "&Выбор чипа"}}, // Alt+S is the Settings menu's
    {"MmChipSelect2", {"Select from the list", "Выбрать из списка"}},
    {"MmAutoSel", {"Auto Select SPI chip", "Автовыбор SPI чипа"}},
    {"MmSettings", {"&Settings", "&Настройки"}},
    {"MmEmulator", {"E&mulator", "&Эмулятор"}},
    {"MmEmuUnplug", {"&Unplug adapter", "&Отключить адаптер"}},
    {"MmEmuPlug", {"&Plug adapter in", "&Подключить адаптер"}},
    {"MmEmuChip", {"Put &chip...", "&Вставить чип..."}},
    {"MmEmuFault", {"Inject a &fault on the next operation", "&Сбой при следующей операции"}},
    {"MmEmuFaultUsb", {"&USB transfer error", "Ошибка передачи &USB"}},
    {"MmEmuFaultNak", {"&NAK on the I2C bus", "&NAK на шине I2C"}},
    {"MmEmuFaultBusy", {"Chip stays &busy", "Чип остаётся &занятым"}},
    {"MmEmuFaultPulled", {"Adapter &pulled out mid-operation", "Адаптер &извлечён во время операции"}},
    {"MmEmuFaultCorrupt", {"&Corrupted reply byte", "Искажённый &байт ответа"}},
    {"MmEmuFaultClear", {"C&lear the armed fault", "&Отменить сбой"}},
    {"MmEmuLog", {"Write bus &log to file...", "&Журнал шины в файл..."}},
    {"MmI2C", SameText("I2C")},
    {"MmI2CFrec", {"&I2C bus frequency", "&Частота шины I2C"}},
    {"Mm_SPEED_LOW", SameText("20KHz")},
    {"Mm_SPEED_NORMAL", SameText("100KHz")},
    {"Mm_SPEED_FAST", SameText("400KHz")},
    {"Mm_SPEED_HIGH", SameText("750KHz")},
    {"MmAck", {"ACK &test", "Проверка ACK"}},
    {"MmVerify", {"&Verify after writing", "Проверять после записи"}},
    {"MmI2CAdr", SameText("I2C Slave address")},
    {"MmScen", {"&Script", "Сценарий"}},
    {"ScErase", {"&Erase device", "Стереть чип"}},
    {"ScCheckFF", {"&Blank check", "Проверить на чистоту"}},
    {"ScWrite", {"&Write device", "Программирование чипа"}},
    {"ScCompare", {"&Compare", "Сравнение"}},
    {"MmAutoSave", {"Autosave", "Автосохранение"}},
    {"MmDirectory", {"Folder selection", "Выбор папки"}},
    {"MmExtention", {"File extension", "Формат файла"}},
    {"MmBin", SameText("*.BIN")},
    {"MmBrg", SameText("*.BRG")},
    {"MmLang", {"&Language", "&Язык"}},
    {"MmRus", {"&Русский", "&Русский"}},
    {"MmEng", {"&English", "English"}},
    {"OpenDir", {"Open dumps folder", "Открыть папку с дампами"}},
    {"SPI1", {"SPI chip autoselect", "Автовыбор SPI чипа"}},
    {"I2C1", SameText("Автовыбор I2C чипа")},
    {"UID1", {"Read UID", "Считать UID"}},
    {"SBFind", {"Search", "Найти"}},
    {"HexEditor",
     {"To download a file, drag it to the Hex Editor window.", "Для загрузки файла перетащите его в окно Hex редактора."}},
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
            return QString::fromStdString(c.text.ru);
    return {};
}

QString MenuCaption(const char *component)
{
    for (const Caption &c : captions)
        if (std::strcmp(c.component, component) == 0)
            return Localized(c.text).remove(QLatin1Char('&'));
    return {};
}

QByteArray SlaveAddressItem(int address)
{
    return "N0x" + QByteArray::number(address, 16).toUpper().rightJustified(2, '0');
}

QString SearchKindCaption(int item, Language language)
{
    return item == 0 ? QString::fromUtf8(PickText(language, "Search Hex-values", "Поиск Hex-значений"))
                     : QString::fromUtf8(PickText(language, "Search text", "Поиск текста"));
}

QString ToolHint(const char *component)
{
    for (const Hint &h : hints)
        if (std::strcmp(h.component, component) == 0)
            // A hint "short|long" shows its short part on the button.
            return QString::fromUtf8(h.text).section(QLatin1Char('|'), 0, 0);
    return {};
}


