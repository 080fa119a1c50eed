#include "editor/editor_session.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "model/encoding.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

namespace T = texts;

namespace {

// ---- Small helpers --------------------------------------------------------

bool isMode(const SubnetConfig& c, const Text& mode) { return c.protocolMode == mode.text; }
bool isMaster(const SubnetConfig& c) { return isMode(c, T::ModbusMaster); }

std::string blank1(const std::string& s) { return s == "-1" ? std::string() : s; }

int usedCount(std::int32_t count, int max) { return std::clamp<std::int32_t>(count, 0, max); }

// The function code as a number: 1..6, 15, 16; 0 for any other text.
int fcOf(const ModbusCommand& c) {
    if (functionText(c.functionCode).empty()) return 0;
    return static_cast<int>(parseDecimal(c.functionCode).value_or(0));
}
bool isBitFc(int fc) { return fc == 1 || fc == 2 || fc == 5 || fc == 15; }
bool isRegisterFc(int fc) { return fc == 3 || fc == 4 || fc == 6 || fc == 16; }
bool isReadFc(int fc) { return fc >= 1 && fc <= 4; }

// C's atoi: leading blanks, an optional sign, the digits that follow; 0 when there
// are none. Saturates instead of overflowing.
std::int64_t cAtoi(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\n' || t[i] == '\r' || t[i] == '\v' || t[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::int64_t v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        if (v < std::numeric_limits<std::int32_t>::max()) v = v * 10 + (t[i] - '0');
    }
    v = std::min<std::int64_t>(v, std::numeric_limits<std::int32_t>::max());
    return negative ? -v : v;
}

// C's strtol(text, 16): leading blanks, an optional sign, an optional "0x", the
// hex digits that follow; 0 when there are none. Saturates.
std::int64_t cStrtolHex(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i + 2 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(t[i + 2])))
        i += 2;
    std::int64_t v = 0;
    for (; i < t.size() && std::isxdigit(static_cast<unsigned char>(t[i])); ++i) {
        const char ch = t[i];
        const int d = ch <= '9' ? ch - '0' : (ch | 0x20) - 'a' + 10;
        if (v < 0x7FFFFFFF) v = v * 16 + d;
    }
    v = std::min<std::int64_t>(v, 0x7FFFFFFF);
    return negative ? -v : v;
}

// The whole text is the decimal number printed back with "%d".
std::optional<std::int64_t> canonicalDecimal(std::string_view t) {
    const auto v = parseDecimal(t);
    if (!v || std::to_string(*v) != t) return std::nullopt;
    return v;
}

// A command's mapping address as the gateway offset the limits use: "-1" and
// empty (not assigned) count as 0, anything else as C's strtol base 16, as an
// unsigned 32-bit value.
std::uint32_t mapValueOf(std::string_view text) {
    if (text.empty() || text == "-1") return 0;
    return static_cast<std::uint32_t>(cStrtolHex(text));
}

std::string lower(std::string s) {
    for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

std::vector<std::string> strings(std::initializer_list<std::string_view> list) {
    std::vector<std::string> out;
    for (auto s : list) out.emplace_back(s);
    return out;
}

std::vector<std::string> enableDisable() { return strings({T::Enable.text, T::Disable.text}); }

bool sameProject(const Project& a, const Project& b) {
    return a.deviceKind == b.deviceKind && a.flags == b.flags && a.fieldbus == b.fieldbus && a.subnets == b.subnets &&
           a.fileVersion == b.fileVersion && a.modified == b.modified && a.loadedFromFile == b.loadedFromFile;
}

// The "Number of Bytes" cell of a command (row 6).
std::string bytesCell(const ModbusCommand& c) {
    const int fc = fcOf(c);
    if (fc == 5) return "1";
    if (fc == 6) return "2";
    return blank1(c.byteCount);
}

}  // namespace

// ---- Changes and the Select Command list -----------------------------------

Changes& Changes::operator|=(const Changes& o) {
    tree |= o.tree;
    grid |= o.grid;
    selection |= o.selection;
    editor |= o.editor;
    prompt |= o.prompt;
    project |= o.project;
    state |= o.state;
    return *this;
}

const std::vector<SelectCommandEntry>& selectCommandEntries() {
    static const std::vector<SelectCommandEntry> entries = [] {
        std::vector<SelectCommandEntry> e;
        const std::pair<const char*, int> codes[] = {{"01 ", 1}, {"02 ", 2}, {"03 ", 3},  {"04 ", 4},
                                                     {"05 ", 5}, {"06 ", 6}, {"15 ", 15}, {"16 ", 16}};
        for (const auto& [prefix, code] : codes)
            e.push_back({std::string(prefix) + std::string(functionText(std::to_string(code))), code});
        return e;
    }();
    return entries;
}

// ---- Snapshots: what a call changed ----------------------------------------

struct EditorSession::Snapshot {
    Tree tree;
    ItemPath selected;
    ViewState state;
    GridRows grid;
    CellEditor editor;
    std::string prompt;
    Project project;
    std::uint64_t selectionSerial = 0;
};

EditorSession::Snapshot EditorSession::snapshot() const {
    return Snapshot{tree_, selected_, state_, grid_, editor_, prompt_, project_, selectionSerial_};
}

Changes EditorSession::finish(const Snapshot& before, bool selectionSet) {
    Changes c;
    c.tree = tree_ != before.tree;
    c.selection = selectionSet || selected_ != before.selected || selectionSerial_ != before.selectionSerial;
    c.grid = grid_ != before.grid;
    c.editor = editor_ != before.editor;
    c.prompt = prompt_ != before.prompt;
    c.project = !sameProject(project_, before.project);
    c.state = state_ != before.state;
    if (c.tree) ++treeRev_;
    if (c.selection) ++selectionRev_;
    if (c.grid) ++gridRev_;
    if (c.editor) ++editorRev_;
    if (c.prompt) ++promptRev_;
    if (c.project) ++projectRev_;
    return c;
}

EditorSession::EditorSession(Project& project, Operator& op) : project_(project), op_(&op) {}

// ---- Lifecycle and tree ---------------------------------------------------

Changes EditorSession::initialUpdate() {
    const Snapshot before = snapshot();
    closeEditors();
    state_ = ViewState{};
    copiedSubnet_ = -1;
    copiedAddress_ = -1;
    prompt_.clear();
    rebuildAndSelectFirst();
    return finish(before, true);
}

Changes EditorSession::createRoots() {
    const Snapshot before = snapshot();
    closeEditors();
    tree_ = makeRoots(project_.deviceKind);
    selected_.clear();
    state_ = ViewState{};
    clearGrid();
    return finish(before, true);
}

Changes EditorSession::rebuildTree() {
    const Snapshot before = snapshot();
    closeEditors();
    rebuildAndSelectFirst();
    return finish(before, true);
}

void EditorSession::rebuildAndSelectFirst() {
    state_.treeSelectionMade = false;
    tree_ = buildTree(project_);
    selected_.clear();
    clearGrid();
    if (!tree_.empty()) {
        selected_ = {0};
        showSelection();
    }
}

Changes EditorSession::selectItem(const ItemPath& path) {
    if (!itemAt(tree_, path)) return {};
    const Snapshot before = snapshot();
    if (editor_.kind == EditorKind::Edit) commitOpenEditBox();
    closeEditors();
    if (!itemAt(tree_, path)) return finish(before);
    selected_ = path;
    showSelection();
    return finish(before, true);
}

int EditorSession::subnetRootIndex(int subnet) const {
    for (size_t i = 0; i < tree_.size(); ++i) {
        if (subnetOfLabel(tree_[i].raw) == subnet) return static_cast<int>(i);
    }
    return -1;
}

void EditorSession::rebuildSubnetBranch(int subnet, bool withNodes) {
    const int r = subnetRootIndex(subnet);
    if (r < 0) return;
    TreeItem& root = tree_[static_cast<size_t>(r)];
    root.children.clear();
    if (withNodes) appendNodeItems(project_.subnet(subnet), root);
}

void EditorSession::clearGrid() {
    grid_ = GridRows{};
    rowHasField_.fill(false);
}

void EditorSession::setRow(int r, std::string_view label, std::string value, bool grey, bool field) {
    if (r < 0 || r >= kGridRowCount) return;
    GridRow& row = grid_[static_cast<size_t>(r)];
    row.label = std::string(label);
    row.value = std::move(value);
    row.grey = grey;
    rowHasField_[static_cast<size_t>(r)] = field;
}

const GridRow& EditorSession::row(int r) const {
    static const GridRow kEmpty;
    if (r < 0 || r >= kGridRowCount) return kEmpty;
    return grid_[static_cast<size_t>(r)];
}

void EditorSession::closeEditors() { editor_ = CellEditor{}; }

void EditorSession::setSelectionEnableFlags() {
    const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const bool ruleA = !project_.flags.legacyFlag244 || c.nodeCount == 0;
    state_.canAddNode = state_.canDeleteNode = state_.canAddCommand = state_.canDeleteCommand = false;
    switch (state_.nodeKind) {
        case NodeKind::Subnet:
            state_.canAddNode = isMaster(c) && ruleA;
            break;
        case NodeKind::Node:
            state_.canAddNode = ruleA;
            state_.canDeleteNode = true;
            state_.canAddCommand = true;
            break;
        case NodeKind::Command:
            state_.canDeleteCommand = true;
            break;
        default:
            break;
    }
}

