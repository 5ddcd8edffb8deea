#include "I2cFixture.h"

#include "i2c/IICCommands.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"
#include "worker/StartWorker.h"

#include <condition_variable>
#include <mutex>

namespace {

chipdb::SelectedChip Chip(std::string name, std::string kind, uint32_t size, int pageSize)
{
    chipdb::SelectedChip chip;
    chip.ChipName = std::move(name);
    chip.ChipKind = std::move(kind);
    chip.ChipSize = size;
    chip.PageSize = pageSize;
    return chip;
}

TEST(IICCommands, ParamsCarryTheSelectedChip)
{
    std::vector<uint8_t> buffer(4096);
    const auto read = MakeIICReadParams(Chip("24C16", "ID_24C16", 2048, 16), buffer);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size, 2048u);
    EXPECT_EQ(read->chipText, "24C16");
    EXPECT_EQ(read->type, 4);
    EXPECT_EQ(read->pageSize, 0); // the read moves 32-byte blocks whatever the page size
    EXPECT_EQ(read->buffer, buffer.data());

    const auto write = MakeIICWriteParams(Chip("PCA24S08", "ID_24C08", 1024, 16), buffer);
    ASSERT_TRUE(write);
    EXPECT_EQ(write->pageSize, 16);
    EXPECT_EQ(write->chipText, "PCA24S08");

    // Case and trailing blanks matter: no 24xx type, the worker will refuse at address 0.
    EXPECT_EQ(MakeIICReadParams(Chip("x", "ID_24C02 ", 256, 8), buffer)->type, 13);
    EXPECT_EQ(MakeIICReadParams(Chip("x", "id_24c02", 256, 8), buffer)->type, 13);
}

TEST(IICCommands, UnusableChipsAreRefusedBeforeAnyWorker)
{
    std::vector<uint8_t> buffer(4096);
    EXPECT_FALSE(MakeIICReadParams(Chip("big", "ID_24C02", 4097, 8), buffer));
    for (const int pageSize : {0, -8, 65536}) {
        EXPECT_FALSE(IICPageSizeUsable(pageSize)) << pageSize;
        EXPECT_FALSE(MakeIICWriteParams(Chip("x", "ID_24C02", 256, pageSize), buffer)) << pageSize;
        EXPECT_EQ(IICWriteSteps(256, pageSize), 0u) << pageSize;
    }
}

TEST(IICCommands, StepsMatchWhatTheWorkersPost)
{
    EXPECT_EQ(IICReadSteps(256), 8u);
    EXPECT_EQ(IICReadSteps(100), 3u);
    EXPECT_EQ(IICReadSteps(31), 0u);
    EXPECT_EQ(IICWriteSteps(256, 8), 32u);
    EXPECT_EQ(IICWriteSteps(100, 16), 7u);
}

// Waits for a worker on its own thread to post its final message.
class WaitingSink final : public MessageSink {
public:
    void post(const OpMessage& message) override
    {
        std::lock_guard lock(mutex);
        messages.push_back(message);
        arrived.notify_all();
    }
    void send(const OpMessage& message) override { post(message); }
    std::vector<OpMessage> waitForFinal()
    {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, std::chrono::seconds(10), [&] {
            return !messages.empty() && (messages.back().lParam < 0 || messages.back().message == WM_OP_FAULT);
        });
        return messages;
    }

private:
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<OpMessage> messages;
};

TEST_F(I2cTest, StartedWorkersWriteAndReadOnTheirOwnThread)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    std::vector<uint8_t> buffer(256);
    for (uint32_t i = 0; i < 256; ++i) buffer[i] = static_cast<uint8_t>(255 - i);

    auto writeSink = std::make_shared<WaitingSink>();
    auto write = MakeIICWriteParams(Chip("24C02", "ID_24C02", 256, 8), buffer);
    Ch341Library& library = adapter.device;
    ASSERT_TRUE(StartWorker([&library](const WorkerParams& p, WorkerContext& c) { IICWriteThread(library, p, c); },
                            std::make_shared<WorkerParams>(*write), writeSink));
    auto messages = writeSink->waitForFinal();
    ASSERT_EQ(messages.size(), 33u);
    EXPECT_EQ(messages.back().lParam, WriteFinished);

    std::fill(buffer.begin(), buffer.end(), 0);
    auto readSink = std::make_shared<WaitingSink>();
    auto read = MakeIICReadParams(Chip("24C02", "ID_24C02", 256, 8), buffer);
    ASSERT_TRUE(StartWorker([&library](const WorkerParams& p, WorkerContext& c) { IICReadThread(library, p, c); },
                            std::make_shared<WorkerParams>(*read), readSink));
    messages = readSink->waitForFinal();
    ASSERT_EQ(messages.size(), 9u);
    EXPECT_EQ(messages.back().lParam, ReadFinished);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(buffer[i], 255 - i);
}

} // namespace
