#include "ui/compareview/CompareModel.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include "buffer/DiffList.h"
#include "session/Language.h"

namespace {

const QColor kNavy(0, 0, 128);

QString Hex(std::uint32_t value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString ByteText(const CompareModel::ByteReader& reader, std::uint32_t address)
{
    const auto byte = reader ? reader(address) : std::nullopt;
    return byte ? Hex(*byte, 2) : QString();
}

} // namespace

CompareModel::CompareModel(QObject* parent) : QAbstractTableModel(parent) {}

void CompareModel::setByteReaders(ByteReader buffer, ByteReader device)
{
    bufferByte_ = std::move(buffer);
    deviceByte_ = std::move(device);
    if (rowCount() > 0) emit dataChanged(index(0, BufferColumn), index(rowCount() - 1, DeviceColumn));
}

void CompareModel::languageChanged()
{
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void CompareModel::setDiffList(const DiffList* list)
{
    beginResetModel();
    list_ = list;
    compared_ = compared_ || list != nullptr;
    endResetModel();
}

std::uint32_t CompareModel::address(int row) const
{
    return list_->address(static_cast<std::size_t>(row));
}

void CompareModel::refreshBufferColumn()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, BufferColumn), index(rowCount() - 1, BufferColumn), {Qt::DisplayRole});
}

int CompareModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    if (!list_) return compared_ ? 0 : kRowsBeforeFirstCompare;
    return static_cast<int>(list_->size());
}

int CompareModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CompareModel::cellText(int row, int column) const
{
    const std::uint32_t at = address(row);
    switch (column) {
    case OrdinalColumn: return QString::number(row + 1);
    case AddressColumn: return Hex(at, 8);
    case BufferColumn: return ByteText(bufferByte_, at);
    case DeviceColumn: return ByteText(deviceByte_, at);
    default: return {};
    }
}

QVariant CompareModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
    case Qt::DisplayRole: return list_ ? cellText(index.row(), index.column()) : QString();
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::ForegroundRole: return QBrush(kNavy);
    case Qt::BackgroundRole:
        // Grid row r (1 for the first difference): white when odd, the tooltip colour when even.
        if (index.column() == OrdinalColumn) return {};
        return QBrush(index.row() % 2 == 0 ? QColor(Qt::white)
                                           : QGuiApplication::palette().color(QPalette::ToolTipBase));
    default: return {};
    }
}

QVariant CompareModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    switch (role) {
    case Qt::DisplayRole: {
        switch (section) {
        case AddressColumn: return Localized("Address", "Адрес");
        case BufferColumn: return Localized("Buffer data", "Данные буфера");
        case DeviceColumn: return Localized("Device data", "Данные чипа");
        default: return QString();
        }
    }
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::ForegroundRole: return QBrush(kNavy);
    default: return {};
    }
}