void EditorSession::showSelection() {
    // 1. Editors hidden, selection made, prompt cleared, subnet and branch found.
    closeEditors();
    state_.treeSelectionMade = true;
    prompt_.clear();
    ++selectionSerial_;
    state_.selectedSubnet = subnetOfItem(tree_, selected_);
    state_.fieldbusBranchSelected = isInFieldbusBranch(tree_, selected_);
    // 2. Classify, clear the grid, enable states.
    state_.nodeKind = classifyItem(tree_, selected_);
    clearGrid();
    setSelectionEnableFlags();
    // 3. The rows of the kind.
    const TreeItem* item = itemAt(tree_, selected_);
    switch (state_.nodeKind) {
        case NodeKind::Fieldbus:
            fillFieldbusRows();
            break;
        case NodeKind::Subnet:
            fillSubnetRows();
            break;
        case NodeKind::Node:
            state_.currentNodeIndex = item ? item->data : 0;
            fillNodeRows();
            break;
        case NodeKind::Command:
            state_.currentCommandIndex = item ? item->data : 0;
            fillCommandRows();
            break;
        default:
            break;
    }
}

void EditorSession::fillFieldbusRows() {
    const FieldbusSettings& f = project_.fieldbus;
    const SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    const int kind = project_.deviceKind;
    setRow(0, T::LabelTypeOfProtocol.text, f.protocolType, true, false);
    const std::string hardware = T::SettingThroughHardwareConfiguration.str();

    if (kind == 0) {
        setRow(1, T::LabelDeviceNetAddress.text, blank1(f.deviceNetAddress), false, true);
        setRow(2, T::LabelDeviceNetBaudRate.text, f.deviceNetBaudRate, fl.legacyFlag233b, true);
        setRow(3, T::LabelDeviceNetInputSize.text, f.inputSize, false, true);
        setRow(4, T::LabelDeviceNetOutputSize.text, f.outputSize, false, true);
    } else if (kind == 1 || kind == 3) {
        const std::string_view in = T::LabelProfibusInputBytes.text;
        const std::string_view out = T::LabelProfibusOutputBytes.text;
        auto addressRows = [&](int first) {
            setRow(first, T::LabelProfibusAddress.text, f.profibusAddress, false, true);
            setRow(first + 1, T::LabelCompatibilityMode.text, f.compatibilityMode, false, true);
            setRow(first + 2, T::LabelConfigurationMode.text, f.configurationMode, false, true);
        };
        const bool extended = fl.extendedSettingsFlag || fl.legacyFlag243;
        if (fl.legacyFlag244) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            setRow(3, T::LabelInputFaultReset.text, s1.inputFaultReset, false, true);
        } else if (extended && isMaster(s1)) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            setRow(3, T::LabelTimeoutAction.text, s1.timeoutAction, false, true);
            setRow(4, T::LabelRetransmissionTimes.text, s1.retransmissionTimes,
                   s1.timeoutAction != T::ClearData.text, true);
            addressRows(5);
        } else if (extended && isMode(s1, T::UserConfig)) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            setRow(3, T::LabelInputLengthPrefix.text, s1.inputLengthPrefix, false, true);
            addressRows(4);
        } else if (extended) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            addressRows(3);
        } else if (!fl.legacyFlag246 && !fl.legacyFlag233a) {
            setRow(1, in, f.inputSize, false, true);
            setRow(2, out, f.outputSize, false, true);
        } else {
            const bool bytes = f.profibusConfigMode == T::UseBytesSelection.text;
            setRow(1, in, f.inputSize, !bytes, true);
            setRow(2, out, f.outputSize, !bytes, true);
            setRow(3, T::LabelProfibusConfigMode.text, f.profibusConfigMode, false, true);
            setRow(4, T::LabelProfibusConfigData.text, f.profibusConfigData, bytes, true);
        }
        if (kind == 1 && isMode(s1, T::UserConfig))
            setRow(3, T::LabelInputLengthPrefix.text, s1.inputLengthPrefix, false, true);
    } else if (kind == 4) {
        auto orDefault = [](const std::string& v, const Text& d) { return v.empty() ? d.str() : v; };
        setRow(1, T::LabelAssignIpMode.text, f.assignIpMode, false, true);
        setRow(2, T::LabelIpAddress.text, orDefault(f.ipAddress, T::DefaultIpAddress), false, true);
        setRow(3, T::LabelSubnetMask.text, orDefault(f.subnetMask, T::DefaultSubnetMask), false, true);
        setRow(4, T::LabelGatewayAddress.text, orDefault(f.gatewayAddress, T::DefaultGatewayAddress), false, true);
        setRow(5, T::LabelDns1.text, orDefault(f.dns1, T::ZeroIpAddress), false, true);
        setRow(6, T::LabelDns2.text, orDefault(f.dns2, T::ZeroIpAddress), false, true);
    } else if (kind == 5 || kind == 6) {
        setRow(1, T::LabelProfibusInputBytes.text, hardware, true, false);
        setRow(2, T::LabelProfibusOutputBytes.text, hardware, true, false);
        if (kind == 6) setRow(3, T::LabelInputLengthPrefix.text, s1.inputLengthPrefix, false, true);
    }
}

void EditorSession::fillSubnetRows() {
    const int s = state_.selectedSubnet;
    const SubnetConfig& c = project_.subnet(s);
    const VariantFlags& fl = project_.flags;
    const int kind = project_.deviceKind;
    const bool master = isMaster(c);
    const bool slave = isMode(c, T::ModbusSlave);
    const bool user = isMode(c, T::UserConfig);
    const bool k36 = kind == 3 || kind == 6;
    const bool l244User = fl.legacyFlag244 && user;

    // Labels.
    std::array<std::string_view, kGridRowCount> label{};
    label[0] = T::LabelProtocolsMode.text;
    label[1] = k36 ? T::LabelBaudRate.text : T::LabelModbusBaudRate.text;
    label[2] = T::LabelDataBits.text;
    label[3] = T::LabelParityCheck.text;
    label[4] = T::LabelStopBits.text;
    label[5] = T::LabelSlaveAddress.text;
    label[6] = T::LabelTransmissionMode.text;
    label[7] = T::LabelResponseTimeout.text;
    label[8] = T::LabelPollDelay.text;
    label[9] = T::LabelOutputMode.text;
    label[10] = T::LabelOutputPulse.text;
    label[11] = T::LabelScanRate.text;
    const bool sendReceiveRows = k36 && fl.extendedSettingsFlag && project_.fileVersion > 499;
    if (k36) {
        label[12] = fl.extendedSettingsFlag && master ? T::LabelResponseStatus.text : T::LabelFrameType.text;
        label[13] = T::LabelCharInterval.text;
        label[14] = T::LabelFrameLength.text;
        label[15] = T::LabelAutoSending.text;
        label[16] = T::LabelAutoSendPeriod.text;
        label[17] = T::LabelCrcCheck.text;
        label[18] = T::LabelCommInterface.text;
        label[19] = T::LabelDebugInterface.text;
        if (sendReceiveRows) {
            label[20] = T::LabelCharIntervalSend.text;
            label[21] = T::LabelCharIntervalReceive.text;
        }
    } else {
        if (fl.legacyFlag233b) {
            label[12] = T::LabelCommInterface.text;
            label[13] = T::LabelDebugInterface.text;
        } else if (l244User) {
            label[12] = T::LabelFrameType.text;
            label[13] = T::LabelCharInterval.text;
        }
        if (l244User) {
            label[14] = T::LabelFrameLength.text;
            label[15] = T::LabelStartCharacter.text;
            label[16] = T::LabelStopCharacter.text;
            label[17] = T::LabelAutoSending.text;
            label[18] = T::LabelAutoSendPeriod.text;
            label[19] = T::LabelCrcCheck.text;
        }
    }
    for (int r = 0; r < kGridRowCount; ++r) setRow(r, label[static_cast<size_t>(r)], "", false, false);

    auto field = [&](int r, const std::string& value, bool grey = false) {
        setRow(r, label[static_cast<size_t>(r)], value, grey, true);
    };
    auto blankGrey = [&](int r) { setRow(r, label[static_cast<size_t>(r)], "", true, false); };

    // Row 0 and the serial group (rows 1-4).
    field(0, c.protocolMode, user && fl.legacyFlag243);
    if (master) {
        field(1, c.masterBaudRate);
        field(2, c.masterDataBits);
        field(3, c.masterParity);
        field(4, c.masterStopBits);
    } else if (slave) {
        field(1, c.slaveBaudRate);
        field(2, c.slaveDataBits);
        field(3, c.slaveParity);
        field(4, c.slaveStopBits);
    } else if (user) {
        field(1, c.userBaudRate);
        field(2, c.userDataBits);
        field(3, c.userParity);
        field(4, c.userStopBits);
    } else {
        field(1, c.customBaudRate);
        field(2, c.customDataBits);
        field(3, c.customParity);
        field(4, c.customStopBits);
    }

    // Rows 5-11.
    if (slave) field(5, c.slaveAddress);
    else blankGrey(5);
    if (master) field(6, c.masterTransmissionMode);
    else if (slave) field(6, c.slaveTransmissionMode);
    else blankGrey(6);
    if (master) {
        field(7, blank1(c.responseTimeout));
        field(8, blank1(c.pollDelay));
        field(9, c.outputMode);
        field(10, blank1(c.outputPulse), c.outputMode != T::OutputPulse.text);
        field(11, blank1(c.scanRate));
    } else {
        for (int r = 7; r <= 11; ++r) blankGrey(r);
    }
    state_.pulseOutputActive = master && c.outputMode == T::OutputPulse.text;

    // Rows 12-19.
    if (master || slave) {
        if (master && kind == 3) field(12, c.responseStatus);
        if (kind == 3) {
            field(18, c.commInterface);
            setRow(19, label[19], T::ValueUsb.str(), true, false);
        }
        if (fl.legacyFlag233b) {
            field(12, c.commInterface);
            setRow(13, label[13], c.commInterface == T::Rs232.text ? T::Rs485.str() : T::Rs232.str(), true, false);
        }
        if (kind == 3) {
            for (int r = master ? 13 : 12; r <= 17; ++r) grid_[static_cast<size_t>(r)].grey = true;
        }
    } else if (user) {
        field(12, c.frameType);
        field(13, c.charInterval);
        field(14, c.frameLength, c.frameType == T::FrameTypeCharInterval.text);
        if (fl.legacyFlag244) {
            field(15, c.startCharacter);
            field(16, c.stopCharacter);
            field(17, c.autoSending);
            field(18, c.autoSendPeriod);
            field(19, c.crcCheck);
        } else {
            field(15, c.autoSending);
            field(16, c.autoSendPeriod, c.autoSending == T::Disable.text);
            field(17, c.crcCheck);
            field(18, c.commInterface);
            setRow(19, label[19], T::ValueUsb.str(), true, false);
        }
    }
    if (kind == 6) grid_[18].grey = true;

    // Rows 20, 21.
    if (sendReceiveRows) {
        field(20, c.charIntervalSend);
        field(21, c.charIntervalReceive);
    }
}

