#pragma once
// Two projects compared in the words of the property grid: which items and grid
// rows read differently. Each project is shown through its own EditorSession (on
// a copy, so neither project is touched) and every item's rows are read as the
// grid shows them.
//
// Items are matched level by level: the fieldbus root with the fieldbus root,
// subnet roots by their subnet, nodes under a subnet by their slave address (the
// k-th node with an address matches the k-th with the same address on the other
// side), commands by their order under their node. Rows of a matched item are
// matched by label (the k-th row with a label matches the k-th with that label).
// An item on one side only is one difference, whatever it holds. A node's name,
// which the tree shows rather than the grid, is compared as a row of its own
// (label texts::CompareNodeName, no row number).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/tree_model.h"
#include "model/plc_addressing.h"
#include "model/project.h"

namespace korvex {

// What counts. Offline: everything the grid shows. Gateway: only what a gateway
// keeps; both projects are first replaced by their gateway images (what an
// upload would bring back after a download of that project), so a field the
// download does not send, or the upload does not bring back, reads the same on
// both sides and never counts. Paths and double-click targets still name the
// items of the projects as given.
enum class CompareScope { Offline, Gateway };

// What a gateway would hold after a download of the project, as an upload
// brings it back. nullopt when the project cannot be put through (the caller
// reports it).
using GatewayImage = std::function<std::optional<Project>(const Project&)>;

struct CompareOptions {
    CompareScope scope = CompareScope::Offline;
    // PLC base-address mode (nullptr: off): mapping addresses read as the grid
    // shows them in that mode.
    const PlcAddressing* plc = nullptr;
    // Needed in gateway scope.
    GatewayImage gatewayImage;
};

struct Difference {
    // The item as korvex-cli PATH takes it (UTF-8, escaped, "[k]" for later
    // siblings of the same text): in A's tree, or B's for an item only in B.
    std::string path;
    // The item in the tree of the project as given, on each side (empty: that
    // project has no such item).
    ItemPath itemA;
    ItemPath itemB;
    // An item on one side only: wholeItem, and presentA or presentB tells which;
    // it has no label, rows -1 and empty values. Otherwise a row difference: the
    // row label and the row on each side (-1: that side has no such row).
    bool wholeItem = false;
    bool presentA = false;
    bool presentB = false;
    std::string label;     // as the grid shows it (the program's ASCII texts)
    int rowA = -1;
    int rowB = -1;
    std::string valueA;    // windows-1252 bytes as the grid shows them
    std::string valueB;

    bool operator==(const Difference&) const = default;
};

struct CompareResult {
    bool ok = true;                     // false: a gateway image could not be made
    std::vector<Difference> differences;  // in tree order
    bool same() const { return ok && differences.empty(); }
};

CompareResult compareProjects(const Project& a, const Project& b, const CompareOptions& options = {});

}  // namespace korvex
