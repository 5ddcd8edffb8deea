// 24xx chips from the Read, Write and Compare buttons to the log, the buffer and the dump file.
#include "FlowFixture.h"
#include "tests/support/WrappedAdapter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <numeric>

namespace {
std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + 3);
    return bytes;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers NACK to one address byte, as a chip that stops answering at that block would.
class NackOnAddressByte : public bus::I2cMaster {
public:
    NackOnAddressByte(bus::I2cMaster& inner, uint8_t refused) : inner_(inner), byte_(refused) {}
    bool run(const bus::I2cTransaction& transaction, std::span<bool> acknowledged) override
    {
        if (!inner_.run(transaction, acknowledged)) return false;
        std::size_t ack = 0;
        for (const auto& step : transaction.steps())
            if (step.kind == bus::I2cTransaction::Kind::Write)
                for (const uint8_t sent : step.out) {
                    if (sent == byte_) acknowledged[ack] = false;
                    ++ack;
                }
        return true;
    }
    std::vector<uint32_t> speeds() const override { return inner_.speeds(); }
    int speed() const override { return inner_.speed(); }
    bool setSpeed(int index) override { return inner_.setSpeed(index); }
    std::chrono::nanoseconds now() const override { return inner_.now(); }
    UsbStatus lastStatus() const override { return inner_.lastStatus(); }

private:
    bus::I2cMaster& inner_;
    uint8_t byte_;
};

class NackingAdapter : public WrappedAdapter {
public:
    NackingAdapter(std::shared_ptr<bus::Adapter> inner, uint8_t refused)
        : WrappedAdapter(std::move(inner)), nack_(*this->inner().i2c(), refused)
    {
        replace(&nack_);
    }

private:
    NackOnAddressByte nack_;
};
} // namespace

TEST_F(Flow, ReadOf256ByteChipFillsBufferLogsAndDumps)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    const std::vector<uint8_t> chip = Pattern(256);
    std::copy(chip.begin(), chip.end(), emulator->memory().begin());

    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(view.progressMaxima.contains(8));
    const QStringList log = logTexts();
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log[0], "\nReading...\n(Press Esc to cancel operation)");
    EXPECT_TRUE(
        QRegularExpression("^Reading completed,\nreading time [0-9.]+(E-?[0-9]+)? sec\\.$").match(log[1]).hasMatch())
        << log[1].toStdString();
    EXPECT_TRUE(log[2].startsWith("Check Sum: CRC16 = 0x"));
    EXPECT_EQ(EditorBytes(controller), chip);
    EXPECT_EQ(view.progress, 0);
    EXPECT_EQ(controller.statusBar().checkSumText, log[2]);

    const QString dumps = controller.settings().dumpDir;
    EXPECT_EQ(ReadFile(dumps + "/24C02.BIN"), QByteArray(reinterpret_cast<const char*>(chip.data()), 256));
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(QFile::exists(dumps + "/24C02 (1).BIN"));
    EXPECT_TRUE(QFile::exists(dumps + "/24C02 (2).BIN"));
}

TEST_F(Flow, EscapeStopsAReadBetweenBlocks)
{
    insertChip(Chip("24C256", "ID_24C256", 32768, 64), [](AdapterOptions& options) {
        options.roundTripLatency = std::chrono::microseconds(100); // slow enough to be caught mid-read
    });
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    SetEditorBytes(controller, std::vector<uint8_t>(32768, 0xFF));
    controller.MmReadClick();
    ASSERT_TRUE(RunUntil([this] { return view.progress >= 5; }));
    controller.FormKeyUp(27);
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.lastLog(), "Reading terminated by user");
    EXPECT_EQ(view.log.back().second, LogColour::Navy);
    EXPECT_EQ(view.progress, 0);
    EXPECT_EQ(EditorBytes(controller), std::vector<uint8_t>(32768, 0xFF));
}

TEST_F(Flow, NackOnBlockThreeNamesItsAddress)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8), {},
               [](std::shared_ptr<bus::Adapter> inner) { return std::make_shared<NackingAdapter>(inner, 96); });
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.lastLog(), "Error in block 96 (0x000060): the chip did not acknowledge byte 1");
    EXPECT_EQ(view.log.back().second, LogColour::Red);
    EXPECT_EQ(view.progress, 3); // the bar stays where the fault left it
}

TEST_F(Flow, WriteThenCompareFindsNoDifferenceUntilTheChipChanges)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    SetEditorBytes(controller, Pattern(256));
    controller.MmWriteClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(view.progressMaxima.contains(32));
    EXPECT_TRUE(view.lastLog().startsWith("Writing completed,\nWriting time "));
    EXPECT_TRUE(chipHoldsTheEditor());

    controller.MmCompareClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logTexts().contains("Differences 0"));
    EXPECT_EQ(view.shownDifferences, 0u);

    for (std::size_t address : {3u, 100u, 255u}) emulator->memory()[address] ^= 0xFF;
    view.log.clear();
    controller.MmCompareClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logTexts().contains("Differences 3"));
    EXPECT_EQ(view.shownDifferences, 3u);
    EXPECT_EQ(controller.differences().address(1), 100u);
    EXPECT_EQ(EditorBytes(controller), Pattern(256)); // a compare leaves the buffer alone
    EXPECT_TRUE(controller.statusBar().checkSumText.isEmpty());
}

TEST_F(Flow, FastPathsWithoutAckCheck)
{
    insertChip(Chip("24C64", "ID_24C64", 8192, 32));
    view.checked["MmAck"] = false;
    controller.MmAckClick();
    EXPECT_EQ(view.lastLog(), "\nSelected mode \"No test ACK\"");

    SetEditorBytes(controller, Pattern(8192));
    view.log.clear();
    controller.MmWriteClick();
    ASSERT_TRUE(finish()); // the fast path runs on the worker too: the window never freezes
    EXPECT_EQ(logTexts().first(), "\nFast writing...");
    EXPECT_TRUE(view.lastLog().startsWith("Fast writing completed,\nwriting time "));
    EXPECT_TRUE(chipHoldsTheEditor());

    emulator->memory()[10] = 0x55;
    view.log.clear();
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(logTexts().first(), "\nFast reading...");
    EXPECT_TRUE(logTexts().at(1).startsWith("Fast reading complet,\nreading time "));
    EXPECT_EQ(EditorBytes(controller)[10], 0x55);
    EXPECT_TRUE(QDir(controller.settings().dumpDir).entryList(QDir::Files).isEmpty()); // no automatic dump
}

TEST_F(Flow, Pca24s08AnswersAtItsOwnAddressAndTheMenuAddressStays)
{
    insertChip(Chip("PCA24S08", "ID_24C08", 1024, 16),
               [](AdapterOptions& options) { options.chip.i2cDeviceAddress = 0xA8; });
    const std::vector<uint8_t> chip = Pattern(1024);
    std::copy(chip.begin(), chip.end(), emulator->memory().begin());
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(EditorBytes(controller), chip);
    EXPECT_EQ(controller.slaveAddress(), 0xA0);
}
