#include "mapping/auto_mapping.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "mapping/command_area.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

namespace {

constexpr std::int64_t kOutputStart = 0x4000;
constexpr size_t kMaxConfigBytes = 8;
constexpr std::int64_t kMaxConfigSum = 112;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// Length of a compact identifier or of a special-format length byte: the low
// bits plus one, doubled for words.
std::int64_t identifierLength(std::uint8_t b, std::uint8_t lengthMask) {
    const std::int64_t units = (b & lengthMask) + 1;
    return (b & 0x40) ? 2 * units : units;
}

// Where one subnet's commands went.
struct Layout {
    std::array<std::int64_t, kMaxCommands> address{};
    std::array<bool, kMaxCommands> laidOut{};
    bool anyInput = false;
    bool anyOutput = false;
    std::int64_t inEnd = 0;   // end of the last input command, or the input start
    std::int64_t outEnd = 0;  // end of the last output command, or the output start
};

// Lays out the read commands from inStart in the order FC 1, 2, 3, 4 and the
// write commands from outStart in the order FC 5, 6, 15, 16, each code in table
// order; sets bitOffset "0" and byteCount to the size.
Layout layOut(SubnetConfig& c, std::int64_t inStart, std::int64_t outStart) {
    Layout l;
    const int n = std::clamp(c.commandCount, 0, kMaxCommands);
    auto run = [&](std::initializer_list<int> codes, std::int64_t startAt, bool& any) {
        std::int64_t next = startAt;
        for (int code : codes) {
            for (int k = 0; k < n; ++k) {
                ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
                if (functionCodeNumber(cmd.functionCode) != code) continue;
                const std::int64_t size = commandSize(code, decimalOrZero(cmd.dataCount));
                l.address[static_cast<size_t>(k)] = next;
                l.laidOut[static_cast<size_t>(k)] = true;
                cmd.bitOffset.assign(1, '0');  // assign(): GCC 12 -O2 warns falsely (-Wrestrict) on = "0" here
                cmd.byteCount = std::to_string(size);
                next += size;
                any = true;
            }
        }
        return next;
    };
    l.inEnd = run({1, 2, 3, 4}, inStart, l.anyInput);
    l.outEnd = run({5, 6, 15, 16}, outStart, l.anyOutput);
    return l;
}

// The first laid-out command (table order) ending beyond its area, if any.
bool exceedsArea(const SubnetConfig& c, const Layout& l, std::int64_t inputLimit, std::int64_t outputLimit) {
    const int n = std::clamp(c.commandCount, 0, kMaxCommands);
    for (int k = 0; k < n; ++k) {
        if (!l.laidOut[static_cast<size_t>(k)]) continue;
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        const std::int64_t end = l.address[static_cast<size_t>(k)] + decimalOrZero(cmd.byteCount);
        const bool read = isReadCode(functionCodeNumber(cmd.functionCode));
        if (read ? end > inputLimit : end > outputLimit) return true;
    }
    return false;
}

void writeHexAddresses(SubnetConfig& c, const Layout& l) {
    for (int k = 0; k < kMaxCommands; ++k) {
        if (!l.laidOut[static_cast<size_t>(k)]) continue;
        c.commands[static_cast<size_t>(k)].mappingAddress =
            toHexText(static_cast<std::uint32_t>(l.address[static_cast<size_t>(k)]), true);
    }
}

void writePlcAddresses(SubnetConfig& c, const Layout& l, const PlcBlocks& plc) {
    for (int k = 0; k < kMaxCommands; ++k) {
        if (!l.laidOut[static_cast<size_t>(k)]) continue;
        ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        cmd.mappingAddress = plc.gatewayOffsetToPlc(cmd, cmd.mappingAddress);
    }
}

}  // namespace

