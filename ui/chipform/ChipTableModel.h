#pragma once
// The grid's view of the one chip table: four columns over the visible rows, no copy of the data,
// and while the editor is in New mode one empty placeholder row that belongs to no table row.

#include <QAbstractTableModel>

#include "chipdb/ChipTable.h"

class ChipTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 4;
    static constexpr int kNoColumn = -1;

    // The column titles are English when English is chosen, the Russian design otherwise.
    ChipTableModel(chipdb::ChipTable& table, QObject* parent = nullptr);
    ~ChipTableModel() override;

    static chipdb::ChipField fieldOfColumn(int column);
    static int widthOfColumn(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows the placeholder before the table row `row` (at the end past the last); kNoRow removes
    // it. Any change of the table's rows removes it too.
    static constexpr int kNoRow = -1;
    void setPlaceholderRow(int row);
    int placeholderRow() const { return placeholder_; }
    // Grid rows and table rows around the placeholder; the placeholder itself is kNoRow.
    int tableRow(int gridRow) const;
    int gridRow(int tableRow) const;

    // The column whose title is painted sky blue (the one the table is ordered by), or kNoColumn.
    void setSortedColumn(int column);
    int sortedColumn() const { return sortedColumn_; }

private:
    chipdb::ChipTable& table_;
    int sortedColumn_ = kNoColumn;
    int placeholder_ = kNoRow;
};
