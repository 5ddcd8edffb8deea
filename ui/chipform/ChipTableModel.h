#pragma once
// The grid's view of the one chip table: four columns over the visible rows, no copy of the data.

#include <QAbstractTableModel>

#include "chipdb/ChipTable.h"

class ChipTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 4;
    static constexpr int kNoColumn = -1;

    ChipTableModel(chipdb::ChipTable& table, bool englishCaptions, QObject* parent = nullptr);
    ~ChipTableModel() override;

    static chipdb::ChipField fieldOfColumn(int column);
    static int widthOfColumn(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The column whose title is painted sky blue (the one the table is ordered by), or kNoColumn.
    void setSortedColumn(int column);
    int sortedColumn() const { return sortedColumn_; }

private:
    chipdb::ChipTable& table_;
    bool english_;
    int sortedColumn_ = kNoColumn;
};
