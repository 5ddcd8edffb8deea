#pragma once
// What the device selection dialog needs from the program, so it depends on nothing above it.

#include <QPoint>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"

// Settings keys the dialog reads and writes; each write is saved at once.
class ChipFormSettings {
public:
    virtual ~ChipFormSettings() = default;
    virtual std::optional<QPoint> readPosition() = 0; // [Window] ChBaseLeft, ChBaseTop; none when missing
    virtual void writePosition(QPoint topLeft) = 0;   // the same keys, on closing
    virtual QString readChipName() = 0;               // [Chip] Type; default "24C01"
};

// A file dialog of the editor's spreadsheet buttons.
struct FileQuestion {
    bool save = false;
    QString title;
    QString filter;        // "Spreadsheets (*.xlsx *.xls *.csv)"
    QString proposal;      // the folder, or a file name in it, the dialog starts with
    QString defaultSuffix; // added to a name typed without one when saving
};

// The editor's message boxes and file dialogs; tests answer them.
class ChipFormPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~ChipFormPrompts() = default;
    // Warning icon, buttons Yes, No and Cancel.
    virtual Answer ask(const QString& text, const QString& caption) = 0;
    // Plain box with OK; an empty caption means the system's default.
    virtual void tell(const QString& text, const QString& caption) = 0;
    // The file chosen, or an empty text when the dialog was cancelled.
    virtual QString askFile(const FileQuestion& question) = 0;
};

struct ChipFormContext {
    chipdb::ChipTable& table;       // the program's one chip table
    chipdb::ChipListFilter& filter; // installed by the program as the table's filter test
    ChipFormSettings& settings;
    ChipFormPrompts& prompts;
    std::filesystem::path chipListFile; // ChipList.dat, rewritten by the editor
    double chipListDate = 0;            // ChipListDate, shown in LbCurDate
    std::int32_t chipListVersion = 0;   // ChipListVersion, shown in LbCurVer and the version field
    // SBChoose: the program runs ChooseChip (SetParams on the current row, then saves Type).
    std::function<void()> chipChosen;
    // The editor wrote ChipList.dat with this header; the program keeps it as its ChipListDate/Version.
    std::function<void(double date, std::int32_t version)> databaseSaved;
    std::filesystem::path programFolder; // where the spreadsheet buttons' dialogs start
};
