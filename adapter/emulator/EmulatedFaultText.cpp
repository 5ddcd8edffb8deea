#include "adapter/emulator/EmulatedFaultText.h"

#include <charconv>
#include <utility>

std::optional<FaultPlan> ParseFaultPlan(std::string_view text)
{
    static constexpr std::pair<std::string_view, EmulatedFault> kinds[] = {
        {"usb", EmulatedFault::UsbError},         {"nak", EmulatedFault::I2cNak},
        {"busy", EmulatedFault::ChipStaysBusy},   {"pulled", EmulatedFault::Pulled},
        {"corrupt", EmulatedFault::CorruptReply},
    };
    const std::size_t at = text.find('@');
    const std::string_view kind = text.substr(0, at);
    FaultPlan plan;
    bool known = false;
    for (const auto& [name, fault] : kinds)
        if (name == kind) {
            plan.fault = fault;
            known = true;
        }
    if (!known) return std::nullopt;
    if (at != std::string_view::npos) {
        const std::string_view count = text.substr(at + 1);
        const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), plan.afterPackets);
        if (error != std::errc() || end != count.data() + count.size() || count.empty()) return std::nullopt;
    }
    return plan;
}
