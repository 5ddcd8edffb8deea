// Every fault the emulated adapter can play ends in a red line and an outcome that says so, never
// in a hang or a false success, and leaves the editor as it was.
#include "SessionFixture.h"

TEST_F(SessionTest, EveryFaultEndsInARedLine)
{
    enum class Op { Read, Write, Compare };
    const struct {
        const char* chip;
        EmulatedFault fault;
        uint64_t afterPackets;
        Op op;
        Outcome outcome;
        const char* line;
    } cases[] = {
        {"W25X20", EmulatedFault::UsbError, 40, Op::Write, Outcome::IoFailure, "Error writing at address"},
        {"W25X20", EmulatedFault::Pulled, 40, Op::Read, Outcome::IoFailure, "Error reading at address"},
        {"W25X20", EmulatedFault::ChipStaysBusy, 40, Op::Write, Outcome::IoFailure, "Error writing at address"},
        {"W25X20", EmulatedFault::CorruptReply, 40, Op::Compare, Outcome::Mismatch, "Differences 1"},
        {"24C02", EmulatedFault::I2cNak, 20, Op::Write, Outcome::IoFailure, "Error in block"},
        {"24C02", EmulatedFault::ChipStaysBusy, 12, Op::Read, Outcome::IoFailure, "Error in block"},
        {"24C02", EmulatedFault::UsbError, 12, Op::Read, Outcome::IoFailure, "Error in block"},
        {"24C02", EmulatedFault::UsbError, 2, Op::Read, Outcome::IoFailure, "Error in block 0"}, // in the size check
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chip << " fault " << int(c.fault));
        insert(c.chip);
        const std::vector<uint8_t> image = Pattern(emulator->memory().size());
        std::copy(image.begin(), image.end(), emulator->memory().begin());
        if (c.op == Op::Write) {
            std::fill(emulator->memory().begin(), emulator->memory().end(), 0xFF);
            // Read first: the write then knows the flash is erased and the fault strikes its pages.
            if (std::string_view(c.chip) == "W25X20") run([&] { session.read(); });
        }
        setEditor(image);
        emulator->armFault(c.fault, c.afterPackets);
        const Outcome outcome = run([&] {
            if (c.op == Op::Write)
                session.write();
            else if (c.op == Op::Read)
                session.read();
            else
                session.compare();
        });
        EXPECT_EQ(outcome, c.outcome) << reds().join('|').toStdString();
        const QStringList red = reds();
        EXPECT_TRUE(std::any_of(red.begin(), red.end(), [&](const QString& r) { return r.startsWith(c.line); }))
            << red.join('|').toStdString();
        EXPECT_FALSE(logHas("Reading completed") || logHas("Writing completed"));
        EXPECT_EQ(std::vector<uint8_t>(session.document().bytes().begin(), session.document().bytes().end()), image);
        emulator->clearFault();
    }
}

// The adapter pulled out in the middle of a read: the removal is said at once, but the session
// stays busy until the worker has ended (it still holds the device it started with), and only then
// is the adapter closed. Plugged back in before the end, it is opened once the operation is over.
TEST_F(SessionTest, HotPlugDuringAnOperationWaitsForItsEnd)
{
    insert("W25X20");
    emulator->armFault(EmulatedFault::Pulled, 40);
    const Outcome outcome = run([&] { session.read(); });
    EXPECT_EQ(outcome, Outcome::IoFailure);
    EXPECT_FALSE(session.runner().running());
    EXPECT_TRUE(logHas("CH341 programmer removed"));
    EXPECT_EQ(session.state(), NoAdapter);
    EXPECT_FALSE(emulator->isOpen());

    for (const bool plugBackIn : {false, true}) {
        SCOPED_TRACE(plugBackIn);
        insert("W25X20");
        session.ActivateControls(Busy);
        session.adapter().AdapterNotify(0);
        if (plugBackIn) session.adapter().AdapterNotify(3);
        EXPECT_TRUE(session.busy());
        EXPECT_TRUE(emulator->isOpen()); // the operation's device is left to it
        EXPECT_TRUE(logHas("CH341 programmer removed"));
        session.ActivateControls(Ready);
        EXPECT_EQ(session.state(), plugBackIn ? Ready : NoAdapter);
        EXPECT_EQ(emulator->isOpen(), plugBackIn);
        EXPECT_EQ(logHas("CH341 programmer detected"), plugBackIn);
    }
}
