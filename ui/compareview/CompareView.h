#pragma once

#include <cstdint>

#include <QWidget>

#include "ui/compareview/CompareModel.h"

class DiffList;
class QTableView;
class QToolButton;

// ComparePanel: the grid of differences (CompareGrid) and its close button (BitBtn). The main
// window places it below the hex view in its splitter and owns the DiffList it shows.
class CompareView : public QWidget {
    Q_OBJECT
public:
    explicit CompareView(QWidget* parent = nullptr);

    // Where the Buffer data and Device data columns read their bytes (the EditBuffer and the
    // TransferBuffer), at the moment a cell is drawn.
    void setByteReaders(CompareModel::ByteReader buffer, CompareModel::ByteReader device);
    // The interface language changed: redraw the header texts.
    void languageChanged();

    // Step 1 of a compare: let go of the list before it is rebuilt.
    void HideCompareGrid();
    // Shows the panel with one row per difference of `list`, which must stay unchanged until
    // HideCompareGrid() or BitBtnClick().
    void UpdateCompareGrid(const DiffList* list);
    // The close button: hides the panel, lets go of the list, emits closed().
    void BitBtnClick();
    // Redraws the Buffer data column after the EditBuffer changed.
    void refreshBufferColumn();

    QTableView* CompareGrid() const { return grid_; }
    QToolButton* BitBtn() const { return closeButton_; }
    CompareModel* model() const { return model_; }

signals:
    // A row was clicked: put the hex view's cursor on this address.
    void addressSelected(std::uint32_t address);
    // The panel closed itself: hide the splitter, give the hex panel its height back and empty
    // the DiffList.
    void closed();

private:
    CompareModel* model_;
    QTableView* grid_;
    QToolButton* closeButton_;
};
