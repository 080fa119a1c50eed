#include "serial/frame_codes.h"

#include <algorithm>
#include <span>

#include "model/texts.h"

namespace korvex::serial {

namespace {

struct CodeEntry {
    std::string_view text;
    std::uint8_t code;
};

std::uint8_t codeOf(std::span<const CodeEntry> table, std::string_view text) {
    for (const auto& e : table) {
        if (e.text == text) return e.code;
    }
    return 0;
}

std::optional<std::string_view> textOf(std::span<const CodeEntry> table, std::uint8_t code) {
    for (const auto& e : table) {
        if (e.code == code) return e.text;
    }
    return std::nullopt;
}

constexpr CodeEntry kBaudRates[] = {
    {"300", 0}, {"600", 1}, {"1200", 2}, {"2400", 3}, {"4800", 9},
    {"9600", 4}, {"19200", 5}, {"38400", 6}, {"57600", 7}, {"115200", 8},
};
constexpr CodeEntry kParities[] = {
    {texts::Parity_None.text, 0}, {texts::Parity_Odd.text, 1}, {texts::Parity_Even.text, 2},
    {texts::Parity_Mark.text, 3}, {texts::Parity_Space.text, 4},
};
constexpr CodeEntry kProtocols[] = {
    {texts::ModbusMaster.text, 0}, {texts::ModbusSlave.text, 1},
    {texts::SelfDefiningProtocol.text, 2}, {texts::UserConfig.text, 3},
};
constexpr CodeEntry kOutputModes[] = {
    {texts::OutputCycle.text, 1}, {texts::OutputForbidden.text, 2},
    {texts::OutputChangeOfValue.text, 3}, {texts::OutputPulse.text, 4},
};
constexpr CodeEntry kDeviceNetBauds[] = {
    {texts::Baud125K.text, 0}, {texts::Baud250K.text, 1}, {texts::Baud500K.text, 2},
    {texts::InterceptAutomatically.text, 3},
};
constexpr CodeEntry kDeviceNetInputSizes[] = {
    {"8", 0}, {"16", 1}, {"32", 2}, {"64", 3}, {"96", 4}, {"128", 5}, {"160", 6},
};
constexpr CodeEntry kDeviceNetOutputSizes[] = {
    {"8", 0}, {"16", 1}, {"32", 2}, {"64", 3}, {"96", 4}, {"112", 5},
};
constexpr CodeEntry kProfibusSizes[] = {{"8", 0}, {"16", 1}, {"48", 2}, {"112", 3}};

// Data handling: (byteSwap, dataFilter) -> byte.
struct HandlingEntry {
    std::string_view byteSwap;
    std::string_view dataFilter;
    std::uint8_t code;
};
constexpr HandlingEntry kHandling[] = {
    {texts::NoSwap.text, texts::Fullword.text, 0x00},
    {texts::TwoBytesSwap.text, texts::Fullword.text, 0x10},
    {texts::FourBytesSwap.text, texts::Fullword.text, 0x20},
    {texts::NoSwap.text, texts::HighByte.text, 0x01},
    {texts::NoSwap.text, texts::LowByte.text, 0x02},
    // dataFilter holding a byte-swap choice (see the header).
    {texts::NoSwap.text, texts::TwoBytesSwap.text, 0x01},
    {texts::NoSwap.text, texts::FourBytesSwap.text, 0x02},
};

}  // namespace

std::int64_t wireNumber(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), 0x7FFFFFFF);
    }
    return negative ? -value : value;
}

std::uint8_t baudRateCode(std::string_view rate) { return codeOf(kBaudRates, rate); }
std::optional<std::string_view> baudRateOfCode(std::uint8_t code) { return textOf(kBaudRates, code); }
std::uint8_t parityCode(std::string_view parity) { return codeOf(kParities, parity); }
std::optional<std::string_view> parityOfCode(std::uint8_t code) { return textOf(kParities, code); }
std::uint8_t dataBitsCode(std::string_view bits) { return bits == "7" ? 1 : 0; }
std::uint8_t stopBitsCode(std::string_view bits) { return bits == "2" ? 1 : 0; }
std::uint8_t protocolCode(std::string_view mode) { return codeOf(kProtocols, mode); }
std::optional<std::string_view> protocolOfCode(std::uint8_t code) { return textOf(kProtocols, code); }
std::uint8_t outputModeCode(std::string_view mode) { return codeOf(kOutputModes, mode); }
std::optional<std::string_view> outputModeOfCode(std::uint8_t code) { return textOf(kOutputModes, code); }

std::uint8_t deviceNetBaudCode(std::string_view rate) { return codeOf(kDeviceNetBauds, rate); }
std::optional<std::string_view> deviceNetBaudOfCode(std::uint8_t code) { return textOf(kDeviceNetBauds, code); }
std::uint8_t deviceNetInputSizeCode(std::string_view size) { return codeOf(kDeviceNetInputSizes, size); }
std::optional<std::string_view> deviceNetInputSizeOfCode(std::uint8_t code) {
    return textOf(kDeviceNetInputSizes, code);
}
std::uint8_t deviceNetOutputSizeCode(std::string_view size) { return codeOf(kDeviceNetOutputSizes, size); }
std::optional<std::string_view> deviceNetOutputSizeOfCode(std::uint8_t code) {
    return textOf(kDeviceNetOutputSizes, code);
}
std::uint8_t profibusSizeCode(std::string_view size) { return codeOf(kProfibusSizes, size); }
std::string_view profibusSizeOfCode(std::uint8_t code) { return textOf(kProfibusSizes, code).value_or("112"); }

std::uint8_t dataHandlingCode(const ModbusCommand& command) {
    for (const auto& e : kHandling) {
        if (e.byteSwap == command.byteSwap && e.dataFilter == command.dataFilter) return e.code;
    }
    return 0x00;
}

void applyDataHandling(std::uint8_t code, const Project& project, ModbusCommand& command) {
    // Bytes 16 and 32 read the same for every project.
    if (code == 0x10 || code == 0x20) {
        command.dataFilter = texts::Fullword.str();
        command.byteSwap = std::string(code == 0x10 ? texts::TwoBytesSwap.text : texts::FourBytesSwap.text);
        return;
    }
    if (code > 2) return;
    const bool legacy = project.flags.legacyFlag233a;
    if (legacy || project.deviceKind == 3) {
        constexpr std::string_view kFilters[] = {texts::Fullword.text, texts::HighByte.text, texts::LowByte.text};
        command.dataFilter = std::string(kFilters[code]);
        if (!legacy) command.byteSwap = texts::NoSwap.str();
        return;
    }
    constexpr std::string_view kSwaps[] = {texts::NoSwap.text, texts::TwoBytesSwap.text, texts::FourBytesSwap.text};
    command.dataFilter = std::string(kSwaps[code]);
}

}  // namespace korvex::serial