std::optional<ConfigDataSums> parseProfibusConfigData(std::string_view text) {
    const size_t count = (text.size() + 2) / 3;
    if (count > kMaxConfigBytes) return std::nullopt;
    std::array<std::uint8_t, kMaxConfigBytes> bytes{};
    for (size_t i = 0; i < count; ++i) {
        const int hi = hexDigit(text[3 * i]);
        const int lo = 3 * i + 1 < text.size() ? hexDigit(text[3 * i + 1]) : 0;
        bytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    ConfigDataSums sums;
    size_t pos = 0;
    while (pos < count) {
        const std::uint8_t id = bytes[pos++];
        if ((id & 0x30) != 0) {  // compact format: bits 4-5 say input, output or both
            const std::int64_t len = identifierLength(id, 0x0F);
            if (id & 0x10) sums.inputBytes += len;
            if (id & 0x20) sums.outputBytes += len;
            continue;
        }
        // Special format: bits 6-7 announce length bytes (outputs first), bits
        // 0-3 the manufacturer-specific bytes at the end.
        const bool outputs = (id & 0x80) != 0;
        const bool inputs = (id & 0x40) != 0;
        if (outputs) {
            if (pos >= count) return std::nullopt;
            sums.outputBytes += identifierLength(bytes[pos++], 0x3F);
        }
        if (inputs) {
            if (pos >= count) return std::nullopt;
            sums.inputBytes += identifierLength(bytes[pos++], 0x3F);
        }
        pos += id & 0x0F;
        if (pos > count) return std::nullopt;
    }
    if (sums.inputBytes > kMaxConfigSum || sums.outputBytes > kMaxConfigSum) return std::nullopt;
    return sums;
}

bool calculateMappingAddresses(Project& project, MappingState& state, const PlcBlocks* plc, Operator& op) {
    state.mappingOverflow = false;
    const VariantFlags& f = project.flags;
    const FieldbusSettings& fb = project.fieldbus;

    // Area limits. The configuration data are read before anything is laid out,
    // so a refused text leaves every command as it was.
    std::int64_t inputLimit = 0;
    std::int64_t outputLimit = 0;
    if (f.legacyFlag244) {
        inputLimit = outputLimit = 168;
    } else if (f.extendedSettingsFlag || f.legacyFlag243) {
        inputLimit = outputLimit = 244;
    } else if ((f.legacyFlag233a || f.legacyFlag246) && fb.profibusConfigMode == texts::InputConfigurationData.text) {
        if (!fb.profibusConfigData.empty()) {
            const auto sums = parseProfibusConfigData(fb.profibusConfigData);
            if (!sums) {
                op.showMessage({texts::MappingConfigDataError, {}});
                state.mappingOverflow = true;
                return false;
            }
            state.configInputBytes = sums->inputBytes;
            state.configOutputBytes = sums->outputBytes;
        }
        inputLimit = state.configInputBytes;
        outputLimit = state.configOutputBytes;
    } else {
        inputLimit = leadingDecimal(fb.inputSize).value_or(0);
        outputLimit = leadingDecimal(fb.outputSize).value_or(0);
    }
    if (plc) {
        inputLimit = plc->inputBlocks.total();
        outputLimit = plc->outputBlocks.total();
    }
    if (project.deviceKind == 4) inputLimit = outputLimit = 0x200;

    // Subnet 1.
    SubnetConfig& first = project.subnet(0);
    const std::int64_t inStart = project.deviceKind == 0 ? 2 : statusByteCount(project);
    const Layout l1 = layOut(first, inStart, kOutputStart);
    if (exceedsArea(first, l1, inputLimit, outputLimit + kOutputStart)) {
        op.showMessage({texts::MappingExceedsMaximum, {}});
        state.mappingOverflow = true;
    }
    if (f.extendedSettingsFlag || f.legacyFlag243) {
        const std::int64_t limit = f.extendedSettingsFlag ? 488 : 224;
        if (l1.inEnd + l1.outEnd - kOutputStart > limit) {
            op.showMessage({texts::MappingExceedsMaximum, {}});
            state.mappingOverflow = true;
        }
    }
    writeHexAddresses(first, l1);

    // DeviceKind 4: subnet 2 continues where subnet 1 ended.
    std::optional<Layout> l2;
    if (project.deviceKind == 4) {
        SubnetConfig& second = project.subnet(1);
        l2 = layOut(second, l1.anyInput ? l1.inEnd : 0, l1.anyOutput ? l1.outEnd : kOutputStart);
        if (!state.mappingOverflow && exceedsArea(second, *l2, 0x200, 0x4200)) {
            op.showMessage({texts::MappingExceedsMaximum, {}});
            state.mappingOverflow = true;
        }
        writeHexAddresses(second, *l2);
    }

    // PLC mode: the laid-out offsets become PLC addresses. Only the commands laid
    // out here hold offsets; the others are already in PLC form.
    if (plc) {
        writePlcAddresses(first, l1, *plc);
        if (l2) writePlcAddresses(project.subnet(1), *l2, *plc);
    }
    return !state.mappingOverflow;
}

bool calculateMappingEnabled(const Project& project) {
    if (project.flags.extendedSettingsFlag) return project.subnet(0).protocolMode == texts::ModbusMaster.text;
    return project.deviceKind != 2 && !project.flags.legacyFlag243;
}

CalculateOutcome runCalculateMappingCommand(Project& project, MappingState& state, const PlcBlocks* plc,
                                            Operator& op) {
    if (op.ask({texts::MappingCalculateQuestion, {}}, Buttons::YesNoCancel, Icon::Question) != Answer::Yes)
        return CalculateOutcome::Declined;
    return calculateMappingAddresses(project, state, plc, op) ? CalculateOutcome::Done : CalculateOutcome::Overflow;
}

}  // namespace korvex