void EditorSession::fillNodeRows() {
    const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const int n = state_.currentNodeIndex;
    if (n < 1 || n > usedCount(c.nodeCount, kMaxNodes)) return;
    setRow(0, T::LabelNodeSlaveAddress.text, blank1(c.nodes[static_cast<size_t>(n - 1)].address), false, true);
}

void EditorSession::fillCommandRows() {
    const int s = state_.selectedSubnet;
    SubnetConfig& c = project_.subnet(s);
    const int k = state_.currentCommandIndex;
    if (k < 1 || k > usedCount(c.commandCount, kMaxCommands)) return;
    ModbusCommand& cmd = c.commands[static_cast<size_t>(k - 1)];
    // Before display: the node's address and the subnet's check type are stored.
    if (const SlaveNode* node = nodeOfCommand(project_, s, k - 1)) cmd.slaveAddress = node->address;
    if (c.masterTransmissionMode == T::Rtu.text) cmd.checkType = T::Crc.str();
    else if (c.masterTransmissionMode == T::Ascii.text) cmd.checkType = T::Lrc.str();

    const int fc = fcOf(cmd);
    const bool filter = usesDataFilter(project_);
    const bool plc = plc_ != nullptr;
    setRow(0, T::LabelNodeSlaveAddress.text, blank1(cmd.slaveAddress), true, true);
    setRow(1, T::LabelFunctionCode.text, cmd.functionCode, true, true);
    setRow(2, T::LabelStartingAddress.text, blank1(cmd.startAddress), false, true);
    setRow(3, T::LabelNumberOfData.text, blank1(cmd.dataCount), fc == 5 || fc == 6, true);
    std::string map;
    if (!cmd.mappingAddress.empty() && cmd.mappingAddress != "-1")
        map = plc ? cmd.mappingAddress : cmd.mappingAddress + "H";
    setRow(4, plc ? T::LabelPlcMappingAddress.text : T::LabelMappingAddress.text, map, false, true);
    setRow(5, plc ? T::LabelPlcBitOffset.text : T::LabelBitOffset.text, blank1(cmd.bitOffset),
           fc == 3 || fc == 4 || fc == 6 || fc == 16, true);
    setRow(6, T::LabelNumberOfBytes.text, bytesCell(cmd), true, true);
    const bool row7White =
        (fc == 3 || fc == 4 || (!filter && (fc == 6 || fc == 16))) && cmd.byteSwap == T::NoSwap.text;
    setRow(7, filter ? T::LabelDataFilter.text : T::LabelByteSwap.text,
           row7White ? cmd.dataFilter : (filter ? T::Fullword.str() : T::NoSwap.str()), !row7White, true);
    setRow(8, T::LabelTypeOfCheck.text, cmd.checkType, true, true);
    setRow(9, T::LabelTypeOfScan.text, cmd.scanType, false, true);
    const bool row10White = isRegisterFc(fc) && cmd.dataFilter == T::Fullword.text;
    setRow(10, T::LabelByteSwap.text, row10White ? cmd.byteSwap : T::NoSwap.str(), !row10White, true);
}

// ---- View state -------------------------------------------------------------

bool EditorSession::canCopyNode() const {
    const TreeItem* item = itemAt(tree_, selected_);
    if (!item || item->raw.size() < 2) return false;
    return item->raw.compare(0, 2, T::NodeNamePrefix.text.substr(0, 2)) == 0;
}

bool EditorSession::canPasteNode() const {
    const TreeItem* item = itemAt(tree_, selected_);
    return hasCopy() && item && isSubnetLabel(item->raw);
}

SubnetConfig* EditorSession::clickedSubnet() {
    if (clickSubnet_ < 0 || clickSubnet_ >= kSubnetCount) return nullptr;
    return &project_.subnet(clickSubnet_);
}

SlaveNode* EditorSession::clickedNode() {
    SubnetConfig* c = clickedSubnet();
    if (!c || clickNode_ < 1 || clickNode_ > usedCount(c->nodeCount, kMaxNodes)) return nullptr;
    return &c->nodes[static_cast<size_t>(clickNode_ - 1)];
}

ModbusCommand* EditorSession::clickedCommand() {
    SubnetConfig* c = clickedSubnet();
    if (!c || clickCommand_ < 1 || clickCommand_ > usedCount(c->commandCount, kMaxCommands)) return nullptr;
    return &c->commands[static_cast<size_t>(clickCommand_ - 1)];
}

// ---- Editable cells and choice lists -----------------------------------------

bool EditorSession::cellEditable(int r) const {
    if (r < 0 || r >= kGridRowCount || !state_.treeSelectionMade) return false;
    const size_t ri = static_cast<size_t>(r);
    const int kind = project_.deviceKind;
    switch (state_.nodeKind) {
        case NodeKind::Fieldbus:
            if (r == 0 || !rowHasField_[ri] || grid_[ri].grey) return false;
            if (kind == 0 && project_.flags.legacyFlag233b && r == 2) return false;
            return true;
        case NodeKind::Subnet: {
            if (!rowHasField_[ri] || grid_[ri].grey) return false;
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            if (r == 5 && !isMode(c, T::ModbusSlave)) return false;
            if (r == 10 && !state_.pulseOutputActive) return false;
            if (kind == 4 && (r == 2 || r == 6)) return false;
            return true;
        }
        case NodeKind::Node:
            return r == 0 && rowHasField_[0];
        case NodeKind::Command: {
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            const int k = state_.currentCommandIndex;
            if (k < 1 || k > usedCount(c.commandCount, kMaxCommands)) return false;
            const ModbusCommand& cmd = c.commands[static_cast<size_t>(k - 1)];
            const int fc = fcOf(cmd);
            switch (r) {
                case 2:
                case 4:
                case 9:
                    return true;
                case 3:
                    return fc != 5 && fc != 6;
                case 5:
                    return !(fc == 3 || fc == 4 || fc == 6 || fc == 16);
                case 7:
                    if (isBitFc(fc) || cmd.byteSwap != T::NoSwap.text) return false;
                    if ((fc == 6 || fc == 16) && usesDataFilter(project_)) return false;
                    return true;
                case 10:
                    return !isBitFc(fc) && cmd.dataFilter == T::Fullword.text;
                default:
                    return false;
            }
        }
        default:
            return false;
    }
}

std::vector<std::string> EditorSession::choiceList(int r) const {
    if (r < 0 || r >= kGridRowCount) return {};
    const std::string& label = grid_[static_cast<size_t>(r)].label;
    const int kind = project_.deviceKind;
    const VariantFlags& fl = project_.flags;
    switch (state_.nodeKind) {
        case NodeKind::Fieldbus:
            if (r == 0) return {};
            if (kind == 0) {
                if (label == T::LabelDeviceNetBaudRate.text)
                    return strings({T::Baud125K.text, T::Baud250K.text, T::Baud500K.text, T::InterceptAutomatically.text});
                if (label == T::LabelDeviceNetInputSize.text) {
                    auto l = strings({"8", "16", "32", "64", "96"});
                    if (!fl.legacyFlag245) l.insert(l.end(), {"128", "160"});
                    return l;
                }
                if (label == T::LabelDeviceNetOutputSize.text) {
                    auto l = strings({"8", "16", "32", "64"});
                    if (!fl.legacyFlag245) l.insert(l.end(), {"96", "112"});
                    return l;
                }
            } else if (kind == 4) {
                if (label == T::LabelAssignIpMode.text)
                    return strings({T::ManualAssign.text, T::Bootp.text, T::Dhcp.text});
            } else if (kind == 1 || kind == 3) {
                if (label == T::LabelProfibusInputBytes.text || label == T::LabelProfibusOutputBytes.text)
                    return strings({"8", "16", "48", "112"});
                if (label == T::LabelInputLengthPrefix.text || label == T::LabelInputFaultReset.text ||
                    label == T::LabelCompatibilityMode.text)
                    return enableDisable();
                if (label == T::LabelTimeoutAction.text) return strings({T::ClearData.text, T::HoldData.text});
                if (label == T::LabelProfibusConfigMode.text)
                    return strings({T::UseBytesSelection.text, T::InputConfigurationData.text});
                if (label == T::LabelProfibusAddress.text)
                    return strings({T::AddressSettingUsingHardware.text, T::EnterAddressValue.text});
                if (label == T::LabelConfigurationMode.text)
                    return strings({T::ViaKorvex.text, T::ViaProfibusMasterSoftware.text});
            } else if (kind == 6) {
                if (r == 3) return enableDisable();
            }
            return {};
        case NodeKind::Subnet: {
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            switch (r) {
                case 0: {
                    if (fl.legacyFlag244) return strings({T::ModbusMaster.text, T::UserConfig.text});
                    auto l = strings({T::ModbusMaster.text, T::ModbusSlave.text});
                    if (kind == 3) l.emplace_back(T::UserConfig.text);
                    if (kind == 2) l.emplace_back(T::SelfDefiningProtocol.text);
                    return l;
                }
                case 1: {
                    std::vector<std::string> l;
                    if (kind != 4) l = strings({"300", "600"});
                    for (auto b : {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}) l.emplace_back(b);
                    return l;
                }
                case 2:
                    return strings({"8"});
                case 3:
                    return strings({T::Parity_None.text, T::Parity_Odd.text, T::Parity_Even.text, T::Parity_Mark.text,
                                    T::Parity_Space.text});
                case 4:
                    return strings({"1", "2"});
                case 6:
                    return strings({T::Rtu.text, T::Ascii.text});
                case 9:
                    return strings({T::OutputCycle.text, T::OutputForbidden.text, T::OutputChangeOfValue.text});
                case 12: {
                    if (fl.legacyFlag233b) return strings({T::Rs485.text, T::Rs232.text});
                    if (fl.extendedSettingsFlag && isMaster(c)) {
                        auto l = strings({T::Disable.text});
                        for (int i = 1; i <= 13; ++i) l.push_back(std::to_string(i) + T::Bytes.str());
                        return l;
                    }
                    return strings({T::FrameTypeCharInterval.text, T::FrameTypeFrameLength.text});
                }
                default:
                    if (label == T::LabelAutoSending.text || label == T::LabelCrcCheck.text) return enableDisable();
                    if (label == T::LabelCommInterface.text) return strings({T::Rs485.text, T::Rs232.text});
                    return {};
            }
        }
        case NodeKind::Command: {
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            const int k = state_.currentCommandIndex;
            if (k < 1 || k > usedCount(c.commandCount, kMaxCommands)) return {};
            const int fc = fcOf(c.commands[static_cast<size_t>(k - 1)]);
            if (r == 7) {
                if (usesDataFilter(project_)) return strings({T::Fullword.text, T::HighByte.text, T::LowByte.text});
                auto l = strings({T::NoSwap.text, T::TwoBytesSwap.text});
                if (!(fc == 6 && kind == 4)) l.emplace_back(T::FourBytesSwap.text);
                return l;
            }
            if (r == 9) return strings({T::FastScan.text, T::SlowScan.text});
            if (r == 10) {
                auto l = strings({T::NoSwap.text, T::TwoBytesSwap.text});
                if (fc != 6) l.emplace_back(T::FourBytesSwap.text);
                return l;
            }
            return {};
        }
        default:
            return {};
    }
}

