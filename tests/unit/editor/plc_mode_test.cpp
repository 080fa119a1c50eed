// In PLC address mode: labels, help text and the
// mapping-address and number-of-data limits taken from the data blocks.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "model/plc_addressing.h"
#include "model/value_checks.h"

namespace korvex {
namespace {

using test::Editor;
using test::keys;

// One input block {100, 50} and one output block {300, 40}.
class FakeBlocks : public PlcAddressing {
public:
    std::string toModuleAddress(const ModbusCommand& c) const override { return c.mappingAddress; }
    std::string toShownAddress(const ModbusCommand& c) const override { return c.mappingAddress; }
    std::optional<std::string> gatewayOffset(const ModbusCommand& c) const override {
        const auto a = leadingDecimal(c.mappingAddress);
        if (!a) return std::nullopt;
        const bool read = c.functionCode == "1" || c.functionCode == "2" || c.functionCode == "3" || c.functionCode == "4";
        const bool input = read || c.mappingAddress.size() > 4;
        if (input && *a >= 100 && *a < 150) return byteToHexText(static_cast<std::uint32_t>(*a - 100));
        if (!input && *a >= 300 && *a < 340) {
            const std::string hex = byteToHexText(static_cast<std::uint32_t>(*a - 300));
            return (hex.size() == 1 ? "400" : "40") + hex;
        }
        return std::nullopt;
    }
    std::int64_t areaTotal(bool input) const override { return input ? 50 : 40; }
    std::optional<std::int64_t> bytesToAreaEnd(bool input, std::int64_t a) const override {
        if (input && a >= 100 && a < 150) return 150 - a;
        if (!input && a >= 300 && a < 340) return 340 - a;
        return std::nullopt;
    }
};

std::unique_ptr<Project> plcProject() {
    auto p = test::newProject(3);
    p->subnet(0).commands[0].mappingAddress = "100";
    p->subnet(0).commands[1].mappingAddress = "300";
    return p;
}

TEST(PlcMode, LabelsValuesAndHelp) {
    FakeBlocks blocks;
    Editor e(plcProject());
    e.s().setPlcAddressing(&blocks);
    e.select("Subnet/Node-1/Read Holding Registers");
    EXPECT_EQ(e.label(4), "PROFIBUS PLC Memory Address(DEC)");
    EXPECT_EQ(e.value(4), "100");
    EXPECT_EQ(e.label(5), "PROFIBUS PLC Memory Bit Offset(0-7)");
    e.s().clickCell(4, 1);
    EXPECT_EQ(e.s().promptText(), texts::HelpPlcMappingAddress.text);
}

TEST(PlcMode, MappingAddress) {
    struct Case {
        const char* name;
        const char* item;
        const char* input;
        const char* stored;
    };
    const char* read = "Subnet/Node-1/Read Holding Registers";
    const char* write = "Subnet/Node-1/Preset Multiple Registers";
    const Case cases[] = {
        {"read_in_block", read, "134", "134"},
        {"read_too_close_to_end", read, "135", "100"},
        {"read_outside", read, "99", "100"},
        {"read_with_letter", read, "1a", "100"},
        {"read_input_suffix", read, "120(input)", "100"},
        {"write_output_block", write, "324", "324"},
        {"write_output_end", write, "325", "300"},
        {"write_local_keeps_suffix", write, "120(input)", "120(input)"},
        {"write_h_suffix_kept", write, "310h", "310h"},
    };
    FakeBlocks blocks;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(plcProject());
        e.s().setPlcAddressing(&blocks);
        e.edit(c.item, 4, c.input);
        const int k = std::string(c.item) == read ? 0 : 1;
        EXPECT_EQ(e.project->subnet(0).commands[static_cast<size_t>(k)].mappingAddress, c.stored);
        EXPECT_EQ(e.value(4), c.stored);  // no "H" in PLC mode
        EXPECT_TRUE(e.op.shown().empty());
    }
}

TEST(PlcMode, NumberOfDataUsesTheBlockTotals) {
    struct Case {
        const char* item;
        const char* input;
        const char* stored;
    };
    const Case cases[] = {
        {"Subnet/Node-1/Read Holding Registers", "25", "25"},
        {"Subnet/Node-1/Read Holding Registers", "26", "8"},
        {"Subnet/Node-1/Preset Multiple Registers", "20", "20"},
        {"Subnet/Node-1/Preset Multiple Registers", "21", "8"},
    };
    FakeBlocks blocks;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + c.input);
        Editor e(plcProject());
        e.s().setPlcAddressing(&blocks);
        e.edit(c.item, 3, c.input);
        const int k = std::string(c.item).find("Read") != std::string::npos ? 0 : 1;
        EXPECT_EQ(e.project->subnet(0).commands[static_cast<size_t>(k)].dataCount, c.stored);
    }
}

}  // namespace
}  // namespace korvex
