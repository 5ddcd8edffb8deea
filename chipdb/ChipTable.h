#pragma once
// The in-memory chip table: rows in their natural order, a view of the rows that pass the
// filter in the current order, a current row, and editing of one row at a time.
// The device selection dialog's grid shows this object directly; nothing keeps a copy.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chipdb/ChipRecord.h"

namespace chipdb {

class ChipTable {
public:
    using FilterTest = std::function<bool(const ChipRecord&)>;
    using Notify = std::function<void()>;

    // Whole content. assign() replaces every row (natural order = given order) and cancels an edit.
    void assign(std::vector<ChipRecord> rows);
    const std::vector<ChipRecord>& rows() const { return rows_; } // natural order, unfiltered

    // Order by one field ascending (ties keep natural order), or natural order; the current row stays.
    void setOrder(std::optional<ChipField> field);
    std::optional<ChipField> order() const { return order_; }

    // Filtering hides rows, never removes them. Switching it (or refilter()) re-runs the test on
    // every row and moves to the first visible row; setting the state it already has does nothing. A row passes when it
    // passes the test (if any) and the expression (if any).
    void setFilterTest(FilterTest test);
    // "FIELD='value'" (quote doubled inside the value) matches one field exactly; empty clears.
    // Returns false, clearing the expression, when the text has another form.
    bool setFilterExpression(std::string_view expression);
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }
    void refilter();

    // Visible rows.
    int visibleCount() const { return static_cast<int>(view_.size()); }
    const ChipRecord& visibleRow(int i) const { return rows_[view_[i]]; }
    int currentIndex() const { return current_; } // -1 when no row is visible
    const ChipRecord* current() const { return current_ < 0 ? nullptr : &visibleRow(current_); }
    bool moveTo(int index);
    // Exact, case-sensitive match on the visible rows; the first match becomes current.
    bool locate(ChipField field, std::string_view value);
    // Fields of the current row; empty text or 0 when there is none.
    std::string fieldText(ChipField f) const;
    double fieldNumber(ChipField f) const;

    // Editing: start with append(), insert() (before the current row) or change(), fill edited(),
    // then commit() or cancel(). deleteCurrent() and empty() act at once.
    void append();
    void insert();
    bool change(); // false when there is no current row
    bool editing() const { return edit_.has_value(); }
    ChipRecord& edited() { return edit_->record; }
    bool commit();
    void cancel() { edit_.reset(); }
    bool deleteCurrent();
    void empty();

    // Runs after every move of the current row, including those caused by filtering and ordering.
    void setAfterScroll(Notify n) { afterScroll_ = std::move(n); }
    // Run around every change of the visible rows (content, order, filter), for views.
    void setViewListener(Notify before, Notify after);

private:
    struct Edit {
        enum Kind { Append, Insert, Change } kind;
        std::size_t row; // natural position: changed row, or insertion point
        ChipRecord record;
    };

    bool passes(const ChipRecord& r) const;
    // Rebuilds the view; the current row becomes the row at natural position `keep` when it is
    // visible, else the visible row at `fallback` (clamped), and after-scroll runs.
    void rebuild(std::optional<std::size_t> keep, int fallback);
    std::optional<std::size_t> currentRow() const;

    std::vector<ChipRecord> rows_;
    std::vector<std::size_t> view_;
    int current_ = -1;
    std::optional<ChipField> order_;
    FilterTest test_;
    std::optional<std::pair<ChipField, std::string>> expression_;
    bool filtered_ = false;
    std::optional<Edit> edit_;
    Notify afterScroll_, beforeViewChange_, afterViewChange_;
};

} // namespace chipdb
