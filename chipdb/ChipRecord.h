#pragma once
// One row of the chip database and the definitions of its fields.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chipdb {

// The fields in their stored order.
enum class ChipField : std::uint8_t {
    CHIPTEXT,
    CHIPID,
    CHIPSIZE,
    PAGESIZE,
    ERTIME,
    MANUF,
    SIGNATURE,
    FREQUENCY,
    VMIN,
    VMAX
};
inline constexpr int kChipFieldCount = 10;
// The fields every chip list, sheet and source has had; the supply voltage fields after them came
// later, and a file, sheet or source without them still reads (the voltage is then unknown).
inline constexpr int kRequiredFieldCount = 8;

enum class FieldType : std::uint8_t { Text = 1, Number = 2 };

struct FieldDef {
    std::string_view name;
    FieldType type;
    std::uint16_t width; // characters for text fields, 0 for numbers
};

inline constexpr int kTextFieldWidth = 22;

inline constexpr std::array<FieldDef, kChipFieldCount> kChipFields{{
    {"CHIPTEXT", FieldType::Text, kTextFieldWidth},
    {"CHIPID", FieldType::Text, kTextFieldWidth},
    {"CHIPSIZE", FieldType::Number, 0},
    {"PAGESIZE", FieldType::Number, 0},
    {"ERTIME", FieldType::Number, 0},
    {"MANUF", FieldType::Text, kTextFieldWidth},
    {"SIGNATURE", FieldType::Text, kTextFieldWidth},
    {"FREQUENCY", FieldType::Number, 0},
    {"VMIN", FieldType::Number, 0},
    {"VMAX", FieldType::Number, 0},
}};

inline const FieldDef& fieldDef(ChipField f)
{
    return kChipFields[static_cast<int>(f)];
}
std::optional<ChipField> fieldByName(std::string_view name);

// An empty number field has no value; it reads as 0.
using Number = std::optional<double>;

struct ChipRecord {
    std::string CHIPTEXT; // chip name; "_18" in it marks a 1.8 V part
    std::string CHIPID;   // chip kind, see ChipKind.h
    Number CHIPSIZE;      // bytes
    Number PAGESIZE;      // write page, bytes
    Number ERTIME;        // erase time figure, kept but never used by an operation
    std::string MANUF;
    std::string SIGNATURE; // JEDEC id as 6 hex digits or RES id as 4, matched as a substring
    Number FREQUENCY;      // number of status registers, 1 to 3
    // Supply voltage range in millivolts; empty when not known. Initialised here so that rows
    // written with the eight original fields stay complete.
    Number VMIN{};
    Number VMAX{};

    bool operator==(const ChipRecord&) const = default;
};

// Field values by field: text fields as stored, numbers in their shortest decimal form.
std::string fieldText(const ChipRecord& r, ChipField f);
// The stored value of a number field (empty for text fields).
Number numberValue(const ChipRecord& r, ChipField f);
// Numbers as stored (0 when empty); a text field reads as its number, or 0.
double fieldNumber(const ChipRecord& r, ChipField f);

// Sets a field from user text. Text fields are cut to their width; a number field takes an
// empty text as empty and otherwise needs a decimal number ('.' or ',' as the point).
// Returns false, leaving the field as it was, when a number field gets something else.
bool setFieldText(ChipRecord& r, ChipField f, std::string_view text);
void setFieldNumber(ChipRecord& r, ChipField f, Number value);

// Strict decimal parse used wherever numbers come from text; surrounding blanks allowed.
std::optional<double> parseNumber(std::string_view text);
std::string formatNumber(double v);

// Number of characters of a UTF-8 (or 8-bit) text: bytes that do not continue a sequence.
std::size_t characterCount(std::string_view text);
std::string_view cutToCharacters(std::string_view text, std::size_t count);

} // namespace chipdb
