#include "app/Captions.h"

#include "session/Language.h"

namespace {
const Caption captions[] = {
    {component::mFile, {"&File", "&Файл"}},
    {component::MmFopen, {"&Open", "Открыть"}},
    {component::MmFsave, {"&Save As", "Сохранить как"}},
    {component::MmOpenDir, {"Open dumps folder", "Открыть папку с дампами"}},
    {component::MmHistory, {"&Last Files", "Недавно открытые файлы"}},
    {component::MmExit, {"E&xit", "Выход"}},
    {component::MmEdit, {"&Edit", "&Правка"}},
    {component::MmUndo, {"&Undo", "&Отменить"}},
    {component::MmCopy, {"&Copy", "&Копировать"}},
    {component::MmPaste, {"&Paste", "В&ставить"}},
    {component::MmSearch, {"&Search", "По&иск"}},
    {component::MmBufer, {"&Buffer", "&Буфер"}},
    {component::MmFillBufer, {"&Fill Buffer", "Заполнить буфер"}},
    {component::MmSwap, {"S&wap Bytes", "Перестановка байтов"}},
    {component::MmCheckSum, {"&Checksum", "Контрольная сумма"}},
    {component::MmOper, {"&Operation", "&Операция"}},
    {component::MmRead, {"&Read device", "Считывание"}},
    {component::MmWrite, {"&Write device", "Программирование"}},
    {component::MmSmartWrite, {"S&mart write", "Умная запись"}},
    {component::MmCompare, {"&Compare", "Сравнение"}},
    {component::ScRun, {"Run &Script", "Выполнить сценарий"}},
    {component::MmSpi, SameText("SPI")},
    {component::MmSpiErase, {"&Erase device", "Стереть чип"}},
    {component::MmCheckFF, {"&Blank check", "Проверить на чистоту"}},
    {component::MmReadId, {"&Read ID", "Считать ID"}},
    {component::MmRdStatReg, {"&Read status register", "Считать регистр  статуса"}},
    {component::MmWrStatReg, {"&Write status register", "Записать регистр статуса"}},
    {component::MmUnprotect, {"&Unprotect", "Снять защиту"}},
    {component::MmChipSelect, {"Select &device", "&Выбор чипа"}}, // Alt+S is the Settings menu's
    {component::MmChipSelect2, {"Select from the list", "Выбрать из списка"}},
    {component::MmAutoSel, {"Auto Select SPI chip", "Автовыбор SPI чипа"}},
    {component::MmSettings, {"&Settings", "&Настройки"}},
    {component::MmEmulator, {"E&mulator", "&Эмулятор"}},
    {component::MmEmuUnplug, {"&Unplug adapter", "&Отключить адаптер"}},
    {component::MmEmuPlug, {"&Plug adapter in", "&Подключить адаптер"}},
    {component::MmEmuChip, {"Put &chip...", "&Вставить чип..."}},
    {component::MmEmuFault, {"Inject a &fault on the next operation", "&Сбой при следующей операции"}},
    {component::MmEmuFaultUsb, {"&USB transfer error", "Ошибка передачи &USB"}},
    {component::MmEmuFaultNak, {"&NAK on the I2C bus", "&NAK на шине I2C"}},
    {component::MmEmuFaultBusy, {"Chip stays &busy", "Чип остаётся &занятым"}},
    {component::MmEmuFaultPulled, {"Adapter &pulled out mid-operation", "Адаптер &извлечён во время операции"}},
    {component::MmEmuFaultCorrupt, {"&Corrupted reply byte", "Искажённый &байт ответа"}},
    {component::MmEmuFaultClear, {"C&lear the armed fault", "&Отменить сбой"}},
    {component::MmEmuLog, {"Write bus &log to file...", "&Журнал шины в файл..."}},
    {component::MmI2C, SameText("I2C")},
    {component::MmI2CFrec, {"&I2C bus frequency", "&Частота шины I2C"}},
    {component::Mm_SPEED_LOW, SameText("20KHz")},
    {component::Mm_SPEED_NORMAL, SameText("100KHz")},
    {component::Mm_SPEED_FAST, SameText("400KHz")},
    {component::Mm_SPEED_HIGH, SameText("750KHz")},
    {component::MmAck, {"ACK &test", "Проверка ACK"}},
    {component::MmVerify, {"&Verify after writing", "Проверять после записи"}},
    {component::MmI2CAdr, SameText("I2C Slave address")},
    {component::MmScen, {"&Script", "Сценарий"}},
    {component::ScErase, {"&Erase device", "Стереть чип"}},
    {component::ScCheckFF, {"&Blank check", "Проверить на чистоту"}},
    {component::ScWrite, {"&Write device", "Программирование чипа"}},
    {component::ScCompare, {"&Compare", "Сравнение"}},
    {component::MmAutoSave, {"Autosave", "Автосохранение"}},
    {component::MmDirectory, {"Folder selection", "Выбор папки"}},
    {component::MmExtention, {"File extension", "Формат файла"}},
    {component::MmBin, SameText("*.BIN")},
    {component::MmBrg, SameText("*.BRG")},
    {component::MmLang, {"&Language", "&Язык"}},
    {component::MmRus, {"&Русский", "&Русский"}},
    {component::MmEng, {"&English", "English"}},
    {component::OpenDir, {"Open dumps folder", "Открыть папку с дампами"}},
    {component::SPI1, {"SPI chip autoselect", "Автовыбор SPI чипа"}},
    {component::I2C1, SameText("Автовыбор I2C чипа")},
    {component::UID1, {"Read UID", "Считать UID"}},
    {component::SBFind, {"Search", "Найти"}},
    {component::HexEditor,
     {"To download a file, drag it to the Hex Editor window.",
      "Для загрузки файла перетащите его в окно Hex редактора."}},
};

struct Hint {
    ComponentName component;
    const char* text;
};

constexpr Hint hints[] = {
    {component::SBOpen, "Load file into a buffer"},
    {component::SBOpenDir, "Open dumps folder"},
    {component::SBSave, "Save File As..."},
    {component::SBChip, "Chip Select"},
    {component::SBAutoSel, "Auto Select"},
    {component::SBId, "Read ID"},
    {component::SBReadPopup, "Read UID"},
    {component::SBRead, "Read Chip"},
    {component::SBWrite, "Programm Chip"},
    {component::SBCompare, "Compare"},
    {component::SBScen, "Execute Script"},
    {component::SBFill, "Fill Buffer"},
    {component::SBSwap, "Swap Bytes"},
    {component::SBCheckSum, "Checksum"},
    {component::SBUndo, "Undo|Reverts the last action"},
    {component::SBCalc, "Windows Calculator"},
    {component::SBStop, "Stop"},
    {component::SBAbout, "About"},
    {component::SBErase, "Erase Chip"},
    {component::SBStatRegs, "Status Registers"},
    {component::SBExit, "Exit"},
};

} // namespace

std::span<const Caption> MainCaptions()
{
    return captions;
}

QString DesignCaption(ComponentName component)
{
    for (const Caption& c : captions)
        if (c.component == component) return QString::fromStdString(c.text.ru);
    return {};
}

QString MenuCaption(ComponentName component)
{
    for (const Caption& c : captions)
        if (c.component == component) return Localized(c.text).remove(QLatin1Char('&'));
    return {};
}

QString SearchKindCaption(int item, Language language)
{
    return item == 0 ? QString::fromUtf8(PickText(language, "Search Hex-values", "Поиск Hex-значений"))
                     : QString::fromUtf8(PickText(language, "Search text", "Поиск текста"));
}

QString ToolHint(ComponentName component)
{
    for (const Hint& h : hints)
        if (h.component == component)
            // A hint "short|long" shows its short part on the button.
            return QString::fromUtf8(h.text).section(QLatin1Char('|'), 0, 0);
    return {};
}
