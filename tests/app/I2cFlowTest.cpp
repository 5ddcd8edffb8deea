// 24xx chips from the Read, Write and Compare buttons to the log, the buffer and the dump file.
#include "FlowFixture.h"
#include "i2c/SlaveAddress.h"

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
class NackOnAddressByte : public Ch341Library {
public:
    NackOnAddressByte(std::shared_ptr<Ch341Library> library, uint8_t refused) : inner(std::move(library)), byte(refused)
    {
    }
    intptr_t CH341OpenDevice(uint32_t i) override { return inner->CH341OpenDevice(i); }
    void CH341CloseDevice(uint32_t i) override { inner->CH341CloseDevice(i); }
    bool CH341ResetDevice(uint32_t i) override { return inner->CH341ResetDevice(i); }
    bool CH341SetDeviceNotify(uint32_t i, const char* id, DeviceNotify n) override
    {
        return inner->CH341SetDeviceNotify(i, id, std::move(n));
    }
    bool CH341SetStream(uint32_t i, uint8_t mode) override { return inner->CH341SetStream(i, mode); }
    bool CH341WriteData(uint32_t i, std::span<const uint8_t> b) override { return inner->CH341WriteData(i, b); }
    bool CH341WriteRead(uint32_t i, std::span<const uint8_t> write, uint32_t step, uint32_t count, uint32_t& length,
                        std::span<uint8_t> reply) override
    {
        const bool refused = write.size() >= 3 && write[0] == 0xAA && write[1] == 0x80 && write[2] == byte;
        const bool ok = inner->CH341WriteRead(i, write, step, count, length, reply);
        if (ok && refused && length > 0) reply[length - 1] |= 0x80;
        return ok;
    }
    bool CH341StreamSPI4(uint32_t i, uint32_t cs, std::span<uint8_t> b) override
    {
        return inner->CH341StreamSPI4(i, cs, b);
    }
    bool CH341SetDelaymS(uint32_t i, uint32_t ms) override { return inner->CH341SetDelaymS(i, ms); }
    bool CH341ReadEEPROM(uint32_t i, uint8_t t, uint32_t a, std::span<uint8_t> b) override
    {
        return inner->CH341ReadEEPROM(i, t, a, b);
    }
    bool CH341WriteEEPROM(uint32_t i, uint8_t t, uint32_t a, std::span<const uint8_t> b) override
    {
        return inner->CH341WriteEEPROM(i, t, a, b);
    }
    UsbStatus lastStatus() const override { return inner->lastStatus(); }

private:
    std::shared_ptr<Ch341Library> inner;
    uint8_t byte;
};
} // namespace

TEST_F(Flow, ReadOf256ByteChipFillsBufferLogsAndDumps)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    const std::vector<uint8_t> chip = Pattern(256);
    std::copy(chip.begin(), chip.end(), emulator->memory().begin());

    controller.MmReadClick();
    EXPECT_EQ(view.progressMax, 8);
    ASSERT_TRUE(finish());
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
               [](std::shared_ptr<Ch341Library> inner) { return std::make_shared<NackOnAddressByte>(inner, 96); });
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.lastLog(), "Error in block 96 (0x000060)");
    EXPECT_EQ(view.log.back().second, LogColour::Red);
    EXPECT_EQ(view.progress, 3); // the bar stays where the fault left it
}

TEST_F(Flow, WriteThenCompareFindsNoDifferenceUntilTheChipChanges)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    SetEditorBytes(controller, Pattern(256));
    controller.MmWriteClick();
    EXPECT_EQ(view.progressMax, 32);
    ASSERT_TRUE(finish());
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
    EXPECT_FALSE(controller.busy()); // the fast path ends before the command returns
    EXPECT_EQ(logTexts().first(), "\nFast writing...");
    EXPECT_TRUE(view.lastLog().startsWith("Fast writing completed,\nwriting time "));
    EXPECT_TRUE(chipHoldsTheEditor());

    emulator->memory()[10] = 0x55;
    view.log.clear();
    controller.MmReadClick();
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
    EXPECT_EQ(SlaveAddress.load(), 0xA0);
}