// ---- Clicking ---------------------------------------------------------------

CellClick EditorSession::clickCell(int r, int column) {
    const Snapshot before = snapshot();
    if (editor_.kind == EditorKind::Edit) commitOpenEditBox();
    closeEditors();
    CellClick result;
    if (!state_.treeSelectionMade || r < 0 || r >= kGridRowCount || column < 0 || column >= kGridColumnCount) {
        result.promptText = prompt_;
        result.changes = finish(before);
        return result;
    }
    result.accepted = true;
    clickKind_ = state_.nodeKind;
    currentRow_ = r;
    currentColumn_ = column;
    clickSubnet_ = state_.selectedSubnet;
    clickNode_ = state_.currentNodeIndex;
    clickCommand_ = state_.currentCommandIndex;
    clickLabel_ = grid_[static_cast<size_t>(r)].label;
    clickSelectionSerial_ = selectionSerial_;

    std::string help;
    result.prompt = helpFor(clickKind_, r, help);
    if (result.prompt == PromptUpdate::Text) prompt_ = help;
    else if (result.prompt == PromptUpdate::Empty) prompt_.clear();

    if (column == 1 && cellEditable(r)) {
        auto list = choiceList(r);
        if (!list.empty()) {
            editor_ = CellEditor{EditorKind::List, r, column, {}, std::move(list)};
        } else {
            editor_ = CellEditor{EditorKind::Edit, r, column, grid_[static_cast<size_t>(r)].value, {}};
        }
    }
    result.editor = editor_;
    result.promptText = prompt_;
    result.changes = finish(before);
    return result;
}

PromptUpdate EditorSession::helpFor(NodeKind kind, int r, std::string& out) const {
    auto text = [&](const Text& t) {
        out = t.str();
        return PromptUpdate::Text;
    };
    auto empty = [&] {
        out.clear();
        return PromptUpdate::Empty;
    };
    const int dk = project_.deviceKind;
    const VariantFlags& fl = project_.flags;
    const SubnetConfig& s1 = project_.subnet(0);
    switch (kind) {
        case NodeKind::Fieldbus: {
            if (r == 0) return text(T::HelpFieldbusProtocol);
            if (dk == 0) {
                static const Text* rows[] = {&T::HelpDeviceNetAddress, &T::HelpDeviceNetBaudRate, &T::HelpDeviceNetInputBytes, &T::HelpDeviceNetOutputBytes};
                if (r >= 1 && r <= 4) return text(*rows[r - 1]);
                return empty();
            }
            if (dk == 1 || dk == 3) {
                if (r == 1) return text(T::HelpProfibusInputBuffer);
                if (r == 2) return text(T::HelpProfibusOutputBuffer);
                if (isMaster(s1)) {
                    static const Text* rows[] = {&T::HelpTimeoutAction, &T::HelpRetransmissionTimes, &T::HelpProfibusAddress, &T::HelpCompatibilityMode, &T::HelpConfigurationMode};
                    if (r >= 3 && r <= 7) return text(*rows[r - 3]);
                } else if (isMode(s1, T::ModbusSlave)) {
                    static const Text* rows[] = {&T::HelpProfibusAddress, &T::HelpCompatibilityMode, &T::HelpConfigurationMode};
                    if (r >= 3 && r <= 5) return text(*rows[r - 3]);
                } else {
                    static const Text* rows[] = {&T::HelpInputLengthPrefix, &T::HelpProfibusAddress, &T::HelpCompatibilityMode, &T::HelpConfigurationMode};
                    if (r >= 3 && r <= 6) return text(*rows[r - 3]);
                }
                return empty();
            }
            if (dk == 5 || dk == 6) {
                if (r == 1) return text(T::HelpProfibusInputBuffer);
                if (r == 2) return text(T::HelpProfibusOutputBuffer);
                if (r == 3 && isMode(s1, T::UserConfig)) return text(T::HelpInputLengthPrefix);
                return empty();
            }
            return empty();
        }
        case NodeKind::Subnet: {
            const bool k36 = dk == 3 || dk == 6;
            if (r == 0) return text(T::HelpProtocolsMode);
            if (r == 1) return text(fl.legacyFlag243 ? T::HelpBaudRateBrief : T::HelpModbusBaudRate);
            if (r >= 2 && r <= 11) {
                static const Text* rows[] = {&T::HelpDataBits, &T::HelpParityCheck, &T::HelpStopBits, &T::HelpGatewaySlaveAddress, &T::HelpTransmissionMode,
                                             &T::HelpResponseTimeout, &T::HelpPollDelay, &T::HelpOutputMode, &T::HelpOutputPulse, &T::HelpScanRate};
                return text(*rows[r - 2]);
            }
            if (r == 12) {
                if (fl.legacyFlag233b) return text(T::HelpPairedCommInterface);
                if (k36) return text(isMaster(s1) ? T::HelpResponseStatus : T::HelpFrameType);
                return PromptUpdate::Unchanged;
            }
            if (r == 13) {
                if (fl.legacyFlag233b) return text(T::HelpPairedDebugInterface);
                if (k36) return text(T::HelpCharInterval);
                return PromptUpdate::Unchanged;
            }
            if (r >= 14 && r <= 19) {
                static const Text* rows[] = {&T::HelpFrameLength, &T::HelpAutoSending, &T::HelpAutoSendPeriod, &T::HelpCrcCheck, &T::HelpCommInterface, &T::HelpDebugInterface};
                if (k36) return text(*rows[r - 14]);
                return PromptUpdate::Unchanged;
            }
            if (r == 20 && fl.extendedSettingsFlag) return text(T::HelpCharIntervalSend);
            if (r == 21 && fl.extendedSettingsFlag) return text(T::HelpCharIntervalReceive);
            return PromptUpdate::Unchanged;
        }
        case NodeKind::Node:
            if (r == 0) return text(T::HelpNodeSlaveAddress);
            return PromptUpdate::Unchanged;
        case NodeKind::Command:
            switch (r) {
                case 0: return text(T::HelpNodeSlaveAddress);
                case 1: return text(T::HelpFunctionCode);
                case 2: return text(T::HelpStartingAddress);
                case 3:
                    if (fl.legacyFlag244) return text(T::HelpNumberOfDataUpTo84);
                    if (fl.extendedSettingsFlag && project_.fileVersion >= 500) return text(T::HelpNumberOfDataUpTo122);
                    return text(T::HelpNumberOfDataUpTo56);
                case 4:
                    if (fl.legacyFlag244) return text(T::HelpMappingAddressTo00A7);
                    if (plc_) return text(T::HelpPlcMappingAddress);
                    return text(T::HelpMappingAddressTo00F3);
                case 5: return text(T::HelpBitOffset);
                case 6: return empty();
                case 7: return text(usesDataFilter(project_) ? T::HelpDataFilter : T::HelpByteSwap);
                case 8: return empty();
                case 9: return text(T::HelpScanType);
                case 10: return text(T::HelpByteSwap);
                default: return PromptUpdate::Unchanged;
            }
        default:
            return PromptUpdate::Unchanged;
    }
}

// ---- Edit box commit --------------------------------------------------------

Changes EditorSession::commitEdit(std::string_view text) {
    if (editor_.kind != EditorKind::Edit) return {};
    const Snapshot before = snapshot();
    editor_.text = std::string(text);
    commitOpenEditBox();
    return finish(before);
}

