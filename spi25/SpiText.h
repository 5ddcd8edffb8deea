#pragma once
// The texts of the SPI operations and the hexadecimal forms they show. The operations run below
// the main window, so they hand back log lines (both languages, colour) in the order the window
// must write them, and the window picks the language.

#include "text/TextPair.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LogLine {
    TextPair text;
    bool error = false; // red; navy otherwise
    bool operator==(const LogLine&) const = default;
};
using SpiLog = std::vector<LogLine>;

// Upper-case hexadecimal, padded with zeros to at least `digits` digits: HexText(0x13, 4) = "0013".
std::string HexText(uint64_t value, int digits);

namespace spitext {

// Identification.
inline const TextPair SignatureReadError = SameText("Ошибка чтения сигнатгры!");
inline const TextPair DeviceDefective = {"\nDevice is defective or not installed!",
                                         "\nЧип неисправен или не установлен!"};
// The auto-select's form of the same line starts its Russian text without the line break.
inline const TextPair AutoSelectDeviceDefective = {"\nDevice is defective or not installed!",
                                                   "Чип неисправен или не установлен!"};
inline const TextPair ReadUidCaption = {"Read UID", "Считать UID"};

// Status registers.
inline const TextPair StatusReadError = SameText("Ошибка чтения регистра статуса!");
inline const TextPair StatusWriteError = SameText("Ошибка записи регистра статуса!");
inline const TextPair StatusWrite3Error = SameText("Ошибка записи регистра статуса");
inline const TextPair SetStreamError = SameText("CH341SetStream error!");
inline const TextPair StreamSpiError = SameText("CH341StreamSPI4 error!");

// Read: a chip record of size 0 has nothing to read.
inline const TextPair ChipSizeZero = {"\nChip size = 0, nothing to read", "\nРазмер чипа = 0, считывать нечего"};
// Page programming: the message box of a chip record with page size 0 (text, caption).
inline const TextPair PageSizeZero = SameText("PageSize = 0");
inline const TextPair PageSizeZeroCaption = SameText("Ошибка!");

// Erase: the start line (the window appends hint B in English, hint A in Russian), the
// confirmation and the status warning (Yes/No boxes with an exclamation icon).
inline const TextPair Erasing = {"Erasing...\n", "Стирание...\n"};
inline const TextPair EraseConfirm = {"All data will be destroyed, continue?",
                                      "Все данные будут уничтожены, продолжить?"};
inline const TextPair EraseConfirmCaption = {"Chip erase confirmation", "Подтверждение стирания чипа"};
inline const TextPair EraseStatusWarning = {
    "The status registers contain data,\nThe chip erasure  may be not correct, continue?",
    "Регистры статуса содержат данные,\nСтирание чипа может быть не корректным, продолжить?"};
inline const TextPair EraseStatusWarningCaption = {"Attention!", "Внимание!"};
// Blank check start line (hint as for the erase).
inline const TextPair CheckingForBlank = {"\nChecking for blank...\n", "\nПроверка на чистоту...\n"};

} // namespace spitext
