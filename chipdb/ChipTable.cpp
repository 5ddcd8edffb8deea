#include "chipdb/ChipTable.h"

#include <algorithm>
#include <cctype>

namespace chipdb {
namespace {

// Names sort without regard to ASCII letter case, then by bytes, so "w25q" and "W25Q" stay together.
int compareText(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

bool lessBy(ChipField f, const ChipRecord& a, const ChipRecord& b)
{
    if (fieldDef(f).type == FieldType::Text) return compareText(fieldText(a, f), fieldText(b, f)) < 0;
    return numberValue(a, f) < numberValue(b, f); // empty first
}

std::optional<std::pair<ChipField, std::string>> parseExpression(std::string_view e)
{
    const auto eq = e.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    auto trim = [](std::string_view s) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        return s;
    };
    const auto field = fieldByName(trim(e.substr(0, eq)));
    const std::string_view quoted = trim(e.substr(eq + 1));
    if (!field || quoted.size() < 2 || quoted.front() != '\'' || quoted.back() != '\'') return std::nullopt;
    std::string value;
    const std::string_view inner = quoted.substr(1, quoted.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\'') {
            if (i + 1 >= inner.size() || inner[i + 1] != '\'') return std::nullopt;
            ++i;
        }
        value.push_back(inner[i]);
    }
    return std::make_pair(*field, std::move(value));
}

} // namespace

void ChipTable::assign(std::vector<ChipRecord> rows)
{
    if (beforeViewChange_) beforeViewChange_();
    rows_ = std::move(rows);
    edit_.reset();
    rebuild(std::nullopt, 0);
}

void ChipTable::setOrder(std::optional<ChipField> field)
{
    if (beforeViewChange_) beforeViewChange_();
    order_ = field;
    rebuild(currentRow(), 0);
}

void ChipTable::setFilterTest(FilterTest test)
{
    test_ = std::move(test);
}

bool ChipTable::setFilterExpression(std::string_view expression)
{
    expression_.reset();
    if (expression.empty()) return true;
    expression_ = parseExpression(expression);
    return expression_.has_value();
}

void ChipTable::setFiltered(bool on)
{
    if (on == filtered_) return;
    filtered_ = on;
    refilter();
}

void ChipTable::refilter()
{
    if (beforeViewChange_) beforeViewChange_();
    rebuild(std::nullopt, 0);
}

bool ChipTable::passes(const ChipRecord& r) const
{
    if (!filtered_) return true;
    if (test_ && !test_(r)) return false;
    return !expression_ || chipdb::fieldText(r, expression_->first) == expression_->second;
}

void ChipTable::rebuild(std::optional<std::size_t> keep, int fallback)
{
    view_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (passes(rows_[i])) view_.push_back(i);
    if (order_)
        std::stable_sort(view_.begin(), view_.end(),
                         [&](std::size_t a, std::size_t b) { return lessBy(*order_, rows_[a], rows_[b]); });
    current_ = view_.empty() ? -1 : std::clamp(fallback, 0, visibleCount() - 1);
    if (keep)
        if (const auto it = std::find(view_.begin(), view_.end(), *keep); it != view_.end())
            current_ = static_cast<int>(it - view_.begin());
    if (afterViewChange_) afterViewChange_();
    if (afterScroll_) afterScroll_();
}

std::optional<std::size_t> ChipTable::currentRow() const
{
    if (current_ < 0) return std::nullopt;
    return view_[current_];
}

bool ChipTable::moveTo(int index)
{
    if (index < 0 || index >= visibleCount()) return false;
    current_ = index;
    if (afterScroll_) afterScroll_();
    return true;
}

bool ChipTable::locate(ChipField field, std::string_view value)
{
    for (int i = 0; i < visibleCount(); ++i)
        if (chipdb::fieldText(visibleRow(i), field) == value) return moveTo(i);
    return false;
}

std::string ChipTable::fieldText(ChipField f) const
{
    return current() ? chipdb::fieldText(*current(), f) : std::string();
}

double ChipTable::fieldNumber(ChipField f) const
{
    return current() ? chipdb::fieldNumber(*current(), f) : 0.0;
}

void ChipTable::append()
{
    edit_ = Edit{Edit::Append, rows_.size(), {}};
}

void ChipTable::insert()
{
    edit_ = Edit{Edit::Insert, currentRow().value_or(rows_.size()), {}};
}

bool ChipTable::change()
{
    const auto row = currentRow();
    if (!row) return false;
    edit_ = Edit{Edit::Change, *row, rows_[*row]};
    return true;
}

bool ChipTable::commit()
{
    if (!edit_) return false;
    if (beforeViewChange_) beforeViewChange_();
    Edit e = std::move(*edit_);
    edit_.reset();
    if (e.kind == Edit::Change)
        rows_[e.row] = std::move(e.record);
    else
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(e.row), std::move(e.record));
    rebuild(e.row, current_);
    return true;
}

bool ChipTable::deleteCurrent()
{
    const auto row = currentRow();
    if (!row) return false;
    if (beforeViewChange_) beforeViewChange_();
    edit_.reset();
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*row));
    rebuild(std::nullopt, current_); // the row that followed takes its place
    return true;
}

void ChipTable::empty()
{
    assign({});
}

void ChipTable::setViewListener(Notify before, Notify after)
{
    beforeViewChange_ = std::move(before);
    afterViewChange_ = std::move(after);
}

} // namespace chipdb
