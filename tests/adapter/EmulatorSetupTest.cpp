// Configuring the emulated chip, its image file, hot-plug events and the start-up choice.
#include "tests/support/EmulatedAdapter.h"

#include "adapter/AdapterFactory.h"
#include "adapter/Uch_spi.h"
#include "spi25/SpiFrames.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(EmulatorSetup, ConfigFromChipListFields)
{
    const auto flash = MakeEmulatedChipConfig({"W25Q64FV", "ID_SPI1", 8388608, 256, "EF4017", 20, "WINBOND"});
    ASSERT_TRUE(flash);
    EXPECT_EQ(flash->jedecId, (std::vector<uint8_t>{0xEF, 0x40, 0x17}));
    EXPECT_EQ(flash->resId, (std::array<uint8_t, 2>{0x16, 0x16}));
    EXPECT_EQ(flash->remsId, (std::array<uint8_t, 2>{0xEF, 0x16}));
    EXPECT_EQ(flash->chipEraseTime, std::chrono::seconds(20));

    const auto sst = MakeEmulatedChipConfig({"SST25VF512A", "ID_SPI1", 65536, 1, "BF48", 1, ""});
    ASSERT_TRUE(sst);
    EXPECT_TRUE(sst->jedecId.empty());
    EXPECT_EQ(sst->resId, (std::array<uint8_t, 2>{0xBF, 0x48}));

    const auto pca = MakeEmulatedChipConfig({"PCA24S08", "ID_24C08", 1024, 16, "", 0, ""});
    ASSERT_TRUE(pca);
    EXPECT_EQ(pca->i2cDeviceAddress, 0xA8);
    EXPECT_EQ(MakeEmulatedChipConfig({"24C08", "ID_24C08", 1024, 16, "", 0, ""})->i2cDeviceAddress, 0xA0);

    EXPECT_FALSE(MakeEmulatedChipConfig({"X", "ID_24c02", 256, 8, "", 0, ""}));
    EXPECT_FALSE(MakeEmulatedChipConfig({"X", "ID_SPI9", 256, 8, "", 0, ""}));
    EXPECT_FALSE(MakeEmulatedChipConfig({"X", "ID_SPI1", 0, 256, "", 0, ""}));
    EXPECT_FALSE(MakeEmulatedChipConfig({"X", "ID_SPI1", 4096, 0, "", 0, ""}));
}

