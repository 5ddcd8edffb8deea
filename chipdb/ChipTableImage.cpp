#include "chipdb/ChipTableImage.h"

#include <array>
#include <bit>
#include <optional>
#include <string_view>

namespace chipdb {
namespace {

constexpr std::string_view kMagic = "VCTB";
constexpr std::uint16_t kVersion = 1;

void putLe(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putBytes(std::vector<std::uint8_t>& out, std::string_view s)
{
    out.insert(out.end(), s.begin(), s.end());
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> d) : d_(d) {}
    bool has(std::size_t n) const { return d_.size() - pos_ >= n; }
    std::size_t left() const { return d_.size() - pos_; }
    // Each getter returns false (and reads nothing) when too few bytes are left.
    bool le(std::uint64_t& v, int bytes)
    {
        if (!has(static_cast<std::size_t>(bytes))) return false;
        v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint64_t{d_[pos_++]} << (8 * i);
        return true;
    }
    bool bytes(std::string& s, std::size_t n)
    {
        if (!has(n)) return false;
        s.assign(reinterpret_cast<const char*>(d_.data() + pos_), n);
        pos_ += n;
        return true;
    }

private:
    std::span<const std::uint8_t> d_;
    std::size_t pos_ = 0;
};

// A field of the image: one of ours, or one a later version added (its values are skipped).
struct ImageColumn {
    std::optional<ChipField> field;
    FieldType type = FieldType::Text;
    std::uint16_t width = 0;
};

constexpr std::uint64_t kMostFields = 255;

// Fields are found by name, so an image of the eight original fields (every file written before
// the voltage fields) and one with fields this version does not know both load.
ImageError readFields(Reader& in, std::vector<ImageColumn>& columns)
{
    std::uint64_t count = 0;
    if (!in.le(count, 2)) return ImageError::Truncated;
    if (count == 0 || count > kMostFields) return ImageError::BadFields;
    std::array<bool, kChipFieldCount> seen{};
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t nameLength = 0, type = 0, width = 0;
        std::string name;
        if (!in.le(nameLength, 1) || !in.bytes(name, nameLength) || !in.le(type, 1) || !in.le(width, 2))
            return ImageError::Truncated;
        if (type != static_cast<std::uint8_t>(FieldType::Text) && type != static_cast<std::uint8_t>(FieldType::Number))
            return ImageError::BadFields;
        ImageColumn column{fieldByName(name), static_cast<FieldType>(type), static_cast<std::uint16_t>(width)};
        if (column.field) {
            const FieldDef& def = fieldDef(*column.field);
            bool& dup = seen[static_cast<int>(*column.field)];
            if (dup || column.type != def.type || column.width != def.width) return ImageError::BadFields;
            dup = true;
        }
        columns.push_back(column);
    }
    for (int i = 0; i < kRequiredFieldCount; ++i)
        if (!seen[i]) return ImageError::BadFields;
    return ImageError::None;
}

ImageError readRow(Reader& in, const std::vector<ImageColumn>& columns, ChipRecord& r)
{
    for (const ImageColumn& column : columns) {
        std::uint64_t v = 0;
        if (column.type == FieldType::Text) {
            std::string text;
            if (!in.le(v, 2) || !in.bytes(text, v)) return ImageError::Truncated;
            if (characterCount(text) > column.width) return ImageError::BadValue;
            if (column.field) setFieldText(r, *column.field, text);
            continue;
        }
        if (!in.le(v, 1)) return ImageError::Truncated;
        if (v > 1) return ImageError::BadValue;
        if (v == 0) continue;
        if (!in.le(v, 8)) return ImageError::Truncated;
        if (column.field) setFieldNumber(r, *column.field, std::bit_cast<double>(v));
    }
    return ImageError::None;
}

ImageError readImage(std::span<const std::uint8_t> image, std::vector<ChipRecord>& rows)
{
    Reader in(image);
    std::string magic;
    std::uint64_t version = 0, rowCount = 0;
    if (!in.bytes(magic, kMagic.size())) return ImageError::Truncated;
    if (magic != kMagic) return ImageError::BadMagic;
    if (!in.le(version, 2)) return ImageError::Truncated;
    if (version != kVersion) return ImageError::BadVersion;
    std::vector<ImageColumn> columns;
    if (const ImageError e = readFields(in, columns); e != ImageError::None) return e;
    if (!in.le(rowCount, 4)) return ImageError::Truncated;
    // The smallest row is 2 bytes per text field and 1 per number field.
    std::size_t smallestRow = 0;
    for (const ImageColumn& column : columns) smallestRow += column.type == FieldType::Text ? 2 : 1;
    if (rowCount > in.left() / smallestRow) return ImageError::Truncated;
    rows.resize(rowCount);
    for (ChipRecord& r : rows)
        if (const ImageError e = readRow(in, columns, r); e != ImageError::None) return e;
    return in.left() == 0 ? ImageError::None : ImageError::TrailingBytes;
}

} // namespace

void appendTableImage(const ChipTable& table, std::vector<std::uint8_t>& out)
{
    putBytes(out, kMagic);
    putLe(out, kVersion, 2);
    putLe(out, kChipFieldCount, 2);
    for (const FieldDef& def : kChipFields) {
        putLe(out, def.name.size(), 1);
        putBytes(out, def.name);
        putLe(out, static_cast<std::uint8_t>(def.type), 1);
        putLe(out, def.width, 2);
    }
    putLe(out, table.rows().size(), 4);
    for (const ChipRecord& r : table.rows()) {
        for (int i = 0; i < kChipFieldCount; ++i) {
            const auto f = static_cast<ChipField>(i);
            if (fieldDef(f).type == FieldType::Text) {
                // Rows given whole to assign() may hold longer texts; the image keeps what loads back.
                const std::string full = fieldText(r, f);
                const std::string_view text = cutToCharacters(full, fieldDef(f).width);
                putLe(out, text.size(), 2);
                putBytes(out, text);
            } else if (const Number n = numberValue(r, f)) {
                putLe(out, 1, 1);
                putLe(out, std::bit_cast<std::uint64_t>(*n), 8);
            } else {
                putLe(out, 0, 1);
            }
        }
    }
}

ImageError loadTableImage(std::span<const std::uint8_t> image, ChipTable& table)
{
    std::vector<ChipRecord> rows;
    const ImageError e = readImage(image, rows);
    if (e != ImageError::None) rows.clear();
    table.assign(std::move(rows));
    return e;
}

} // namespace chipdb
