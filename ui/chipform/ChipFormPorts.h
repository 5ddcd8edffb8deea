#pragma once
// What the device selection dialog needs from the program, so it depends on nothing above it.

#include <QPoint>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>

#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"

// Settings keys the dialog reads and writes; each write is saved at once.
class ChipFormSettings {
public:
    virtual ~ChipFormSettings() = default;
    virtual QPoint readPosition() = 0;               // [Window] ChBaseLeft, ChBaseTop; default 0, 0
    virtual void writePosition(QPoint topLeft) = 0;  // the same keys, on closing
    virtual QString readChipName() = 0;              // [Chip] Type; default "24C01"
};

// The editor's message boxes; tests answer them.
class ChipFormPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~ChipFormPrompts() = default;
    // Warning icon, buttons Yes, No and Cancel.
    virtual Answer ask(const QString& text, const QString& caption) = 0;
    // Plain box with OK; an empty caption means the system's default.
    virtual void tell(const QString& text, const QString& caption) = 0;
};

struct ChipFormContext {
    chipdb::ChipTable& table;        // the program's one chip table
    chipdb::ChipListFilter& filter;  // installed by the program as the table's filter test
    int languageId = -1;             // 0 Russian, 1 English, -1 not chosen
    ChipFormSettings& settings;
    ChipFormPrompts& prompts;
    std::filesystem::path chipListFile;  // ChipList.dat, rewritten by the editor
    double chipListDate = 0;             // ChipListDate, shown in LbCurDate
    std::int32_t chipListVersion = 0;    // ChipListVersion, shown in LbCurVer and the version field
    // SBChoose: the program runs ChooseChip (SetParams on the current row, then saves Type).
    std::function<void()> chipChosen;
    // The editor wrote ChipList.dat with this header; the program keeps it as its ChipListDate/Version.
    std::function<void(double date, std::int32_t version)> databaseSaved;
};