void EditorSession::commitOpenEditBox() {
    if (editor_.kind != EditorKind::Edit) return;
    std::string text = editor_.text;
    const int r = currentRow_;
    closeEditors();
    if (r < 0 || r >= kGridRowCount) return;
    bool rangeEnding = false;
    bool blankCell = false;
    switch (clickKind_) {
        case NodeKind::Fieldbus:
            commitFieldbusEdit(text, rangeEnding);
            break;
        case NodeKind::Subnet:
            commitSubnetEdit(text, rangeEnding, blankCell);
            break;
        case NodeKind::Node:
            commitNodeEdit(text);
            break;
        case NodeKind::Command:
            commitCommandEdit(text);
            break;
        default:
            break;
    }
    (void)blankCell;  // the out-of-range pulse text is already empty
    const bool shown = selectionUnchanged();
    GridRow& cell = grid_[static_cast<size_t>(r)];
    if (rangeEnding) {
        if (shown) cell.value = text;  // the model value, set by the rule
        return;
    }
    if (shown) {
        if (clickKind_ == NodeKind::Command && r == 4) {
            cell.value = (text.empty() || text == "-1") ? std::string() : (plc_ ? text : text + "H");
        } else {
            cell.value = text == "-1" ? std::string() : text;
        }
    }
    project_.modified = true;
}

void EditorSession::commitFieldbusEdit(std::string& text, bool& rangeEnding) {
    FieldbusSettings& f = project_.fieldbus;
    SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    const int kind = project_.deviceKind;
    const int r = currentRow_;
    const std::string& label = clickLabel_;

    if (kind == 0 && r == 1) {
        const auto v = canonicalDecimal(text);
        if (v && *v <= 63) f.deviceNetAddress = text;
        else text = f.deviceNetAddress;
        return;
    }
    if (kind == 4 && r >= 2 && r <= 6) {
        std::string* fields[] = {&f.ipAddress, &f.subnetMask, &f.gatewayAddress, &f.dns1, &f.dns2};
        std::string& field = *fields[r - 2];
        if (isValidIPv4(text)) field = text;
        else text = field;
        return;
    }
    if ((kind == 1 || kind == 3) && (fl.legacyFlag233a || fl.legacyFlag246) &&
        label == T::LabelProfibusConfigData.text) {
        bool ok = text.size() <= 24;
        for (size_t i = 0; ok && i < text.size(); ++i) {
            const char ch = text[i];
            if (i % 3 == 2) ok = ch == ' ';
            else ok = ch == ' ' || std::isxdigit(static_cast<unsigned char>(ch));
        }
        if (ok) f.profibusConfigData = text;
        else text = f.profibusConfigData;
        return;
    }
    if (fl.extendedSettingsFlag && label == T::LabelRetransmissionTimes.text) {
        rangeEnding = true;
        if (checkIntegerField(*op_, text, 2, 254, T::LabelRetransmissionTimes.text)) s1.retransmissionTimes = text;
        text = s1.retransmissionTimes;
        return;
    }
    if (fl.extendedSettingsFlag && label == T::LabelProfibusAddress.text) {
        rangeEnding = true;
        if (checkIntegerField(*op_, text, 0, 99, T::LabelProfibusAddress.text)) f.profibusAddress = text;
        text = f.profibusAddress;
        return;
    }
    // No rule for this row: nothing is stored (normal ending).
}

void EditorSession::commitSubnetEdit(std::string& text, bool& rangeEnding, bool& blankCell) {
    SubnetConfig* cp = clickedSubnet();
    if (!cp) return;
    SubnetConfig& c = *cp;
    const SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    auto ranged = [&](std::string& field, std::int64_t min, std::int64_t max, const Text& label) {
        rangeEnding = true;
        if (checkIntegerField(*op_, text, min, max, label.text)) field = text;
        text = blank1(field);
    };
    switch (currentRow_) {
        case 5:
            if (fl.extendedSettingsFlag) ranged(c.slaveAddress, 1, 247, T::LabelSlaveAddress);
            return;
        case 7:
            ranged(c.responseTimeout, 5, 60000, T::LabelResponseTimeout);
            return;
        case 8:
            ranged(c.pollDelay, 0, 2500, T::LabelPollDelay);
            return;
        case 10: {
            if (!state_.pulseOutputActive) return;
            const auto v = leadingDecimal(text);
            if (v && *v >= 200 && *v <= 2500) {
                c.outputPulse = text;
            } else {
                text.clear();
                blankCell = true;
            }
            return;
        }
        case 11:
            ranged(c.scanRate, 1, 255, T::LabelScanRate);
            return;
        case 13:
            if (fl.legacyFlag244) c.charInterval = text;
            else ranged(c.charInterval, 10, 60000, T::LabelCharInterval);
            return;
        case 14:
            if (fl.legacyFlag244) {
                c.frameLength = text;
            } else {
                rangeEnding = true;
                if (checkIntegerField(*op_, text, 1, 243, T::LabelFrameLength.text)) {
                    const bool refused = parseDecimal(text).value_or(0) == 243 && s1.inputLengthPrefix == T::Enable.text;
                    if (!refused) c.frameLength = text;
                }
                text = c.frameLength;
            }
            return;
        case 15:
            if (fl.legacyFlag244) c.startCharacter = text;
            return;
        case 16:
            if (fl.legacyFlag244) c.stopCharacter = text;
            else ranged(c.autoSendPeriod, 10, 60000, T::LabelAutoSendPeriod);
            return;
        case 18:
            if (fl.legacyFlag244) c.autoSendPeriod = text;
            return;
        case 20:
            if (fl.extendedSettingsFlag) ranged(c.charIntervalSend, 0, 6000, T::LabelCharIntervalSend);
            return;
        case 21:
            if (fl.extendedSettingsFlag) ranged(c.charIntervalReceive, 0, 6000, T::LabelCharIntervalReceive);
            return;
        default:
            return;
    }
}

void EditorSession::commitNodeEdit(std::string& text) {
    if (currentRow_ != 0) return;
    SubnetConfig* cp = clickedSubnet();
    SlaveNode* node = clickedNode();
    if (!cp || !node) return;
    SubnetConfig& c = *cp;
    const int count = usedCount(c.nodeCount, kMaxNodes);
    // 1. Duplicate check.
    for (int j = 0; j < count; ++j) {
        if (j == clickNode_ - 1) continue;
        if (c.nodes[static_cast<size_t>(j)].address == text && text != node->address) {
            op_->showMessage({T::NodeRepetitive, {}});
            text = node->address;
            return;
        }
    }
    // 2. Range check.
    const std::int64_t v = cAtoi(text);
    if (text.empty() || v < 1 || v > 247) {
        op_->showMessage({T::SlaveAddressRange, {}});
        text = node->address;
        return;
    }
    const int root = subnetRootIndex(clickSubnet_);
    TreeItem* nodeItem = nullptr;
    if (root >= 0) {
        for (auto& child : tree_[static_cast<size_t>(root)].children) {
            if (child.data == clickNode_) {
                nodeItem = &child;
                break;
            }
        }
    }
    if (canonicalDecimal(text)) {
        // 3. Store; the node's name, its tree item and its commands follow.
        node->address = text;
        node->name = T::NodeNamePrefix.str() + text;
        if (nodeItem) {
            nodeItem->raw = node->name;
            nodeItem->text = windows1252ToUtf8(node->name);
            for (const auto& cmdItem : nodeItem->children) {
                if (cmdItem.data >= 1 && cmdItem.data <= usedCount(c.commandCount, kMaxCommands))
                    c.commands[static_cast<size_t>(cmdItem.data - 1)].slaveAddress = text;
            }
        }
    } else {
        // 4. Not the canonical form (for example 05): the node becomes invalid.
        text.clear();
        const int commands = usedCount(c.commandCount, kMaxCommands);
        for (int k = 0; k < commands; ++k) {
            auto& cmd = c.commands[static_cast<size_t>(k)];
            if (cmd.slaveAddress == node->address) cmd.slaveAddress = "-1";
        }
        node->address = "-1";
    }
}

