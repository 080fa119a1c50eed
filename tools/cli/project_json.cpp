#include "project_json.h"

#include <cmath>
#include <set>

#include "model/encoding.h"

namespace korvex::cli {

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

struct JsonError {
    std::string what;
};

std::string bytesOf(const json& value, const std::string& where) {
    if (!value.is_string()) throw JsonError{where + " must be a text"};
    auto bytes = utf8ToWindows1252(value.get<std::string>());
    if (!bytes) throw JsonError{where + " has a character windows-1252 cannot hold"};
    return *bytes;
}

// A whole number within [lo, hi]. The parser keeps numbers from 2^63 to 2^64-1
// as unsigned and larger ones as floating point; each is compared in its own
// type, so no value wraps into the range.
std::int64_t integerOf(const json& value, const std::string& where, std::int64_t lo, std::int64_t hi) {
    const std::string outOfRange = where + " is out of range";
    if (value.is_number_unsigned()) {
        const auto v = value.get<std::uint64_t>();
        if (hi < 0 || v > static_cast<std::uint64_t>(hi) || (lo > 0 && v < static_cast<std::uint64_t>(lo)))
            throw JsonError{outOfRange};
        return static_cast<std::int64_t>(v);
    }
    if (value.is_number_integer()) {
        const auto v = value.get<std::int64_t>();
        if (v < lo || v > hi) throw JsonError{outOfRange};
        return v;
    }
    if (value.is_number_float()) {
        // A whole number too large for 64 bits (1e30, 100000000000000000000).
        const double d = value.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) &&
            (d < static_cast<double>(lo) || d > static_cast<double>(hi)))
            throw JsonError{outOfRange};
    }
    throw JsonError{where + " must be a whole number"};
}

const json& objectOf(const json& value, const std::string& where) {
    if (!value.is_object()) throw JsonError{where + " must be an object"};
    return value;
}

template <class Record>
void readTextFields(const json& obj, Record& record, std::span<const TextField<Record>> fields,
                    const std::set<std::string>& extraKeys, const std::string& where) {
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        bool known = extraKeys.count(it.key()) > 0;
        for (const auto& f : fields) {
            if (f.name == it.key()) {
                record.*(f.member) = bytesOf(it.value(), where + "." + it.key());
                known = true;
            }
        }
        if (!known) throw JsonError{"unknown key " + where + "." + it.key()};
    }
}

template <class Record>
ordered_json textFieldsToJson(const Record& record, std::span<const TextField<Record>> fields) {
    ordered_json out = ordered_json::object();
    for (const auto& f : fields) out[std::string(f.name)] = windows1252ToUtf8(record.*(f.member));
    return out;
}

