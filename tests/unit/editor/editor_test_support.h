#pragma once
// Shared set-up of the editor tests: projects of every kind and a session over them.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_session.h"
#include "model/operator.h"
#include "model/project.h"
#include "model/texts.h"

namespace korvex::test {

// A project as "korvex-cli new --kind N" makes it: defaults and the default node.
inline std::unique_ptr<Project> newProject(int kind = 3, bool defaultNode = true) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    if (defaultNode) addDefaultNode(*p);
    return p;
}

// A session over its own project and scripted operator, after initialUpdate.
struct Editor {
    std::unique_ptr<Project> project;
    ScriptedOperator op;
    std::unique_ptr<EditorSession> session;
    Changes committed;  // what the last edit() or choose() commit returned

    explicit Editor(std::unique_ptr<Project> p, std::deque<Answer> answers = {})
        : project(std::move(p)), op(std::move(answers)) {
        session = std::make_unique<EditorSession>(*project, op);
        session->initialUpdate();
    }
    explicit Editor(int kind = 3) : Editor(newProject(kind)) {}

    EditorSession& s() { return *session; }
    SubnetConfig& subnet(int i = 0) { return project->subnet(i); }

    ItemPath path(const std::string& text) {
        auto p = session->findItem(text);
        EXPECT_TRUE(p.has_value()) << "no item " << text;
        return p.value_or(ItemPath{});
    }
    void select(const std::string& text) { session->selectItem(path(text)); }
    std::string value(int row) const { return session->row(row).value; }
    std::string label(int row) const { return session->row(row).label; }
    bool grey(int row) const { return session->row(row).grey; }

    // Select, click the value cell, commit the text; returns the keys shown.
    std::vector<std::string> edit(const std::string& item, int row, const std::string& text) {
        select(item);
        op.clear();
        session->clickCell(row, 1);
        EXPECT_EQ(session->editor().kind, EditorKind::Edit) << item << " row " << row;
        committed = session->commitEdit(text);
        return op.shownKeys();
    }
    std::vector<std::string> choose(const std::string& item, int row, const std::string& entry) {
        select(item);
        op.clear();
        session->clickCell(row, 1);
        EXPECT_EQ(session->editor().kind, EditorKind::List) << item << " row " << row;
        committed = session->commitChoice(entry);
        return op.shownKeys();
    }
    // The tree as "text:data" lines with two blanks per level.
    std::vector<std::string> treeLines() const {
        std::vector<std::string> out;
        std::function<void(const std::vector<TreeItem>&, int)> walk = [&](const std::vector<TreeItem>& items, int d) {
            for (const auto& i : items) {
                out.push_back(std::string(static_cast<size_t>(d) * 2, ' ') + i.text + ":" + std::to_string(i.data));
                walk(i.children, d + 1);
            }
        };
        walk(session->tree(), 0);
        return out;
    }
};

inline std::vector<std::string> keys(std::initializer_list<const char*> k) { return {k.begin(), k.end()}; }

// Adds a node with an address to subnet s (model only; rebuild the tree after).
inline void addNodeTo(Project& p, int s, const std::string& address) {
    SubnetConfig& c = p.subnet(s);
    c.nodes[static_cast<size_t>(c.nodeCount)] = SlaveNode{address, "Node-" + address};
    ++c.nodeCount;
}
// Adds a command with function code fc under node (1-based) of subnet s.
inline void addCommandTo(Project& p, int s, int node, const std::string& fc, const std::string& map = "0",
                         const std::string& count = "8") {
    SubnetConfig& c = p.subnet(s);
    ModbusCommand cmd;
    cmd.slaveAddress = c.nodes[static_cast<size_t>(node - 1)].address;
    cmd.functionCode = fc;
    cmd.startAddress = "0";
    cmd.dataCount = count;
    cmd.mappingAddress = map;
    cmd.byteCount = "16";
    cmd.dataFilter = std::string(defaultDataFilter(p));
    cmd.checkType = "CRC";
    cmd.scanType = "Fast Scan";
    cmd.byteSwap = "No Swap";
    cmd.nodeIndex = node;
    c.commands[static_cast<size_t>(c.commandCount)] = cmd;
    ++c.commandCount;
}

}  // namespace korvex::test
