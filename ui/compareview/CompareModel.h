#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QAbstractTableModel>

class DiffList;

// Rows of the compare grid, read straight from a DiffList: ordinal, address, the EditBuffer's
// byte and the chip's byte. The bytes are fetched when a cell is drawn, so later edits show.
class CompareModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Returns the byte at an address, or nothing when the address is past the data.
    using ByteReader = std::function<std::optional<std::uint8_t>(std::uint32_t address)>;

    enum Column { OrdinalColumn, AddressColumn, BufferColumn, DeviceColumn, ColumnCount };
    // Empty rows the grid shows before the first compare has given it a list.
    static constexpr int kRowsBeforeFirstCompare = 30;

    explicit CompareModel(QObject* parent = nullptr);

    void setByteReaders(ByteReader buffer, ByteReader device);
    // The interface language changed: redraw the header texts.
    void languageChanged();

    // Shows the list's differences (nullptr: none). The list must not change while shown.
    // Until the first list arrives the grid holds kRowsBeforeFirstCompare empty rows.
    void setDiffList(const DiffList* list);
    const DiffList* diffList() const { return list_; }
    // Address of the difference shown in a row.
    std::uint32_t address(int row) const;
    // The buffer's bytes changed: redraw their column.
    void refreshBufferColumn();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString cellText(int row, int column) const;

    const DiffList* list_ = nullptr;
    bool compared_ = false;
    ByteReader bufferByte_;
    ByteReader deviceByte_;
};
