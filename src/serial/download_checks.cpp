#include "serial/download_checks.h"

#include <algorithm>
#include <optional>
#include <string>

#include "mapping/auto_mapping.h"
#include "mapping/command_area.h"
#include "mapping/conflicts.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"
#include "serial/download_frames.h"

namespace korvex::serial {

namespace {

constexpr std::string_view kVacant = "-1";
constexpr std::int64_t kOutputArea = 0x4000;
constexpr std::int64_t kSmallFirmwareBytes = 224;

int used(std::int32_t count, int room) { return std::clamp(count, 0, room); }

bool show(Operator& op, const Text& text, std::vector<std::string> args = {}) {
    op.showMessage({text, std::move(args)});
    return false;
}

bool askYes(Operator& op, const Text& question) {
    return op.ask({question, {}}, Buttons::YesNo) == Answer::Yes;
}

// Values a "Modbus Master" subnet (number 1 to 4) must have before a download.
bool checkMasterValues(const SubnetConfig& c, int number, Operator& op) {
    const std::string n = std::to_string(number);
    if (c.responseTimeout == kVacant) return show(op, texts::VacantResponseTimeout, {n});
    if (c.pollDelay == kVacant) return show(op, texts::VacantPollDelay, {n});
    if (c.outputMode == texts::OutputPulse.text && c.outputPulse == kVacant) return show(op, texts::VacantOutputPulse, {n});
    if (c.scanRate == kVacant) return show(op, texts::VacantScanRate, {n});
    for (int k = 0; k < used(c.commandCount, kMaxCommands); ++k) {
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        if (cmd.slaveAddress == kVacant) return show(op, texts::VacantCommandNodeAddress);
        if (cmd.startAddress == kVacant) return show(op, texts::VacantStartAddress, {cmd.slaveAddress});
        if (cmd.dataCount == kVacant) return show(op, texts::VacantDataCount, {cmd.slaveAddress});
        if (cmd.mappingAddress == kVacant) return show(op, texts::VacantMappingAddress, {cmd.slaveAddress});
        if (cmd.bitOffset == kVacant) return show(op, texts::VacantBitOffset, {cmd.slaveAddress});
    }
    return true;
}

struct AreaLimits {
    std::int64_t input = 0;
    std::int64_t output = 0;
};

// The input and output limits of the mapping ranges; nullopt after the
// configuration-data message.
std::optional<AreaLimits> areaLimits(const Project& project, Operator& op) {
    const VariantFlags& f = project.flags;
    const FieldbusSettings& fb = project.fieldbus;
    if (f.legacyFlag244) return AreaLimits{168, 168};
    if (f.extendedSettingsFlag) return AreaLimits{244, 244};
    if ((f.legacyFlag233a || f.legacyFlag246) && fb.profibusConfigMode == texts::InputConfigurationData.text) {
        const auto sums = parseProfibusConfigData(fb.profibusConfigData);
        if (!sums) {
            show(op, texts::MappingConfigDataError);
            return std::nullopt;
        }
        return AreaLimits{sums->inputBytes, sums->outputBytes};
    }
    return AreaLimits{leadingDecimal(fb.inputSize).value_or(0), leadingDecimal(fb.outputSize).value_or(0)};
}

// The mapping range of each command of subnet 1 (offset form).
bool checkMappingRanges(const Project& project, const AreaLimits& limits, Operator& op) {
    const SubnetConfig& c = project.subnet(0);
    for (int k = 0; k < used(c.commandCount, kMaxCommands); ++k) {
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        const int fc = functionCodeNumber(cmd.functionCode);
        const auto offset = commandGatewayOffset(cmd, nullptr);
        if (!offset || (!isReadCode(fc) && !isWriteCode(fc))) continue;
        std::int64_t end = *offset + decimalOrZero(cmd.byteCount);
        if (end >= kOutputArea) end -= kOutputArea;
        if (isReadCode(fc) && end > limits.input) return show(op, texts::InputMappingOutOfRange, {cmd.slaveAddress});
        if (isWriteCode(fc) && end > limits.output)
            return show(op, texts::OutputMappingOutOfRange, {cmd.slaveAddress});
    }
    return true;
}

}  // namespace

bool hasNodeWithoutCommands(const Project& project) {
    for (const SubnetConfig& c : project.subnets) {
        const int commands = used(c.commandCount, kMaxCommands);
        for (int j = 0; j < used(c.nodeCount, kMaxNodes); ++j) {
            const SlaveNode& node = c.nodes[static_cast<size_t>(j)];
            const bool addressed = std::any_of(c.commands.begin(), c.commands.begin() + commands, [&](const ModbusCommand& cmd) {
                return cmd.nodeIndex == j + 1 || (!isUnassigned(node.address) && cmd.slaveAddress == node.address);
            });
            if (!addressed) return true;
        }
    }
    return false;
}

bool checkBeforeDownload(Project& project, MappingState& mapping, const PlcBlocks* plc, Operator& op) {
    const SubnetConfig& first = project.subnet(0);
    if (project.deviceKind == 2) {
        for (int s = 0; s < kSubnetCount; ++s) {
            const SubnetConfig& c = project.subnet(s);
            if (isModbusMaster(c) && !checkMasterValues(c, s + 1, op)) return false;
        }
    } else {
        const FieldbusSettings& fb = project.fieldbus;
        if (project.deviceKind == 0 && fb.inputSize == "160" && (fb.outputSize == "112" || fb.outputSize == "96"))
            return show(op, texts::DeviceNetSizeLimit);
        if (first.protocolMode == texts::ModbusSlave.text && first.slaveAddress.empty())
            return show(op, texts::SlaveAddressNotFilled);
        if (isModbusMaster(first)) {
            if (!checkMasterValues(first, 1, op)) return false;
            if (hasNodeWithoutCommands(project)) return show(op, texts::UnusedNode);
            if (hasMappingConflict(project, plc)) {
                if (!askYes(op, texts::MappingConflictQuestion)) return false;
                // The recalculation shows its own message when it overflows.
                if (!calculateMappingAddresses(project, mapping, plc, op)) return false;
            }
        }
    }

    const auto limits = areaLimits(project, op);
    if (!limits) return false;
    if (project.deviceKind == 2) return true;
    if (plc) {
        if (const auto message = plcRangeCheck(project, *plc)) {
            op.showMessage(*message);
            return false;
        }
        return true;
    }
    return checkMappingRanges(project, *limits, op);
}

bool checkBeforeSending(const Project& project, const MappingState& mapping, const PlcBlocks* plc, Operator& op) {
    const int kind = project.deviceKind;
    const FieldbusSettings& fb = project.fieldbus;
    if ((kind == 1 || kind == 3) && !project.flags.extendedSettingsFlag && fb.inputSize != fb.outputSize)
        return show(op, texts::ProfibusSizesDiffer);
    for (const SubnetConfig& c : project.subnets) {
        for (int j = 0; j < used(c.nodeCount, kMaxNodes); ++j) {
            if (isUnassigned(c.nodes[static_cast<size_t>(j)].address)) return show(op, texts::VacantNodeAddress);
        }
    }
    if (isModbusMaster(project.subnet(0))) {
        if (hasNodeWithoutCommands(project) && !askYes(op, texts::InvalidNodeQuestion)) return false;
        if (hasMappingConflict(project, plc) && !askYes(op, texts::MappingConflictQuestion)) return false;
    }
    if (mapping.mappingOverflow && !askYes(op, texts::IncompleteConfigurationQuestion)) return false;
    return true;
}

bool exceedsSmallFirmwareLimit(const Project& project, const FieldbusTotals& totals) {
    const SubnetConfig& c = project.subnet(0);
    std::int64_t sum = 0;
    for (int k = 0; k < used(c.commandCount, kMaxCommands); ++k) sum += decimalOrZero(c.commands[static_cast<size_t>(k)].byteCount);
    return (sum > kSmallFirmwareBytes && totals.input + totals.output > kSmallFirmwareBytes) ||
           totals.input > kSmallFirmwareBytes || totals.output > kSmallFirmwareBytes;
}

}  // namespace korvex::serial