void readProjectJson(const json& j, Project& p) {
    objectOf(j, "project");
    const std::set<std::string> topKeys = {"deviceKind", "fileVersion", "flags", "fieldbus", "subnets"};
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (!topKeys.count(it.key())) throw JsonError{"unknown key " + it.key()};
    }
    if (!j.contains("deviceKind")) throw JsonError{"deviceKind is missing"};
    const auto kind = static_cast<std::int32_t>(integerOf(j["deviceKind"], "deviceKind", INT32_MIN, INT32_MAX));
    resetToDefaults(p, kind);
    if (j.contains("fileVersion")) p.fileVersion = static_cast<std::uint32_t>(integerOf(j["fileVersion"], "fileVersion", 0, UINT32_MAX));

    if (j.contains("flags")) {
        const json& flags = objectOf(j["flags"], "flags");
        for (auto it = flags.begin(); it != flags.end(); ++it) {
            bool known = false;
            for (const auto& f : variantFlagFields()) {
                if (f.name == it.key()) {
                    if (!it.value().is_boolean()) throw JsonError{"flags." + it.key() + " must be true or false"};
                    p.flags.*(f.member) = it.value().get<bool>();
                    known = true;
                }
            }
            if (!known) throw JsonError{"unknown key flags." + it.key()};
        }
    }
    if (j.contains("fieldbus"))
        readTextFields(objectOf(j["fieldbus"], "fieldbus"), p.fieldbus, fieldbusTextFields(), {}, "fieldbus");

    if (j.contains("subnets")) {
        const json& subnets = j["subnets"];
        if (!subnets.is_array() || subnets.size() > kSubnetCount) throw JsonError{"subnets must be a list of at most four subnets"};
        for (size_t s = 0; s < subnets.size(); ++s) {
            const std::string where = "subnets[" + std::to_string(s) + "]";
            const json& sj = objectOf(subnets[s], where);
            SubnetConfig& c = p.subnet(static_cast<int>(s));
            readTextFields(sj, c, subnetTextFields(), {"nodeCount", "commandCount", "nodes", "commands"}, where);
            if (sj.contains("nodes")) {
                const json& nodes = sj["nodes"];
                if (!nodes.is_array() || nodes.size() > kMaxNodes) throw JsonError{where + ".nodes must be a list of at most 128 nodes"};
                for (size_t n = 0; n < nodes.size(); ++n) {
                    const std::string w = where + ".nodes[" + std::to_string(n) + "]";
                    readTextFields(objectOf(nodes[n], w), c.nodes[n], slaveNodeTextFields(), {}, w);
                }
                c.nodeCount = static_cast<std::int32_t>(nodes.size());
            }
            if (sj.contains("commands")) {
                const json& cmds = sj["commands"];
                if (!cmds.is_array() || cmds.size() > kMaxCommands) throw JsonError{where + ".commands must be a list of at most 100 commands"};
                for (size_t n = 0; n < cmds.size(); ++n) {
                    const std::string w = where + ".commands[" + std::to_string(n) + "]";
                    const json& cj = objectOf(cmds[n], w);
                    ModbusCommand& cmd = c.commands[n];
                    readTextFields(cj, cmd, commandTextFields(), {"nodeIndex"}, w);
                    if (cj.contains("nodeIndex"))
                        cmd.nodeIndex = static_cast<std::int32_t>(integerOf(cj["nodeIndex"], w + ".nodeIndex", INT32_MIN, INT32_MAX));
                }
                c.commandCount = static_cast<std::int32_t>(cmds.size());
            }
            if (sj.contains("nodeCount") && integerOf(sj["nodeCount"], where + ".nodeCount", 0, kMaxNodes) != c.nodeCount)
                throw JsonError{where + ".nodeCount does not match the nodes listed"};
            if (sj.contains("commandCount") && integerOf(sj["commandCount"], where + ".commandCount", 0, kMaxCommands) != c.commandCount)
                throw JsonError{where + ".commandCount does not match the commands listed"};
        }
    }
}

}  // namespace

ordered_json projectToJson(const Project& p) {
    ordered_json j;
    j["deviceKind"] = p.deviceKind;
    j["fileVersion"] = p.fileVersion;
    ordered_json flags = ordered_json::object();
    for (const auto& f : variantFlagFields()) flags[std::string(f.name)] = p.flags.*(f.member);
    j["flags"] = flags;
    j["fieldbus"] = textFieldsToJson(p.fieldbus, fieldbusTextFields());
    ordered_json subnets = ordered_json::array();
    for (const SubnetConfig& c : p.subnets) {
        ordered_json s = textFieldsToJson(c, subnetTextFields());
        s["nodeCount"] = c.nodeCount;
        s["commandCount"] = c.commandCount;
        ordered_json nodes = ordered_json::array();
        for (std::int32_t i = 0; i < c.nodeCount && i < kMaxNodes; ++i)
            nodes.push_back(textFieldsToJson(c.nodes[static_cast<size_t>(i)], slaveNodeTextFields()));
        s["nodes"] = nodes;
        ordered_json cmds = ordered_json::array();
        for (std::int32_t i = 0; i < c.commandCount && i < kMaxCommands; ++i) {
            const ModbusCommand& cmd = c.commands[static_cast<size_t>(i)];
            ordered_json cj = textFieldsToJson(cmd, commandTextFields());
            cj["nodeIndex"] = cmd.nodeIndex;
            cmds.push_back(cj);
        }
        s["commands"] = cmds;
        subnets.push_back(s);
    }
    j["subnets"] = subnets;
    return j;
}

std::string projectFromJson(const json& j, Project& p) {
    try {
        readProjectJson(j, p);
    } catch (const JsonError& e) {
        return e.what;
    }
    return {};
}

}  // namespace korvex::cli
