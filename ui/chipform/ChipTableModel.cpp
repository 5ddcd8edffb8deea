#include "ui/chipform/ChipTableModel.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QPalette>

using chipdb::ChipField;

namespace {

struct Column {
    ChipField field;
    const char* russian;
    const char* english;
    int width;
};

const Column kColumnDefs[ChipTableModel::kColumns] = {
    {ChipField::CHIPTEXT, "Чип", "Device", 100},
    {ChipField::MANUF, "Производитель", "Manufacturer", 90},
    {ChipField::CHIPSIZE, "Ёмкость", "Capacity", 80},
    {ChipField::SIGNATURE, "Chip ID", "Chip ID", 80},
};

const QColor kSkyBlue(166, 202, 240);

}  // namespace

ChipTableModel::ChipTableModel(chipdb::ChipTable& table, bool englishCaptions, QObject* parent)
    : QAbstractTableModel(parent), table_(table), english_(englishCaptions) {
    table_.setViewListener([this] { beginResetModel(); }, [this] { endResetModel(); });
}

ChipTableModel::~ChipTableModel() { table_.setViewListener({}, {}); }

ChipField ChipTableModel::fieldOfColumn(int column) { return kColumnDefs[column].field; }

int ChipTableModel::widthOfColumn(int column) { return kColumnDefs[column].width; }

int ChipTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.visibleCount();
}

int ChipTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ChipTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= table_.visibleCount()) return {};
    return QString::fromStdString(chipdb::fieldText(table_.visibleRow(index.row()), fieldOfColumn(index.column())));
}

QVariant ChipTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromUtf8(english_ ? kColumnDefs[section].english : kColumnDefs[section].russian);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::BackgroundRole:
            return QBrush(section == sortedColumn_ ? kSkyBlue : QApplication::palette().color(QPalette::Button));
        default:
            return {};
    }
}

Qt::ItemFlags ChipTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ChipTableModel::setSortedColumn(int column) {
    sortedColumn_ = column;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}
