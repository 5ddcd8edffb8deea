// Configuring the emulated chip, its image file, hot-plug events and the start-up choice.
#include "tests/support/EmulatedAdapter.h"

#include "adapter/AdapterFactory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(EmulatorSetup, ConfigFromChipListFields)
{
    const auto flash = MakeEmulatedChipConfig({"W25Q64FV", "ID_SPI1", 8388608, 256, "EF4017", 20, ""});
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
    }  // unchanged since the last write-back: nothing is written again
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

TEST(EmulatorSetup, PlugEventsReachTheNotification)
{
    AdapterOptions options;
    options.emulate = true;
    Adapter adapter = CreateAdapter(options);
    ASSERT_TRUE(adapter.emulator);
    std::vector<int> events;
    adapter.library->CH341SetDeviceNotify(AdapterIndex, nullptr, [&](int event) { events.push_back(event); });
    EXPECT_NE(adapter.library->CH341OpenDevice(AdapterIndex), InvalidAdapterHandle);
    adapter.emulator->announceRemoval();
    adapter.emulator->unplug();
    EXPECT_EQ(adapter.library->CH341OpenDevice(AdapterIndex), InvalidAdapterHandle);
    adapter.emulator->plug();
    EXPECT_NE(adapter.library->CH341OpenDevice(AdapterIndex), InvalidAdapterHandle);
    adapter.library->CH341SetDeviceNotify(AdapterIndex, nullptr, {});
    adapter.emulator->unplug();
    EXPECT_EQ(events, (std::vector<int>{1, 0, 3}));
}

TEST(EmulatorSetup, RealAdapterWithoutHardwareIsReportedAbsent)
{
    Adapter adapter = CreateAdapter({});
    EXPECT_FALSE(adapter.emulator);
    EXPECT_EQ(adapter.library->CH341OpenDevice(AdapterIndex), InvalidAdapterHandle);
    const UsbStatus status = adapter.library->lastStatus();
    EXPECT_TRUE(status == UsbStatus::NotFound || status == UsbStatus::Failed) << DescribeUsbStatus(status).english;
}

} // namespace
