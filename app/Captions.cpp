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
    {component::Mm_SPEED_LOW, {"20KHz", "20 кГц"}},
    {component::Mm_SPEED_NORMAL, {"100KHz", "100 кГц"}},
    {component::Mm_SPEED_FAST, {"400KHz", "400 кГц"}},
    {component::Mm_SPEED_HIGH, {"750KHz", "750 кГц"}},
    {component::MmAck, {"ACK &test", "Проверка ACK"}},
    {component::MmVerify, {"&Verify after writing", "Проверять после записи"}},
    {component::MmI2CAdr, {"I2C Slave address", "Адрес ведомого I2C"}},
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
    {component::I2C1, {"I2C chip autoselect", "Автовыбор I2C чипа"}},
    {component::UID1, {"Read UID", "Считать UID"}},
    {component::SBFind, {"Search", "Найти"}},
    {component::HexEditor,
     {"To download a file, drag it to the Hex Editor window.",
      "Для загрузки файла перетащите его в окно Hex редактора."}},
};

struct Hint {
    ComponentName component;
    TextPair text; // "short|long": the short part on the button, the long one in the status bar
};

const Hint hints[] = {
    {component::SBOpen, {"Load file into a buffer", "Загрузить файл в буфер"}},
    {component::SBOpenDir, {"Open dumps folder", "Открыть папку с дампами"}},
    {component::SBSave, {"Save File As...", "Сохранить файл как..."}},
    {component::SBChip, {"Chip Select", "Выбор чипа"}},
    {component::SBAutoSel, {"Auto Select", "Автовыбор"}},
    {component::SBId, {"Read ID", "Считать ID"}},
    {component::SBReadPopup, {"Read UID", "Считать UID"}},
    {component::SBRead, {"Read Chip", "Считать чип"}},
    {component::SBWrite, {"Program Chip", "Записать чип"}},
    {component::SBCompare, {"Compare", "Сравнить"}},
    {component::SBScen, {"Execute Script", "Выполнить сценарий"}},
    {component::SBFill, {"Fill Buffer", "Заполнить буфер"}},
    {component::SBSwap, {"Swap Bytes", "Переставить байты"}},
    {component::SBCheckSum, {"Checksum", "Контрольная сумма"}},
    {component::SBUndo, {"Undo|Reverts the last action", "Отменить|Отменяет последнее действие"}},
    {component::SBCalc, {"Calculator", "Калькулятор"}},
    {component::SBStop, {"Stop", "Остановить"}},
    {component::SBAbout, {"About", "О программе"}},
    {component::SBErase, {"Erase Chip", "Стереть чип"}},
    {component::SBStatRegs, {"Status Registers", "Регистры статуса"}},
    {component::SBExit, {"Exit", "Выход"}},
};

const Hint* HintOf(ComponentName component)
{
    for (const Hint& h : hints)
        if (h.component == component) return &h;
    return nullptr;
}

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
    const Hint* hint = HintOf(component);
    return hint ? LocalizedCaption(hint->text).section(QLatin1Char('|'), 0, 0) : QString();
}

QString ToolStatusTip(ComponentName component)
{
    const Hint* hint = HintOf(component);
    return hint ? LocalizedCaption(hint->text).section(QLatin1Char('|'), 1) : QString();
}

std::vector<ComponentName> HintedComponents()
{
    std::vector<ComponentName> components;
    for (const Hint& h : hints) components.push_back(h.component);
    return components;
}
