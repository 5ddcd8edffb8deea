#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/TempFolder.h"
#include "update/AboutFacts.h"

using namespace update;
namespace fs = std::filesystem;

class AboutFactsTest : public TempFolder {
protected:
    const KernelInfo kernel{"Linux", "6.1.0-18-amd64", "x86_64"};
};

TEST_F(AboutFactsTest, ListsSystemProcessorMemoryDatabaseAndUsbLibrary)
{
    AboutSources sources;
    sources.osRelease = {folder / "missing",
                         Write("os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux "
                                             "12 (bookworm)\"\nVERSION_ID=\"12\"\n")};
    sources.cpuInfo = Write("cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Core(TM) "
                                       "i5-8250U CPU @ 1.60GHz\n\nprocessor\t: 1\n");
    sources.memInfo = Write("meminfo", "MemTotal:       16314876 kB\nMemFree:  1 kB\nSwapTotal:       2097148 kB\n");
    EXPECT_EQ(AboutInformation(sources, kernel, "09.05.2018.5", "1.0.26.11724"),
              "Debian GNU/Linux 12 (bookworm), x86_64 (kernel 6.1.0-18-amd64)\n"
              "Processor: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz; \n"
              "RAM: 15932 MB\n"
              "Pagefile: 2047 MB\n"
              "ChipList.dat version: 09.05.2018.5\n"
              "\n"
              "libusb-1.0 Information:\n"
              "File Version: 1.0.26.11724\n");
}

TEST_F(AboutFactsTest, MissingOrOddSourcesKeepTheLineLabels)
{
    AboutSources sources{{folder / "none"}, folder / "none", folder / "none"};
    const std::string missing = AboutInformation(sources, kernel, "?", "");
    EXPECT_EQ(missing.substr(0, missing.find('\n')),
              "error getting the operating system version; Linux, x86_64 (kernel 6.1.0-18-amd64)");
    EXPECT_NE(missing.find("Processor: cannot open processor data; \nRAM: unknown\nPagefile: unknown\n"),
              std::string::npos);

    // A machine without swap has no page file at all.
    sources.memInfo = Write("noswap", "MemTotal:       2048000 kB\nSwapTotal:             0 kB\n");
    EXPECT_NE(AboutInformation(sources, kernel, "?", "").find("\nRAM: 2000 MB\nPagefile: none\n"), std::string::npos);

    // No PRETTY_NAME: NAME and VERSION; an ARM board's cpuinfo names its model differently.
    sources.osRelease = {Write("os", "NAME=Alpine\nVERSION='3.19 edge'\n")};
    sources.cpuInfo = Write("cpu", "processor : 0\nBogoMIPS : 108\n\nModel : Raspberry Pi 4 Model B Rev 1.4\n");
    const std::string odd = AboutInformation(sources, kernel, "?", "");
    EXPECT_EQ(odd.substr(0, odd.find('\n')), "Alpine 3.19 edge, x86_64 (kernel 6.1.0-18-amd64)");
    EXPECT_NE(odd.find("Processor: Raspberry Pi 4 Model B Rev 1.4; "), std::string::npos);
    sources.cpuInfo = Write("cpu2", "processor : 0\n");
    EXPECT_NE(AboutInformation(sources, kernel, "?", "").find("Processor: cannot read processor data; "),
              std::string::npos);
}

TEST(AboutFacts, RealSystemAnswers)
{
    EXPECT_EQ(UsbLibraryVersion().rfind("1.", 0), 0u);
    EXPECT_FALSE(CurrentKernel().release.empty());
}
