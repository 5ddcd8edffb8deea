// Builds ChipList.dat from the readable chip source.
// Usage: vespera_make_chiplist <chips.csv> <ChipList.dat> <YYYY-MM-DD> <version>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "chipdb/ChipCsv.h"
#include "chipdb/ChipListDate.h"
#include "chipdb/ChipListFile.h"

namespace {

bool parseDate(const std::string& text, std::chrono::year_month_day& out)
{
    int y = 0;
    unsigned m = 0, d = 0;
    if (std::sscanf(text.c_str(), "%4d-%2u-%2u", &y, &m, &d) != 3) return false;
    out = std::chrono::year{y} / std::chrono::month{m} / std::chrono::day{d};
    return out.ok();
}

} // namespace

int main(int argc, char** argv)
{
    std::chrono::year_month_day date;
    int version = 0;
    if (argc != 5 || !parseDate(argv[3], date) || std::sscanf(argv[4], "%d", &version) != 1) {
        std::cerr << "usage: vespera_make_chiplist <chips.csv> <ChipList.dat> <YYYY-MM-DD> <version>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot read\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    const chipdb::ChipCsv csv = chipdb::parseChipCsv(text.str());
    for (const auto& e : csv.errors) std::cerr << argv[1] << ":" << e.line << ": " << e.message << "\n";
    if (!csv.errors.empty()) return 1;

    std::vector<chipdb::ChipRecord> rows;
    rows.reserve(csv.rows.size());
    for (const auto& r : csv.rows) rows.push_back(r.record);
    chipdb::ChipTable table;
    table.assign(std::move(rows));

    chipdb::ChipListSaver saver(argv[2]);
    if (!saver.open()) {
        std::cerr << argv[2] << ": cannot create\n";
        return 1;
    }
    if (const int rc = saver.write(chipdb::chipListDateFromYmd(date), version, table); rc != 0) {
        std::cerr << argv[2] << ": write failed (" << rc << ")\n";
        return 1;
    }
    return 0;
}
