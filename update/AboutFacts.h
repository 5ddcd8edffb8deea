#pragma once
// The facts the About box lists about the computer: operating system, processor, memory, the chip
// database version and the USB library. Read from the usual Linux files, whose paths tests replace.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace update {

struct AboutSources {
    std::vector<std::filesystem::path> osRelease{"/etc/os-release", "/usr/lib/os-release"}; // the first readable one
    std::filesystem::path cpuInfo{"/proc/cpuinfo"};
    std::filesystem::path memInfo{"/proc/meminfo"};
};

// What uname() tells: kernel name, release and machine.
struct KernelInfo {
    std::string name;    // "Linux"
    std::string release; // "6.1.0-18-amd64"
    std::string machine; // "x86_64"
};
KernelInfo CurrentKernel();

// "1.0.26.11724" and the release candidate text, from libusb_get_version().
std::string UsbLibraryVersion();

// The information lines, in order: the system ("Debian GNU/Linux 12 (bookworm), x86_64 (kernel
// 6.1.0)"), "Processor: ", "RAM: ", "Pagefile: " (swap), "ChipList.dat version: " followed by
// chipListVersion, an empty line, and the "libusb-1.0 Information:" block.
std::string AboutInformation(const AboutSources& sources, const KernelInfo& kernel, std::string_view chipListVersion,
                             std::string_view usbVersion);

} // namespace update