void EditorSession::commitCommandEdit(std::string& text) {
    ModbusCommand* cp = clickedCommand();
    if (!cp) return;
    ModbusCommand& cmd = *cp;
    const int fc = fcOf(cmd);
    const int kind = project_.deviceKind;
    const VariantFlags& fl = project_.flags;
    const bool shown = selectionUnchanged();

    // The gateway offset and the area ends the limits use (PLC mode: through the blocks).
    std::uint32_t map = mapValueOf(cmd.mappingAddress);
    std::int64_t inputEnd = 0xF4;
    std::int64_t outputEnd = 0x40F4;
    if (plc_) {
        std::string offset;
        if (cmd.mappingAddress.empty() || cmd.mappingAddress == "-1") {
            offset = (isReadFc(fc) || cmd.mappingAddress.size() > 4) ? "0" : "4000";
        } else {
            offset = plc_->gatewayOffset(cmd).value_or(cmd.mappingAddress);
        }
        map = mapValueOf(offset);
        inputEnd = plc_->areaTotal(true);
        outputEnd = 0x4000 + plc_->areaTotal(false);
    }
    auto exceedsArea = [&](std::int64_t bytes) {
        const std::int64_t end = static_cast<std::int64_t>(map) + bytes;
        return map < 0x4000 ? end > inputEnd : end > outputEnd;
    };

    switch (currentRow_) {
        case 2: {  // Starting Address
            const auto v = canonicalDecimal(text);
            if (!v || *v > 65535) {
                text = cmd.startAddress;
                return;
            }
            cmd.startAddress = text;
            if (shown) {
                std::optional<std::int64_t> converted;
                const std::int64_t a = *v;
                if ((fc == 1 || fc == 5 || fc == 15) && a > 0 && a < 10000) converted = a - 1;
                else if (fc == 2 && a > 10000 && a < 20000) converted = a - 10001;
                else if (fc == 4 && a > 30000 && a < 40000) converted = a - 30001;
                else if ((fc == 3 || fc == 6 || fc == 16) && a > 40000 && a < 50000) converted = a - 40001;
                if (converted &&
                    op_->ask({T::ConvertPlcAddressQuestion, {}}, Buttons::OkCancel, Icon::Question) == Answer::Ok)
                    text = std::to_string(*converted);
            }
            const auto w = parseDecimal(text);
            if (w && *w <= 65535) cmd.startAddress = text;
            else text = cmd.startAddress;
            return;
        }
        case 3: {  // Number of Data
            std::int64_t n = cAtoi(text);
            {
                const std::uint32_t m = map;
                const std::uint32_t b = static_cast<std::uint32_t>(cAtoi(cmd.bitOffset));
                const std::uint32_t un = static_cast<std::uint32_t>(n);
                bool out = false;
                if (fc == 1 || fc == 2) out = m + (b + un + 7) / 8 > 244u;
                else if (fc == 3 || fc == 4) out = m + 2 * un > 244u;
                else if (fc == 5 || fc == 15) out = m + (b + un + 7) / 8 > 0x40F4u;
                else if (fc == 6 || fc == 16) out = m + 2 * un > 0x40F4u;
                if (out) {
                    op_->showMessage({T::DataOutOfBounds, {}});
                    text = grid_[3].value;
                    n = cAtoi(text);
                }
            }
            if (n <= 0) {
                text = cmd.dataCount;
                if (shown) grid_[6].value = bytesCell(cmd);
                return;
            }
            if (!canonicalDecimal(text)) {
                text = cmd.dataCount;
                return;
            }
            if (fc == 5 || fc == 6) {
                cmd.dataCount = "1";
                text = "1";
                return;
            }
            if (fc == 3 || fc == 4 || fc == 16) {
                bool refused;
                if (fl.legacyFlag244) {
                    refused = n > 84;
                } else if (fl.extendedSettingsFlag) {
                    refused = (kind == 2 && n > 127) || ((kind == 1 || kind == 3) && n > 122) || (kind == 0 && n > 36) ||
                              exceedsArea(2 * n);
                } else {
                    refused = (kind == 2 && n > 127) || ((kind == 1 || kind == 3) && n > 56) || (kind == 0 && n > 36);
                }
                if (refused) {
                    text = cmd.dataCount;
                    return;
                }
                cmd.dataCount = text;
                cmd.byteCount = std::to_string(2 * n);
            } else if (fc == 1 || fc == 2 || fc == 15) {
                const bool refused = (kind == 2 && n > 2000) || ((kind == 0 || kind == 1 || kind == 3) && n > 400) ||
                                     exceedsArea((n + 7) / 8);
                if (refused) {
                    text = cmd.dataCount;
                    return;
                }
                cmd.dataCount = text;
                cmd.byteCount = std::to_string((n + 7) / 8);
            } else {
                text = cmd.dataCount;
                return;
            }
            if (shown) grid_[6].value = bytesCell(cmd);
            return;
        }
        case 4: {  // Mapping Address
            const std::int64_t signedV = cStrtolHex(text);
            std::uint32_t v = static_cast<std::uint32_t>(signedV);
            const std::uint32_t bytes = static_cast<std::uint32_t>(cAtoi(cmd.byteCount));
            const std::uint32_t bit = static_cast<std::uint32_t>(cAtoi(cmd.bitOffset));
            const std::uint32_t count = static_cast<std::uint32_t>(cAtoi(cmd.dataCount));
            // 1. Area pre-check (gateway offsets; not in PLC mode, where step 4 checks the blocks).
            if (!plc_) {
                bool out = false;
                if (fc == 3 || fc == 4) out = v + bytes > 244u;
                else if (fc == 1 || fc == 2) out = v + (bit + count + 7) / 8 > 244u;
                else if (fc == 6 || fc == 16) out = v + bytes > 0x40F4u;
                else if (fc == 5 || fc == 15) out = v + (bit + count + 7) / 8 > 0x40F4u;
                if (out) {
                    op_->showMessage({T::DataOutOfBounds, {}});
                    text = cmd.mappingAddress;
                    return;
                }
            }
            // 2.
            if (v > 0x40F3u) {
                text = "40FF";
                v = 0x40FF;
            }
            // 3. Accepted forms.
            text = lower(text);
            const std::string canon = toHexText(v, false);
            const bool input = text == canon + "(input)";
            if (!(text == canon || text == canon + "h" || input)) {
                text = cmd.mappingAddress;
                return;
            }
            if (plc_ && canon.find_first_of("abcdef") != std::string::npos) {
                text = cmd.mappingAddress;
                return;
            }
            if (isReadFc(fc) && input) {
                text = cmd.mappingAddress;
                return;
            }
            // 4. Range by DeviceKind.
            const std::int64_t value = v;
            const bool read = isReadFc(fc);
            bool ok = false;
            if (kind == 0) {
                ok = read ? (value >= 0x02 && value <= 0x9F) : (value <= 0x9F || (value >= 0x4000 && value <= 0x406F));
            } else if (kind == 4) {
                ok = read ? value <= 0x1FF : (value <= 0x1FF || (value >= 0x4000 && value <= 0x41FF));
            } else if (kind == 2) {
                ok = read ? value <= 0xBFF : (value <= 0xBFF || (value >= 0x4000 && value <= 0x4BFF));
            } else if (kind == 1 || kind == 3 || kind == 5 || kind == 6) {
                // Kinds 5 and 6 use the PROFIBUS rule of kinds 1 and 3.
                if (plc_) {
                    const bool inputList = read || text.size() > 7;
                    const auto plcAddress = parseDecimal(canon);
                    const auto room = plcAddress ? plc_->bytesToAreaEnd(inputList, *plcAddress) : std::nullopt;
                    ok = room.has_value() && static_cast<std::int64_t>(bytes) <= *room;
                } else {
                    text = canon;
                    std::int64_t L = 0x70, H = 0x4070;
                    if (fl.legacyFlag244) {
                        L = 0xA8;
                        H = 0x40A8;
                    } else if (fl.extendedSettingsFlag) {
                        L = 0xF4;
                        H = 0x40F4;
                    }
                    const std::int64_t end = value + static_cast<std::int64_t>(bytes);
                    if (!read) {
                        ok = !((end > L && value < 0x4000) || end > H);
                        if (!ok) op_->showMessage({T::DataOutOfBounds, {}});
                    } else {
                        ok = !(end > L || value == L);
                    }
                }
            }
            if (ok) cmd.mappingAddress = text;
            else text = cmd.mappingAddress;
            return;
        }
        case 5: {  // Bit Offset
            const std::uint32_t b = static_cast<std::uint32_t>(cAtoi(text));
            const std::uint32_t count = static_cast<std::uint32_t>(cAtoi(cmd.dataCount));
            bool out = false;
            if (fc == 1 || fc == 2) out = map + (b + count + 7) / 8 > 244u;
            else if (fc == 5 || fc == 15) out = map + (b + count + 7) / 8 > 0x40F4u;
            if (out) {
                op_->showMessage({T::DataOutOfBounds, {}});
                text = grid_[5].value;
            }
            const auto v = canonicalDecimal(text);
            if (v && *v <= 7) cmd.bitOffset = text;
            else text = cmd.bitOffset;
            return;
        }
        case 6:
            cmd.byteCount = text;
            return;
        default:
            return;
    }
}

// ---- List commit ------------------------------------------------------------

Changes EditorSession::commitChoiceIndex(int index) {
    if (editor_.kind != EditorKind::List || index < 0 || static_cast<size_t>(index) >= editor_.entries.size())
        return {};
    const std::string entry = editor_.entries[static_cast<size_t>(index)];
    return commitChoice(entry);
}

Changes EditorSession::commitChoice(std::string_view entryView) {
    if (editor_.kind != EditorKind::List) return {};
    const std::string entry(entryView);
    if (std::find(editor_.entries.begin(), editor_.entries.end(), entry) == editor_.entries.end()) return {};
    const Snapshot before = snapshot();
    const int r = currentRow_;
    // 1. The cell shows the choice; the list is hidden.
    if (selectionUnchanged() && r >= 0 && r < kGridRowCount) grid_[static_cast<size_t>(r)].value = entry;
    closeEditors();
    // 2. The row's rule.
    switch (clickKind_) {
        case NodeKind::Fieldbus:
            commitFieldbusChoice(entry);
            break;
        case NodeKind::Subnet:
            commitSubnetChoice(entry);
            break;
        case NodeKind::Command:
            commitCommandChoice(entry);
            break;
        default:
            break;
    }
    // 3. Modified.
    project_.modified = true;
    return finish(before);
}

