#include "update/AboutFacts.h"

#include <sys/utsname.h>

#include <libusb.h>

#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

namespace update {
namespace {

// At most this much of a system file is read: the facts sit near the top.
constexpr std::streamsize kReadLimit = 1 << 20;

std::optional<std::string> readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(static_cast<std::size_t>(kReadLimit), '\0');
    in.read(text.data(), kReadLimit);
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The value of the first line "key<separator>value" whose key is one of `keys`, tried in order.
std::optional<std::string> lookup(std::string_view text, std::initializer_list<std::string_view> keys, char separator)
{
    for (std::string_view key : keys) {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            const std::string_view line = text.substr(start, end - start);
            start = end + 1;
            const std::size_t at = line.find(separator);
            if (at != std::string_view::npos && trim(line.substr(0, at)) == key)
                return std::string(trim(line.substr(at + 1)));
        }
    }
    return std::nullopt;
}

// os-release values may be quoted, with backslash escapes inside double quotes.
std::string unquote(std::string_view v)
{
    if (v.size() < 2 || (v.front() != '"' && v.front() != '\'') || v.back() != v.front()) return std::string(v);
    const char quote = v.front();
    v = v.substr(1, v.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (quote == '"' && v[i] == '\\' && i + 1 < v.size()) ++i;
        out.push_back(v[i]);
    }
    return out;
}

std::string systemLine(const AboutSources& sources, const KernelInfo& kernel)
{
    std::optional<std::string> osRelease;
    for (const auto& path : sources.osRelease)
        if ((osRelease = readText(path))) break;
    std::string name;
    if (osRelease) {
        if (const auto pretty = lookup(*osRelease, {"PRETTY_NAME"}, '=')) name = unquote(*pretty);
        if (name.empty()) {
            name = unquote(lookup(*osRelease, {"NAME"}, '=').value_or(kernel.name));
            if (const auto version = lookup(*osRelease, {"VERSION"}, '=')) name += " " + unquote(*version);
        }
    } else {
        name = "error getting the operating system version; " + kernel.name;
    }
    std::string line = name;
    if (!kernel.machine.empty()) line += ", " + kernel.machine;
    if (!kernel.release.empty()) line += " (kernel " + kernel.release + ")";
    return line;
}

std::string processorLine(const AboutSources& sources)
{
    const auto cpuInfo = readText(sources.cpuInfo);
    if (!cpuInfo) return "cannot open processor data; ";
    // x86, then the names ARM, MIPS and RISC-V kernels use.
    const auto name = lookup(*cpuInfo, {"model name", "Processor", "cpu model", "Model", "uarch"}, ':');
    if (!name || name->empty()) return "cannot read processor data; ";
    return *name + "; ";
}

// A /proc/meminfo size ("12345 kB") in whole MiB ("2047 MB"); "unknown" when it cannot be read,
// `none` for a size of 0 (a machine without swap has no page file, not one of 0 MB).
std::string mebibytes(const std::optional<std::string>& memInfo, std::string_view key, std::string_view none)
{
    const auto value = memInfo ? lookup(*memInfo, {key}, ':') : std::nullopt;
    unsigned long long kib = 0;
    if (!value || std::from_chars(value->data(), value->data() + value->size(), kib).ec != std::errc())
        return "unknown";
    if (kib == 0 && !none.empty()) return std::string(none);
    return std::to_string(kib / 1024) + " MB";
}

} // namespace

KernelInfo CurrentKernel()
{
    utsname u{};
    if (uname(&u) != 0) return {};
    return {u.sysname, u.release, u.machine};
}

std::string UsbLibraryVersion()
{
    const libusb_version* v = libusb_get_version();
    std::ostringstream text;
    text << v->major << '.' << v->minor << '.' << v->micro << '.' << v->nano << (v->rc ? v->rc : "");
    return text.str();
}

std::string AboutInformation(const AboutSources& sources, const KernelInfo& kernel, std::string_view chipListVersion,
                             std::string_view usbVersion)
{
    const auto memInfo = readText(sources.memInfo);
    std::string text = systemLine(sources, kernel);
    text += "\nProcessor: " + processorLine(sources);
    text += "\nRAM: " + mebibytes(memInfo, "MemTotal", "") + "\n";
    text += "Pagefile: " + mebibytes(memInfo, "SwapTotal", "none") + "\n";
    text += "ChipList.dat version: " + std::string(chipListVersion) + "\n";
    text += "\nlibusb-1.0 Information:\n";
    if (!usbVersion.empty()) text += "File Version: " + std::string(usbVersion) + "\n";
    return text;
}

} // namespace update
