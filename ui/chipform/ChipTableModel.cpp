#include "ui/chipform/ChipTableModel.h"

#include "session/Language.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QPalette>

#include <algorithm>

using chipdb::ChipField;

namespace {

struct Column {
    ChipField field;
    TextPair caption;
    int width;
};

const Column kColumnDefs[ChipTableModel::kColumns] = {
    {ChipField::CHIPTEXT, {"Device", "Чип"}, 100},
    {ChipField::MANUF, {"Manufacturer", "Производитель"}, 90},
    {ChipField::CHIPSIZE, {"Capacity", "Ёмкость"}, 80},
    {ChipField::SIGNATURE, {"Chip ID", "ID чипа"}, 80},
};

const QColor kSkyBlue(166, 202, 240);

} // namespace

ChipTableModel::ChipTableModel(chipdb::ChipTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table)
{
    table_.setViewListener(
        [this] {
            beginResetModel();
            placeholder_ = kNoRow;
        },
        [this] { endResetModel(); });
}

ChipTableModel::~ChipTableModel()
{
    table_.setViewListener({}, {});
}

ChipField ChipTableModel::fieldOfColumn(int column)
{
    return kColumnDefs[column].field;
}

int ChipTableModel::widthOfColumn(int column)
{
    return kColumnDefs[column].width;
}

int ChipTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.visibleCount() + (placeholder_ == kNoRow ? 0 : 1);
}

int ChipTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ChipTableModel::data(const QModelIndex& index, int role) const
{
    const int row = index.isValid() ? tableRow(index.row()) : kNoRow;
    if (role != Qt::DisplayRole || row == kNoRow || row >= table_.visibleCount()) return {};
    return QString::fromStdString(chipdb::fieldText(table_.visibleRow(row), fieldOfColumn(index.column())));
}

QVariant ChipTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    switch (role) {
    case Qt::DisplayRole: return LocalizedCaption(kColumnDefs[section].caption);
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return QBrush(section == sortedColumn_ ? kSkyBlue : QApplication::palette().color(QPalette::Button));
    default: return {};
    }
}

Qt::ItemFlags ChipTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ChipTableModel::setSortedColumn(int column)
{
    sortedColumn_ = column;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

void ChipTableModel::setPlaceholderRow(int row)
{
    if (placeholder_ != kNoRow) {
        beginRemoveRows({}, placeholder_, placeholder_);
        placeholder_ = kNoRow;
        endRemoveRows();
    }
    if (row == kNoRow) return;
    row = std::clamp(row, 0, table_.visibleCount());
    beginInsertRows({}, row, row);
    placeholder_ = row;
    endInsertRows();
}

int ChipTableModel::tableRow(int gridRow) const
{
    if (placeholder_ == kNoRow || gridRow < placeholder_) return gridRow;
    return gridRow == placeholder_ ? kNoRow : gridRow - 1;
}

int ChipTableModel::gridRow(int tableRow) const
{
    return placeholder_ != kNoRow && tableRow >= placeholder_ ? tableRow + 1 : tableRow;
}
