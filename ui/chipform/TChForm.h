#pragma once
// The device selection dialog: the chip list with search and ordering, the choose button, and a
// hidden editor (Ctrl+Alt+E) that adds, changes and deletes rows and rewrites ChipList.dat, and
// moves the table in and out of spreadsheets and Chip.txt.
// Each opening creates a new dialog.

#include <QDialog>

#include <array>

#include "ui/chipform/ChipFormPorts.h"

namespace chipdb {
class ChipListSaver;
}

class QAbstractButton;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QToolButton;
class QWidget;
class ChipTableModel;

class TChForm : public QDialog {
    Q_OBJECT
public:
    // The design's widths of the list alone and with the editor; the list grows with its columns.
    static constexpr int kListWidth = 380;
    static constexpr int kEditorWidth = 683;
    int listWidth() const { return listWidth_; }
    int editorWidth() const { return listWidth_ + kEditorWidth - kListWidth; }

    explicit TChForm(ChipFormContext context, QWidget* parent = nullptr);
    ~TChForm() override;

    enum class EditorMode { None, New, Change, Delete };
    EditorMode editorMode() const;

protected:
    void showEvent(QShowEvent* e) override; // FormShow
    void done(int result) override;         // FormCloseQuery: every way of closing passes here
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildList();
    void buildEditor();
    void fitColumns();
    void FormShow();
    void placeWindow();
    void Edit1Change(const QString& text);
    void Edit1Enter();
    void DBGridTitleClick(int column);
    void SBChooseClick();
    void SpeedButton2Click(bool down);
    void SpButtonNewClick(QAbstractButton* clicked);
    void SpButtonOkClick();
    void Button1Click(); // Load XLS
    void Button2Click(); // Save XLS
    void Button3Click(); // Save TXT
    QString inProgramFolder(const char* name) const;
    void saveDatabase(chipdb::ChipListSaver& saver);
    void ClientDataSetAfterScroll();
    void showCurrentRowInGrid();
    void showPlaceholderInGrid();
    void selectGridRow(int row);
    void fillEditsFromCurrentRow();
    void setEditsWritable(bool writable);

    ChipFormContext ctx_;
    bool shown_ = false;
    bool syncing_ = false; // the grid and the table move each other; stop the echo
    ChipTableModel* model_ = nullptr;
    int listWidth_ = kListWidth;

    QWidget* Panel1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QTableView* DBGrid = nullptr;
    QLabel* LbSupply = nullptr; // the current chip's supply voltage range
    QPushButton* SBChoose = nullptr;
    QWidget* Panel2 = nullptr;
    QToolButton* SpButtonNew = nullptr;
    QToolButton* SpButtonEdit = nullptr;
    QToolButton* SpButtonDelete = nullptr;
    std::array<QLineEdit*, chipdb::kChipFieldCount> edits_{}; // by ChipField
    QLabel* LbCurDate = nullptr;
    QLabel* LbCurVer = nullptr;
    QDateEdit* DateTimePicker = nullptr;
    QSpinBox* CSpinEdit = nullptr;
    QPushButton* SpButtonOk = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
};