void EditorSession::commitFieldbusChoice(const std::string& entry) {
    FieldbusSettings& f = project_.fieldbus;
    SubnetConfig& s1 = project_.subnet(0);
    const int kind = project_.deviceKind;
    const std::string& label = clickLabel_;
    const bool shown = selectionUnchanged();
    auto cell = [&](int r) -> GridRow& { return grid_[static_cast<size_t>(r)]; };

    if (kind == 0) {
        if (label == T::LabelDeviceNetBaudRate.text) f.deviceNetBaudRate = entry;
        else if (label == T::LabelDeviceNetInputSize.text) f.inputSize = entry;
        else if (label == T::LabelDeviceNetOutputSize.text) f.outputSize = entry;
    } else if (kind == 1 || kind == 3) {
        if (label == T::LabelProfibusInputBytes.text) {
            f.inputSize = entry;
        } else if (label == T::LabelProfibusOutputBytes.text) {
            f.outputSize = entry;
        } else if (label == T::LabelInputLengthPrefix.text) {
            if (entry == T::Enable.text && s1.frameLength == "243" && s1.frameType == T::FrameTypeFrameLength.text) {
                op_->showMessage({T::InputLengthCannotEnable, {}});
            } else {
                s1.inputLengthPrefix = entry;
            }
            if (shown) cell(currentRow_).value = s1.inputLengthPrefix;
        } else if (label == T::LabelInputFaultReset.text) {
            s1.inputFaultReset = entry;
        } else if (label == T::LabelTimeoutAction.text) {
            s1.timeoutAction = entry;
            if (shown) cell(4).grey = entry == T::HoldData.text;
        } else if (label == T::LabelProfibusConfigMode.text) {
            f.profibusConfigMode = entry;
            if (shown) {
                const bool bytes = entry == T::UseBytesSelection.text;
                cell(1).grey = !bytes;
                cell(2).grey = !bytes;
                cell(4).grey = bytes;
            }
        } else if (label == T::LabelProfibusAddress.text) {
            if (entry == T::EnterAddressValue.text) {
                editor_ = CellEditor{EditorKind::Edit, currentRow_, currentColumn_, T::EnterAddressValuePrompt.str(), {}};
            } else {
                f.profibusAddress = entry;
            }
        } else if (label == T::LabelCompatibilityMode.text) {
            f.compatibilityMode = entry;
        } else if (label == T::LabelConfigurationMode.text) {
            f.configurationMode = entry;
        }
    } else if (kind == 4) {
        if (label == T::LabelAssignIpMode.text) f.assignIpMode = entry;
    } else if (kind == 6) {
        if (currentRow_ == 3 && isMode(s1, T::UserConfig)) s1.inputLengthPrefix = entry;
    }
}

void EditorSession::commitSubnetChoice(const std::string& entry) {
    SubnetConfig* cp = clickedSubnet();
    if (!cp) return;
    SubnetConfig& c = *cp;
    const SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    const bool shown = selectionUnchanged();
    auto cell = [&](int r) -> GridRow& { return grid_[static_cast<size_t>(r)]; };
    const int r = currentRow_;

    if (r == 0) {
        c.protocolMode = entry;
        rebuildSubnetBranch(clickSubnet_, entry == T::ModbusMaster.text);
        if (shown) {
            // The rows are laid out again for the new protocol (and the enable
            // states follow it, so Add Node is not left on for a non-master subnet).
            clearGrid();
            fillSubnetRows();
            setSelectionEnableFlags();
        }
        return;
    }
    if (r >= 1 && r <= 4) {
        std::string* group[4] = {};
        if (isMaster(c)) group[0] = &c.masterBaudRate, group[1] = &c.masterDataBits, group[2] = &c.masterParity,
                         group[3] = &c.masterStopBits;
        else if (isMode(c, T::ModbusSlave))
            group[0] = &c.slaveBaudRate, group[1] = &c.slaveDataBits, group[2] = &c.slaveParity,
            group[3] = &c.slaveStopBits;
        else if (isMode(c, T::SelfDefiningProtocol))
            group[0] = &c.customBaudRate, group[1] = &c.customDataBits, group[2] = &c.customParity,
            group[3] = &c.customStopBits;
        else if (isMode(c, T::UserConfig))
            group[0] = &c.userBaudRate, group[1] = &c.userDataBits, group[2] = &c.userParity,
            group[3] = &c.userStopBits;
        if (group[r - 1]) *group[r - 1] = entry;
        return;
    }
    if (r == 6) {
        if (isMaster(c)) c.masterTransmissionMode = entry;
        else if (isMode(c, T::ModbusSlave)) c.slaveTransmissionMode = entry;
        return;
    }
    if (r == 9) {
        c.outputMode = entry;
        state_.pulseOutputActive = entry == T::OutputPulse.text;
        if (shown) cell(10).grey = !state_.pulseOutputActive;
        return;
    }
    if (r == 12) {
        if (fl.legacyFlag233b) {
            c.commInterface = entry;
            if (shown) cell(13).value = entry == T::Rs232.text ? T::Rs485.str() : T::Rs232.str();
        } else if (fl.extendedSettingsFlag && isMaster(c)) {
            c.responseStatus = entry;
        } else if (fl.legacyFlag244) {
            c.frameType = entry;
        } else {
            if (isMode(c, T::UserConfig)) c.frameType = entry;
            if (c.frameType == T::FrameTypeCharInterval.text) {
                if (shown) cell(14).grey = true;
            } else {
                if (s1.inputLengthPrefix == T::Enable.text && c.frameLength == "243") {
                    op_->showMessage({T::EffectiveLengthMax242, {}});
                    c.frameLength = "242";
                    if (shown) cell(14).value = c.frameLength;
                }
                if (shown) cell(14).grey = false;
            }
        }
        return;
    }
    if (fl.legacyFlag244) {
        if (r == 17) c.autoSending = entry;
        else if (r == 19) c.crcCheck = entry;
        return;
    }
    if (isMode(c, T::UserConfig)) {
        if (r == 15) {
            c.autoSending = entry;
            if (shown) cell(16).grey = entry == T::Disable.text;
            return;
        }
        if (r == 17) {
            c.crcCheck = entry;
            return;
        }
    }
    if (r == 18 && project_.deviceKind == 3) {
        c.commInterface = entry;
        if (shown) cell(19).value = T::ValueUsb.str();
    }
}

void EditorSession::commitCommandChoice(const std::string& entry) {
    ModbusCommand* cp = clickedCommand();
    if (!cp) return;
    ModbusCommand& cmd = *cp;
    const bool shown = selectionUnchanged();
    const int fc = fcOf(cmd);
    switch (currentRow_) {
        case 7:
            cmd.dataFilter = entry;
            if (shown) grid_[10].grey = entry != T::Fullword.text;
            return;
        case 9:
            cmd.scanType = entry;
            return;
        case 10:
            cmd.byteSwap = entry;
            if (shown) {
                if (entry != T::NoSwap.text) grid_[7].grey = true;
                else if (fc != 6 && fc != 16) grid_[7].grey = false;
            }
            return;
        default:
            return;
    }
}

Changes EditorSession::closeList() {
    if (editor_.kind != EditorKind::List) return {};
    const Snapshot before = snapshot();
    closeEditors();
    return finish(before);
}

Changes EditorSession::hideEditors() {
    if (editor_.kind == EditorKind::None) return {};
    const Snapshot before = snapshot();
    closeEditors();
    return finish(before);
}

// ---- Tree label edit and context menu ---------------------------------------

Changes EditorSession::renameNode(const ItemPath& path, std::string_view newLabel) {
    TreeItem* item = itemAt(tree_, path);
    if (!item) return {};
    const Snapshot before = snapshot();
    if (classifyItem(tree_, path) != NodeKind::Node || newLabel.empty()) return finish(before);
    const int s = subnetOfItem(tree_, path);
    SubnetConfig& c = project_.subnet(s);
    const int n = item->data;
    if (n < 1 || n > usedCount(c.nodeCount, kMaxNodes)) return finish(before);
    c.nodes[static_cast<size_t>(n - 1)].name = std::string(newLabel);
    item->raw = std::string(newLabel);
    item->text = windows1252ToUtf8(item->raw);
    state_.currentNodeIndex = n;
    project_.modified = true;
    return finish(before);
}

ContextMenu EditorSession::rightClick(const ItemPath& path) {
    ContextMenu menu;
    if (!itemAt(tree_, path)) return menu;
    const Snapshot before = snapshot();
    if (editor_.kind == EditorKind::Edit) commitOpenEditBox();
    closeEditors();
    if (itemAt(tree_, path)) {
        selected_ = path;
        showSelection();
        const NodeKind kind = classifyItem(tree_, path);
        const SubnetConfig& c = project_.subnet(subnetOfItem(tree_, path));
        state_.canAddNode = state_.canDeleteNode = state_.canAddCommand = state_.canDeleteCommand = false;
        if (kind != NodeKind::Fieldbus && kind != NodeKind::None && isMaster(c)) {
            const bool ruleA = !(project_.flags.legacyFlag244 && c.nodeCount >= 1);
            if (kind == NodeKind::Subnet) {
                state_.canAddNode = ruleA;
            } else if (kind == NodeKind::Node) {
                state_.canAddNode = ruleA;
                state_.canAddCommand = true;
                state_.canDeleteNode = true;
            } else if (kind == NodeKind::Command) {
                state_.canDeleteCommand = true;
            }
            menu.shown = true;
            menu.addNode = state_.canAddNode;
            menu.deleteNode = state_.canDeleteNode;
            menu.addCommand = state_.canAddCommand;
            menu.deleteCommand = state_.canDeleteCommand;
            menu.copyNode = canCopyNode();
            menu.pasteNode = canPasteNode();
        }
    }
    menu.changes = finish(before, true);
    return menu;
}

// ---- Node and command operations --------------------------------------------

Changes EditorSession::addNode(CommandSource source) { return addNodeImpl(source, true); }

Changes EditorSession::addNodeImpl(CommandSource source, bool checkEnabled) {
    if (checkEnabled && !state_.canAddNode) return {};
    const NodeKind kind = state_.nodeKind;
    if (kind != NodeKind::Subnet && kind != NodeKind::Node) return {};
    const Snapshot before = snapshot();
    closeEditors();
    const int s = state_.selectedSubnet;
    SubnetConfig& c = project_.subnet(s);
    ItemPath subnetPath = selected_;
    if (kind == NodeKind::Node) subnetPath.pop_back();
    TreeItem* subnetItem = itemAt(tree_, subnetPath);
    const int count = usedCount(c.nodeCount, kMaxNodes);
    if (count >= kMaxNodes) {
        op_->showMessage({T::NodeLimit, {}});
        return finish(before);
    }
    c.nodes[static_cast<size_t>(count)] = SlaveNode{"-1", T::NewNodeName.str()};
    c.nodeCount = count + 1;
    if (subnetItem) {
        TreeItem item;
        item.raw = T::NewNodeName.str();
        item.text = item.raw;
        item.data = c.nodeCount;
        subnetItem->children.push_back(std::move(item));
    }
    if (TreeItem* sel = itemAt(tree_, selected_)) sel->expanded = true;
    project_.modified = true;
    if (source == CommandSource::ContextMenu && project_.flags.legacyFlag244 && project_.subnet(0).nodeCount >= 1)
        state_.canAddNode = false;
    return finish(before);
}

