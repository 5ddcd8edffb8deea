#pragma once
// The core on its own: a Session with an emulated adapter, a chip of the starter database
// selected, and a front end that records what the core reports and answers its questions.
#include "adapter/FaultyTransport.h"
#include "adapter/ch341a/Ch341Adapter.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "session/Session.h"
#include "tests/support/LogOnlySessionEvents.h"
#include "tests/support/RunUntil.h"
#include "tests/support/StarterRows.h"

#include <gtest/gtest.h>

class SessionTest : public ::testing::Test, public LogOnlySessionEvents {
protected:
    Session session{*this};
    std::shared_ptr<EmulatedCh341> emulator;
    std::vector<std::pair<QString, LogColour>> log;
    QStringList questions;
    // The answer to each question, by its text; yes unless it says otherwise.
    std::function<bool(const QString&)> answer = [](const QString&) { return true; };

    static chipdb::ChipRecord Row(const char* name)
    {
        const auto rows = StarterRows([name](const chipdb::ChipRecord& r) { return r.CHIPTEXT == name; });
        EXPECT_EQ(rows.size(), 1u) << name;
        return rows.at(0);
    }

    // Selects the database row `selected` and puts the chip `inSocket` into the emulated adapter
    // (the same chip unless the test puts another one there); `fault` makes its USB link fail.
    void insert(const char* selected, const char* inSocket = nullptr,
                std::optional<std::pair<TransportFault, uint64_t>> fault = std::nullopt)
    {
        insertRecord(Row(selected), Row(inSocket ? inSocket : selected), fault);
    }

    void insertRecord(const chipdb::ChipRecord& selected, const chipdb::ChipRecord& inSocket,
                      std::optional<std::pair<TransportFault, uint64_t>> fault = std::nullopt)
    {
        session.automaticDumps = false;
        ChipCatalogue& catalogue = session.catalogue();
        catalogue.ClientDataSet.assign({selected});
        catalogue.ClientDataSet.moveTo(0);
        catalogue.SetParams();
        emulator = std::make_shared<EmulatedCh341>(*EmulatedRow(inSocket), 1000.0);
        std::shared_ptr<UsbTransport> link = emulator;
        if (fault) link = std::make_shared<FaultyTransport>(emulator, fault->first, fault->second);
        session.adapter().useAdapter(std::make_shared<Ch341Adapter>(link), emulator);
        session.adapter().bus()->open();
        session.adapterHandle = 1;
        session.ActivateControls(Ready);
        log.clear();
    }

    // Runs a command of the core to its end, as a front end does.
    Outcome run(const std::function<void()>& command, int milliseconds = 10000)
    {
        log.clear();
        session.resetOutcome();
        command();
        EXPECT_TRUE(RunUntil([this] { return !session.busy(); }, milliseconds));
        return session.outcome();
    }

    void setEditor(const std::vector<uint8_t>& bytes) { session.document().editor().load(bytes); }
    std::vector<uint8_t> chip() { return {emulator->memory().begin(), emulator->memory().end()}; }

    bool logHas(const QString& start, LogColour colour = LogColour::Navy) const
    {
        return std::any_of(log.begin(), log.end(),
                           [&](const auto& entry) { return entry.first.startsWith(start) && entry.second == colour; });
    }
    QStringList reds() const
    {
        QStringList lines;
        for (const auto& [text, colour] : log)
            if (colour == LogColour::Red) lines << text;
        return lines;
    }

    static std::vector<uint8_t> Pattern(std::size_t size)
    {
        std::vector<uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + (i >> 8) + 1);
        return bytes;
    }

    // SessionEvents: the log and the questions are recorded, notices go to the log in red.
    void logAppended(const QString& text, LogColour colour) override { log.emplace_back(text, colour); }
    bool confirm(const QString& text, const QString&) override
    {
        questions << text;
        return answer(text);
    }
};
