// What a commit reports besides the stored value: whether the project now counts
// as modified, and why a value was not stored when no message box says it.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::keys;
using test::newProject;

const char* kReadCmd = "Subnet/Node-1/Read Holding Registers";

const auto kNoSetup = [](Project&) {};

// ---- modified: set exactly when a stored value changed ----

struct ModifiedCase {
    const char* name;
    int kind;
    const char* item;
    int row;
    const char* typed;   // typed into the edit box, or nullptr
    const char* chosen;  // chosen from the list, or nullptr
    bool modified;
};

TEST(Modified, OnlyWhenAStoredValueChanges) {
    const ModifiedCase cases[] = {
        {"ip_refused", 4, "Ethernet", 2, "300.1.1.1", nullptr, false},
        {"ip_typed_again", 4, "Ethernet", 2, "192.168.0.10", nullptr, false},
        {"ip_new", 4, "Ethernet", 2, "10.0.0.7", nullptr, true},
        {"timeout_refused_with_box", 3, "Subnet", 7, "70000", nullptr, false},
        {"timeout_typed_again", 3, "Subnet", 7, "300", nullptr, false},
        // A range-checked row that stores a new value marks the project too, so
        // closing asks to save it.
        {"timeout_new", 3, "Subnet", 7, "500", nullptr, true},
        {"start_address_typed_again", 3, kReadCmd, 2, "0", nullptr, false},
        {"mapping_address_letters", 3, kReadCmd, 4, "xyz", nullptr, false},
        {"node_address_typed_again", 3, "Subnet/Node-1", 0, "1", nullptr, false},
        {"scan_type_chosen_again", 3, kReadCmd, 9, nullptr, "Fast Scan", false},
        {"scan_type_new", 3, kReadCmd, 9, nullptr, "Slow Scan", true},
        {"baud_rate_chosen_again", 3, "Subnet", 1, nullptr, "19200", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(c.kind);
        ASSERT_FALSE(e.project->modified);
        if (c.typed) e.edit(c.item, c.row, c.typed);
        else e.choose(c.item, c.row, c.chosen);
        EXPECT_EQ(e.project->modified, c.modified);
    }
}

TEST(Modified, RenamingToTheSameNameIsNoChange) {
    Editor e(3);
    e.s().renameNode(e.path("Subnet/Node-1"), "Node-1");
    EXPECT_FALSE(e.project->modified);
    e.s().renameNode(e.path("Subnet/Node-1"), "Pump");
    EXPECT_TRUE(e.project->modified);
}

// ---- The reason for a refusal without a message box ----

struct RefusalCase {
    const char* name;
    int kind;
    std::function<void(Project&)> setup;
    const char* item;
    int row;
    const char* typed;
    const char* reason;                 // text-table key, or nullptr: no reason
    std::vector<std::string> reasonArgs;  // after the typed text
    std::vector<std::string> shown;       // message boxes
};

TEST(Refusal, ReasonWhenNoMessageBoxSaysWhy) {
    const auto pulse = [](Project& p) { p.subnet(0).outputMode = "Pluse output"; };
    const auto frame243 = [](Project& p) {
        p.subnet(0).protocolMode = "User Config";
        p.subnet(0).frameType = "Frame Length";
        p.subnet(0).inputLengthPrefix = "Enable";
    };
    const auto configData = [](Project& p) {
        p.flags.extendedSettingsFlag = false;
        p.flags.legacyFlag246 = true;
        p.fieldbus.profibusConfigMode = "Input configuration data";
    };
    const auto coilCommand = [](Project& p) { test::addCommandTo(p, 0, 1, "1"); };
    const RefusalCase cases[] = {
        {"mapping_address_letters", 3, kNoSetup, kReadCmd, 4, "xyz", "RefusedMappingAddressForm", {}, {}},
        {"ip_address_out_of_range", 4, kNoSetup, "Ethernet", 2, "300.1.1.1", "RefusedIpAddress", {}, {}},
        {"node_address_leading_zero", 3, kNoSetup, "Subnet/Node-1", 0, "05", "NodeAddressCleared", {}, {}},
        {"devicenet_address", 0, kNoSetup, "Fieldbus", 1, "64", "RefusedPlainNumber", {"0", "63"}, {}},
        {"config_data", 1, configData, "Fieldbus", 4, "D1E1", "RefusedConfigData", {}, {}},
        {"range_row_empty", 3, kNoSetup, "Subnet", 7, "", "RefusedEmpty", {}, {}},
        {"output_pulse", 3, pulse, "Subnet", 10, "199", "RefusedNumber", {"200", "2500"}, {}},
        {"frame_length_243", 3, frame243, "Subnet", 14, "243", "RefusedFrameLength243", {}, {}},
        {"start_address", 3, kNoSetup, kReadCmd, 2, "65536", "RefusedPlainNumber", {"0", "65535"}, {}},
        {"number_of_data_zero", 3, kNoSetup, kReadCmd, 3, "0", "RefusedPlainNumber", {"1", "122"}, {}},
        {"number_of_data_over", 0, kNoSetup, kReadCmd, 3, "37", "RefusedPlainNumber", {"1", "36"}, {}},
        {"number_of_data_kind4", 4, kNoSetup, " Subnet\u2160/Node-1/Read Holding Registers", 3, "x",
         "RefusedPositiveNumber", {}, {}},
        {"input_mark_on_read", 3, kNoSetup, kReadCmd, 4, "a0(input)", "RefusedInputMarkOnRead", {}, {}},
        {"mapping_range_kind0", 0, kNoSetup, kReadCmd, 4, "1", "RefusedMappingAddressRange", {}, {}},
        {"bit_offset", 3, coilCommand, "Subnet/Node-1/Read Coil Status", 5, "8", "RefusedPlainNumber", {"0", "7"}, {}},
        // A message box said it, or nothing was refused: no reason.
        {"range_row_with_box", 3, kNoSetup, "Subnet", 7, "70000", nullptr, {}, keys({"ValueOutOfRange"})},
        {"node_address_with_box", 3, kNoSetup, "Subnet/Node-1", 0, "248", nullptr, {}, keys({"SlaveAddressRange"})},
        {"number_of_data_with_box", 3, kNoSetup, kReadCmd, 3, "200", nullptr, {}, keys({"DataOutOfBounds"})},
        {"stored", 3, kNoSetup, "Subnet", 7, "500", nullptr, {}, {}},
        {"stored_with_text_after_the_number", 3, pulse, "Subnet", 10, "250ms", nullptr, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind);
        c.setup(*p);
        Editor e(std::move(p));
        EXPECT_EQ(e.edit(c.item, c.row, c.typed), c.shown);
        const std::optional<Message>& why = e.committed.refusal;
        if (!c.reason) {
            EXPECT_FALSE(why.has_value()) << why->text();
            continue;
        }
        ASSERT_TRUE(why.has_value());
        EXPECT_EQ(why->id.key, std::string(c.reason));
        std::vector<std::string> args{c.typed};
        args.insert(args.end(), c.reasonArgs.begin(), c.reasonArgs.end());
        EXPECT_EQ(why->args, args);
    }
}

TEST(Refusal, ReasonReadsAsTheStatusBarShowsIt) {
    Editor e(3);
    e.edit(kReadCmd, 4, "xyz");
    ASSERT_TRUE(e.committed.refusal.has_value());
    EXPECT_EQ(e.committed.refusal->text(), "\"xyz\" was not stored: enter a hex address such as 4000 or 4000H.");
    EXPECT_EQ(e.project->subnet(0).commands[0].mappingAddress, "0");
}

// A click elsewhere commits the open edit box with its text; the reason comes
// back with the changes of that click.
TEST(Refusal, CommitByAClickElsewhereCarriesTheReason) {
    auto p = newProject(4);
    p->fieldbus.ipAddress = "1.2.3";  // as a damaged file could hold it
    Editor e(std::move(p));
    e.select("Ethernet");
    e.s().clickCell(2, 1);
    ASSERT_EQ(e.s().editor().text, "1.2.3");
    const Changes c = e.s().selectItem(e.path(" Subnet\u2160"));
    ASSERT_TRUE(c.refusal.has_value());
    EXPECT_EQ(c.refusal->id.key, "RefusedIpAddress");
    EXPECT_FALSE(e.project->modified);
}

TEST(Refusal, TheNextCommitStartsWithoutAReason) {
    Editor e(3);
    e.edit(kReadCmd, 4, "xyz");
    ASSERT_TRUE(e.committed.refusal.has_value());
    e.edit(kReadCmd, 4, "10");
    EXPECT_FALSE(e.committed.refusal.has_value());
    EXPECT_EQ(e.project->subnet(0).commands[0].mappingAddress, "10");
}

}  // namespace
}  // namespace korvex