Changes EditorSession::addCommandAt(int position) {
    const auto& entries = selectCommandEntries();
    if (position < 0 || static_cast<size_t>(position) >= entries.size()) return {};
    return addCommand(entries[static_cast<size_t>(position)].functionCode);
}

Changes EditorSession::addCommand(int functionCode) {
    if (!state_.canAddCommand || state_.nodeKind != NodeKind::Node) return {};
    const std::string code = std::to_string(functionCode);
    if (functionText(code).empty()) return {};
    TreeItem* nodeItem = itemAt(tree_, selected_);
    if (!nodeItem) return {};
    const Snapshot before = snapshot();
    closeEditors();
    SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const int count = usedCount(c.commandCount, kMaxCommands);
    if (count >= kMaxCommands) {
        op_->showMessage({T::CommandLimit, {}});
        return finish(before);
    }
    ModbusCommand cmd;
    cmd.nodeIndex = nodeItem->data;
    state_.currentNodeIndex = nodeItem->data;
    if (cmd.nodeIndex >= 1 && cmd.nodeIndex <= kMaxNodes)
        cmd.slaveAddress = c.nodes[static_cast<size_t>(cmd.nodeIndex - 1)].address;
    cmd.dataFilter = std::string(defaultDataFilter(project_));
    cmd.scanType = T::FastScan.str();
    cmd.byteSwap = T::NoSwap.str();
    if (c.masterTransmissionMode == T::Rtu.text) cmd.checkType = T::Crc.str();
    else if (c.masterTransmissionMode == T::Ascii.text) cmd.checkType = T::Lrc.str();
    cmd.functionCode = code;
    if (functionCode == 5 || functionCode == 6) cmd.dataCount = "1";
    c.commands[static_cast<size_t>(count)] = cmd;
    c.commandCount = count + 1;
    TreeItem item;
    item.raw = std::string(functionText(code));
    item.text = item.raw;
    item.data = c.commandCount;
    nodeItem->children.push_back(std::move(item));
    nodeItem->expanded = true;
    project_.modified = true;
    return finish(before);
}

void EditorSession::selectAfterDelete(const ItemPath& removed) {
    // The tree control selects the next sibling of a deleted selected item, else
    // the previous one, else the parent.
    ItemPath next = removed;
    if (!itemAt(tree_, next)) {
        if (next.back() > 0) {
            --next.back();
        } else {
            next.pop_back();
        }
    }
    if (!itemAt(tree_, next)) next = tree_.empty() ? ItemPath{} : ItemPath{0};
    selected_ = next;
    if (!selected_.empty()) showSelection();
}

Changes EditorSession::deleteNode(CommandSource source) {
    if (!state_.canDeleteNode || state_.nodeKind != NodeKind::Node) return {};
    const TreeItem* nodeItem = itemAt(tree_, selected_);
    if (!nodeItem) return {};
    const int s = state_.selectedSubnet;
    SubnetConfig& c = project_.subnet(s);
    const int d = nodeItem->data;
    const int nodes = usedCount(c.nodeCount, kMaxNodes);
    if (d < 1 || d > nodes) return {};
    const Snapshot before = snapshot();
    closeEditors();
    // 1.
    c.nodeCount = nodes - 1;
    // 2. Remove the node's commands.
    int commands = usedCount(c.commandCount, kMaxCommands);
    for (int k = 0; k < commands;) {
        if (c.commands[static_cast<size_t>(k)].nodeIndex == d) {
            for (int j = k; j + 1 < commands; ++j) c.commands[static_cast<size_t>(j)] = c.commands[static_cast<size_t>(j + 1)];
            --commands;
        } else {
            ++k;
        }
    }
    c.commandCount = commands;
    // 3.
    for (int k = 0; k < commands; ++k) {
        auto& cmd = c.commands[static_cast<size_t>(k)];
        if (cmd.nodeIndex > d) --cmd.nodeIndex;
    }
    // 4.
    for (int j = d - 1; j + 1 < nodes; ++j) c.nodes[static_cast<size_t>(j)] = c.nodes[static_cast<size_t>(j + 1)];
    // 5. Tree.
    if (source == CommandSource::EditMenu) {
        rebuildAndSelectFirst();
        for (auto& root : tree_) {
            if (isSubnetLabel(root.raw)) {
                root.expanded = true;
                break;
            }
        }
        state_.canDeleteNode = false;
    } else {
        const ItemPath removed = selected_;
        TreeItem& root = tree_[static_cast<size_t>(removed[0])];
        // Keep the expansion of the remaining node items.
        std::vector<bool> expanded;
        for (const auto& child : root.children) {
            if (child.data != d) expanded.push_back(child.expanded);
        }
        root.children.clear();
        appendNodeItems(c, root);
        for (size_t i = 0; i < root.children.size() && i < expanded.size(); ++i) root.children[i].expanded = expanded[i];
        selectAfterDelete(removed);
    }
    // 6.
    project_.modified = true;
    return finish(before, true);
}

Changes EditorSession::deleteCommand() {
    if (!state_.canDeleteCommand || state_.nodeKind != NodeKind::Command) return {};
    const TreeItem* item = itemAt(tree_, selected_);
    if (!item || selected_.size() < 3) return {};
    SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const int k = item->data;
    const int commands = usedCount(c.commandCount, kMaxCommands);
    if (k < 1 || k > commands) return {};
    const Snapshot before = snapshot();
    closeEditors();
    // 1.
    for (int j = k - 1; j + 1 < commands; ++j) c.commands[static_cast<size_t>(j)] = c.commands[static_cast<size_t>(j + 1)];
    c.commandCount = commands - 1;
    // 2. Tree: the item goes, the later command items move up by one.
    const ItemPath removed = selected_;
    TreeItem* nodeItem = itemAt(tree_, ItemPath(removed.begin(), removed.end() - 1));
    nodeItem->children.erase(nodeItem->children.begin() + removed.back());
    for (auto& node : tree_[static_cast<size_t>(removed[0])].children) {
        for (auto& cmdItem : node.children) {
            if (cmdItem.data > k) --cmdItem.data;
        }
    }
    selectAfterDelete(removed);
    // 3.
    project_.modified = true;
    return finish(before, true);
}

Changes EditorSession::copyNode() {
    if (!canCopyNode()) return {};
    const Snapshot before = snapshot();
    const TreeItem* item = itemAt(tree_, selected_);
    copiedSubnet_ = state_.nodeKind == NodeKind::Node ? state_.selectedSubnet : -1;
    copiedAddress_ = -1;
    if (item && item->raw.size() > 5) {
        if (const auto v = leadingDecimal(std::string_view(item->raw).substr(5)); v && *v <= 0x7FFFFFFF) copiedAddress_ = *v;
    }
    return finish(before);
}

Changes EditorSession::pasteNode() {
    if (!canPasteNode()) return {};
    const TreeItem* target = itemAt(tree_, selected_);
    const int s = subnetOfLabel(target->raw);
    if (s < 0 || !isMaster(project_.subnet(s))) return {};  // no context menu for other protocols
    const Snapshot before = snapshot();
    closeEditors();
    SubnetConfig& c = project_.subnet(s);
    // 1. The context-menu Add Node on the subnet item.
    if (usedCount(c.nodeCount, kMaxNodes) >= kMaxNodes) {
        op_->showMessage({T::NodeLimit, {}});
        return finish(before);  // nothing to paste into: the paste stops here
    }
    const int nodeIndex = usedCount(c.nodeCount, kMaxNodes) + 1;
    c.nodes[static_cast<size_t>(nodeIndex - 1)] = SlaveNode{"-1", T::NewNodeName.str()};
    c.nodeCount = nodeIndex;
    TreeItem* subnetItem = itemAt(tree_, selected_);
    {
        TreeItem item;
        item.raw = T::NewNodeName.str();
        item.text = item.raw;
        item.data = nodeIndex;
        subnetItem->children.push_back(std::move(item));
    }
    subnetItem->expanded = true;
    project_.modified = true;
    if (project_.flags.legacyFlag244 && project_.subnet(0).nodeCount >= 1) state_.canAddNode = false;
    // 2. The target node: the last node item under the subnet item.
    TreeItem& nodeItem = subnetItem->children.back();
    const int targetIndex = nodeItem.data;
    const std::string targetAddress = c.nodes[static_cast<size_t>(targetIndex - 1)].address;
    // 3. Copies of the commands that carry the copied address.
    const SubnetConfig& source = project_.subnet(copiedSubnet_);
    const int sourceCount = usedCount(source.commandCount, kMaxCommands);
    const std::string address = std::to_string(copiedAddress_);
    for (int k = 0; k < sourceCount; ++k) {
        if (source.commands[static_cast<size_t>(k)].slaveAddress != address) continue;
        const int count = usedCount(c.commandCount, kMaxCommands);
        if (count >= kMaxCommands) {
            op_->showMessage({T::CommandLimit, {}});  // 4.
            break;
        }
        ModbusCommand copy = source.commands[static_cast<size_t>(k)];
        copy.nodeIndex = targetIndex;
        copy.slaveAddress = targetAddress;
        c.commands[static_cast<size_t>(count)] = copy;
        c.commandCount = count + 1;
        TreeItem item;
        item.raw = std::string(functionText(copy.functionCode));
        item.text = item.raw;
        item.data = c.commandCount;
        if (!item.raw.empty()) nodeItem.children.push_back(std::move(item));
        nodeItem.expanded = true;
    }
    return finish(before);
}

}  // namespace korvex
