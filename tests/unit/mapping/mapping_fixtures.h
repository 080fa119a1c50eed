#pragma once
// Small projects for the mapping tests: a new project (kind 3 unless told) with
// the commands given, all under node 1 of the subnet.
#include <memory>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvex::testing {

struct Cmd {
    std::string fc;
    std::string count;
    std::string map = "";
    std::string bit = "";
    std::string bytes = "";
    std::string filter = "Fullword";
};

inline ModbusCommand makeCommand(const Cmd& c) {
    ModbusCommand i;
    i.slaveAddress = "1";
    i.functionCode = c.fc;
    i.startAddress = "0";
    i.dataCount = c.count;
    i.mappingAddress = c.map;
    i.bitOffset = c.bit;
    i.byteCount = c.bytes;
    i.dataFilter = c.filter;
    i.checkType = "CRC";
    i.scanType = "Fast Scan";
    i.byteSwap = "No Swap";
    i.nodeIndex = 1;
    return i;
}

inline void setCommands(Project& p, int subnet, const std::vector<Cmd>& cmds) {
    SubnetConfig& c = p.subnet(subnet);
    c.nodeCount = 1;
    c.nodes[0] = {"1", "Node-1"};
    c.commandCount = static_cast<std::int32_t>(cmds.size());
    for (size_t k = 0; k < cmds.size(); ++k) c.commands[k] = makeCommand(cmds[k]);
}

inline std::unique_ptr<Project> projectWith(const std::vector<Cmd>& cmds, int kind = 3) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    setCommands(*p, 0, cmds);
    return p;
}

inline std::vector<std::string> addresses(const Project& p, int subnet = 0) {
    std::vector<std::string> out;
    const SubnetConfig& c = p.subnet(subnet);
    for (int k = 0; k < c.commandCount; ++k) out.push_back(c.commands[static_cast<size_t>(k)].mappingAddress);
    return out;
}

}  // namespace korvex::testing
