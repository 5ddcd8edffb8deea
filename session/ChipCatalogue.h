#pragma once
// The chip database of a session: the table loaded from ChipList.dat, its row filter (search box,
// auto-select), the list's date and version, and the chip selected from it, which every operation
// works on.
#include "chipdb/Chip.h"
#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"
#include "chipdb/SelectedChip.h"

#include <QString>
#include <cstdint>

class Session;

class ChipCatalogue {
public:
    explicit ChipCatalogue(Session& session);

    chipdb::ChipTable ClientDataSet;   // the chip database
    chipdb::ChipListFilter ChipFilter; // its per-row test (search box, auto-select)
    double ChipListDate = 0;
    int32_t ChipListVersion = 0;
    // The chip applied last; before the first selection the saved name with no row behind it.
    chipdb::Chip chip = InitialChip();

    enum class DatabaseLoad { Missing, Damaged, Loaded };
    // Reads ChipList.dat and moves to the row of the selected chip's name (else the first row).
    // Failures are told through message boxes; the version line is logged.
    DatabaseLoad LoadChipDatabase(const QString& path);

    // The row named `chipName` (exact CHIPTEXT), or null.
    const chipdb::ChipRecord* find(const std::string& chipName) const;
    // Makes the row named `chipName` current; false when there is none.
    bool locate(const std::string& chipName);

    // Applies the current row as the selected chip (fromDialog: chosen in the device dialog, where
    // the low-voltage warning applies).
    void SetParams(bool fromDialog = false);
    // The user chose the current row: the signature filter ends, the chip is applied and remembered.
    void ChooseChip(bool fromDialog = true);

    // Selects the database row whose identification the chip in the socket answers with (the
    // first such row when several do); false when no row has it.
    bool chooseBySignature(const std::string& signature);

    // The chip dialog wrote ChipList.dat with this header.
    void databaseSaved(double date, int32_t version);

    static chipdb::Chip InitialChip();

private:
    Session& session_;
};