TEST(EmulatorSetup, ImageFileIsLoadedAndWrittenBackWhenChanged)
{
    const auto folder = std::filesystem::temp_directory_path() / ("vespera-emu-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto image = folder / "chip.bin";
    std::ofstream(image, std::ios::binary) << "ABCD";

    EmulatedChipConfig config = I2cChip("ID_24C02", 256, 8);
    config.imageFile = image;
    {
        EmulatedAdapter chip(config);
        EXPECT_EQ(chip.emulator->memory()[3], 'D');
        EXPECT_EQ(chip.emulator->memory()[4], 0xFF);
        const uint8_t data[] = {'x', 'y'};
        ASSERT_TRUE(chip.device.CH341WriteEEPROM(AdapterIndex, 1, 8, data));
        chip.device.CH341CloseDevice(AdapterIndex);
        EXPECT_EQ(std::filesystem::file_size(image), 256u);
        std::filesystem::remove(image);
        chip.device.CH341OpenDevice(AdapterIndex);
    } // unchanged since the last write-back: nothing is written again
    EXPECT_FALSE(std::filesystem::exists(image));

    std::ofstream(image, std::ios::binary) << std::string(256, 'z');
    {
        EmulatedAdapter chip(config);
        chip.emulator->memory()[0] = 'q';
    }
    std::ifstream in(image, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(contents.substr(0, 2), "qz");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary file left";
    std::filesystem::remove_all(folder);
}

std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

uint8_t Register(EmulatedAdapter& chip, uint8_t opcode)
{
    uint8_t value = 0xEE;
    SPIReadRegister(chip.device, opcode, value);
    return value;
}

// The status bits a chip keeps without power are saved beside the image and come back on the
// next run; a preset replaces them; a damaged state file is ignored; bits a part loses at
// power-off (a volatile write, SST25) are not kept.
TEST(EmulatorSetup, ChipStateSurvivesARestart)
{
    const auto folder = std::filesystem::temp_directory_path() / ("vespera-state-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto image = folder / "chip.bin";
    const auto state = folder / "chip.bin.state";
    EmulatedChipConfig config = *MakeEmulatedChipConfig({"W25Q64FV", "ID_SPI1", 1u << 20, 256, "EF4017", 1, "WINBOND"});
    config.imageFile = image;
    {
        EmulatedAdapter chip(config);
        ASSERT_TRUE(SPIWriteRegister(chip.device, 0x01, 0x1C));
        uint8_t enable[] = {0x50};
        chip.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, enable);
        uint8_t volatileWrite[] = {0x31, 0x40}; // CMP in the volatile copy only
        chip.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, volatileWrite);
        EXPECT_EQ(Register(chip, 0x35), 0x40);
    }
    EXPECT_EQ(ReadText(state), "# Vespera emulated chip: status registers kept without power\nstatus=1C 00 00\n");
    {
        EmulatedAdapter chip(config);
        EXPECT_EQ(Register(chip, 0x05), 0x1C);
        EXPECT_EQ(Register(chip, 0x35), 0x00);
    }
    config.statusPreset = std::array<uint8_t, 3>{0x04, 0, 0};
    {
        EmulatedAdapter chip(config);
        EXPECT_EQ(Register(chip, 0x05), 0x04);
    }
    config.statusPreset.reset();
    for (const char* damaged : {"status=1C", "status=XY 00 00\n", "", "status=1C 00 00 00\n"}) {
        std::ofstream(state, std::ios::binary) << damaged;
        EmulatedAdapter chip(config);
        EXPECT_EQ(Register(chip, 0x05), 0x00) << damaged;
    }
    EXPECT_EQ(ReadText(state), "status=1C 00 00 00\n") << "an unchanged chip writes nothing";

    std::filesystem::remove(state);
    EmulatedChipConfig sst = *MakeEmulatedChipConfig({"SST25VF040B", "ID_SPI3", 512u << 10, 256, "BF258D", 1, "SST"});
    sst.imageFile = image;
    {
        EmulatedAdapter chip(sst);
        ASSERT_TRUE(SPIWriteStatusEWSR(chip.device, 0x01, 0x00));
        EXPECT_EQ(Register(chip, 0x05), 0x00);
    }
    EXPECT_FALSE(std::filesystem::exists(state));
    EmulatedAdapter chip(sst);
    EXPECT_EQ(Register(chip, 0x05), 0x1C) << "SST25 powers up protected";
    std::filesystem::remove_all(folder);
}

TEST(EmulatorSetup, StatusPresetText)
{
    using Values = std::array<uint8_t, 3>;
    const struct {
        const char* text;
        std::optional<Values> values;
    } cases[] = {
        {"1C", Values{0x1C, 0, 0}},
        {"1c,02", Values{0x1C, 0x02, 0}},
        {"0x9C,0,60", Values{0x9C, 0, 0x60}},
        {"F", Values{0x0F, 0, 0}},
        {"", std::nullopt},
        {"1C,", std::nullopt},
        {"1C,2,3,4", std::nullopt},
        {"123", std::nullopt},
        {"G1", std::nullopt},
        {" 1C", std::nullopt},
        {"0x", std::nullopt},
        {",1C", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseStatusPreset(c.text), c.values) << c.text;
}

// The bus log file has a line per USB packet, per SPI frame or I2C event, and per adapter event.
TEST(EmulatorSetup, BusLogFileForABugReport)
{
    const auto file = std::filesystem::temp_directory_path() / ("vespera-bus-" + std::to_string(::getpid()) + ".log");
    EmulatedAdapter spi(*MakeEmulatedChipConfig({"W25Q64FV", "ID_SPI1", 1u << 20, 256, "EF4017", 1, "WINBOND"}));
    ASSERT_TRUE(spi.emulator->setLogFile(file));
    std::array<uint8_t, 3> id{};
    ASSERT_TRUE(SPIReadJedecId(spi.device, id));
    spi.emulator->unplug();
    ASSERT_TRUE(spi.emulator->setLogFile({}));
    const std::string text = ReadText(file);
    for (const char* line : {"USB> ", "USB< ", "SPI  9F 00 00 00 -> FF EF 40 17\n", "---  adapter unplugged\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

    EmulatedAdapter i2c(I2cChip("ID_24C02", 256, 8));
    ASSERT_TRUE(i2c.emulator->setLogFile(file));
    uint8_t byte = 0;
    ASSERT_TRUE(i2c.device.CH341ReadEEPROM(AdapterIndex, 1, 0x10, std::span<uint8_t>(&byte, 1)));
    i2c.emulator->setLogFile({});
    const std::string i2cText = ReadText(file);
    for (const char* line : {"I2C  start\n", "I2C  write A0 ack\n", "I2C  read FF nack\n", "I2C  stop\n"})
        EXPECT_NE(i2cText.find(line), std::string::npos) << line << "\n" << i2cText;
    EXPECT_FALSE(i2c.emulator->setLogFile("/nonexistent-folder/bus.log"));
    std::filesystem::remove(file);
}

TEST(EmulatorSetup, PlugEventsReachTheNotification)
{
    AdapterOptions options;
    options.emulate = true;
    Adapter adapter = CreateAdapter(options);
    ASSERT_TRUE(adapter.emulator);
    std::vector<int> events;
    adapter.device->setEventHandler([&](int event) { events.push_back(event); });
    EXPECT_EQ(adapter.device->open(), UsbStatus::Ok);
    adapter.emulator->announceRemoval();
    adapter.emulator->unplug();
    adapter.device->close();
    EXPECT_NE(adapter.device->open(), UsbStatus::Ok);
    adapter.emulator->plug();
    EXPECT_EQ(adapter.device->open(), UsbStatus::Ok);
    adapter.device->setEventHandler({});
    adapter.emulator->unplug();
    EXPECT_EQ(events, (std::vector<int>{1, 0, 3}));
}

TEST(EmulatorSetup, StatusPresetAndLogFileOptions)
{
    const auto file = std::filesystem::temp_directory_path() / ("vespera-opt-" + std::to_string(::getpid()) + ".log");
    AdapterOptions options;
    options.emulate = true;
    options.statusPreset = ParseStatusPreset("1C,40");
    options.logFile = file;
    Adapter adapter = CreateAdapter(options);
    EXPECT_FALSE(adapter.logFileFailed);
    adapter.device->open();
    uint8_t sr2 = 0;
    ASSERT_TRUE(spi25::ReadRegister(*adapter.device->spi(), 0x35, sr2));
    EXPECT_EQ(sr2, 0x40);
    adapter.emulator->setLogFile({});
    EXPECT_NE(ReadText(file).find("SPI  35 00 -> FF 40"), std::string::npos) << ReadText(file);
    std::filesystem::remove(file);

    options.logFile = "/nonexistent-folder/bus.log";
    EXPECT_TRUE(CreateAdapter(options).logFileFailed);
}

TEST(EmulatorSetup, RealAdapterWithoutHardwareIsReportedAbsent)
{
    Adapter adapter = CreateAdapter({});
    EXPECT_FALSE(adapter.emulator);
    const UsbStatus status = adapter.device->open();
    EXPECT_TRUE(status == UsbStatus::NotFound || status == UsbStatus::Failed) << DescribeUsbStatus(status).en;
}

} // namespace
