// What a value typed into the edit box does on a node item (its slave address)
// and on a command item (starting address, number of data, mapping address,
// bit offset).
#include "editor/editor_session.h"

#include "editor/session_helpers.h"
#include "model/encoding.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

using namespace editor;
namespace T = texts;

void EditorSession::commitNodeEdit(std::string& text) {
    if (currentRow_ != 0) return;
    SubnetConfig* cp = clickedSubnet();
    SlaveNode* node = clickedNode();
    if (!cp || !node) return;
    SubnetConfig& c = *cp;
    const int count = usedCount(c.nodeCount, kMaxNodes);
    // Another node of the subnet has this address already.
    for (int j = 0; j < count; ++j) {
        if (j == clickNode_ - 1) continue;
        if (c.nodes[static_cast<size_t>(j)].address == text && text != node->address) {
            op_->showMessage({T::NodeRepetitive, {}});
            text = node->address;
            return;
        }
    }
    // Out of range (read as C's atoi reads it).
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
        // Stored; the node's commands follow, and so does its name while it is
        // a default one ("New Node", or "Node-" and the old address). A name the
        // user gave stays.
        const bool defaultName =
            node->name == T::NewNodeName.text || node->name == T::NodeNamePrefix.str() + node->address;
        node->address = text;
        if (defaultName) node->name = T::NodeNamePrefix.str() + text;
        if (nodeItem) {
            nodeItem->raw = node->name;
            nodeItem->text = windows1252ToUtf8(node->name);
            for (const auto& cmdItem : nodeItem->children) {
                if (cmdItem.data >= 1 && cmdItem.data <= usedCount(c.commandCount, kMaxCommands))
                    c.commands[static_cast<size_t>(cmdItem.data - 1)].slaveAddress = text;
            }
        }
    } else {
        // In range but not written plainly (for example 05): the node loses its
        // address, and so do the commands that carried it.
        refuse(T::NodeAddressCleared);
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
    const int fc = functionCodeOf(cmd);
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
                refuse(T::RefusedPlainNumber, {"0", "65535"});
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
            bool told = false;  // a message box said why
            // The most data a command of this function code takes on this variant.
            std::optional<std::int64_t> most;
            if (fc == 3 || fc == 4 || fc == 16) {
                if (fl.legacyFlag244) most = 84;
                else if (kind == 2) most = 127;
                else if (kind == 1 || kind == 3) most = fl.extendedSettingsFlag ? 122 : 56;
                else if (kind == 0) most = 36;
            } else if (fc == 1 || fc == 2 || fc == 15) {
                if (kind == 2) most = 2000;
                else if (kind == 0 || kind == 1 || kind == 3) most = 400;
            }
            auto refuseCount = [&] {
                if (told) return;
                if (most) refuse(T::RefusedPlainNumber, {"1", std::to_string(*most)});
                else refuse(T::RefusedPositiveNumber);
            };
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
                    told = true;
                    text = grid_[3].value;
                    n = cAtoi(text);
                }
            }
            if (n <= 0) {
                refuseCount();
                text = cmd.dataCount;
                if (shown) grid_[6].value = bytesCell(cmd);
                return;
            }
            if (!canonicalDecimal(text)) {
                refuseCount();
                text = cmd.dataCount;
                return;
            }
            if (fc == 5 || fc == 6) {
                cmd.dataCount = "1";
                text = "1";
                return;
            }
            if (fc == 3 || fc == 4 || fc == 16 || fc == 1 || fc == 2 || fc == 15) {
                const bool registers = fc == 3 || fc == 4 || fc == 16;
                const std::int64_t bytes = registers ? 2 * n : (n + 7) / 8;
                // Register commands check the area only with the extended settings
                // (and not on the oldest gateways); bit commands always.
                const bool areaChecked = !registers || (!fl.legacyFlag244 && fl.extendedSettingsFlag);
                if (most && n > *most) {
                    refuseCount();
                    text = cmd.dataCount;
                    return;
                }
                if (areaChecked && exceedsArea(bytes)) {
                    if (!told) refuse(T::RefusedPastMappingArea);
                    text = cmd.dataCount;
                    return;
                }
                cmd.dataCount = text;
                cmd.byteCount = std::to_string(bytes);
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
            // The data must fit the gateway areas from this address (not in PLC
            // mode, where the range check below asks the data blocks).
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
            // An address above 40F3 is taken as 40FF before the checks below.
            if (v > 0x40F3u) {
                text = "40FF";
                v = 0x40FF;
            }
            // Accepted forms: hex digits, optionally followed by "h", or for a
            // write command mapped into the input area, by "(input)".
            text = lower(text);
            const std::string canon = toHexText(v, false);
            const bool input = text == canon + "(input)";
            if (!(text == canon || text == canon + "h" || input)) {
                refuse(plc_ ? T::RefusedPlcAddressForm : T::RefusedMappingAddressForm);
                text = cmd.mappingAddress;
                return;
            }
            if (plc_ && canon.find_first_of("abcdef") != std::string::npos) {
                refuse(T::RefusedPlcAddressForm);
                text = cmd.mappingAddress;
                return;
            }
            if (isReadFc(fc) && input) {
                refuse(T::RefusedInputMarkOnRead);
                text = cmd.mappingAddress;
                return;
            }
            // The range of the gateway variant.
            const std::int64_t value = v;
            const bool read = isReadFc(fc);
            bool ok = false;
            bool told = false;  // a message box said why
            bool inBlocks = false;  // the PLC data blocks decided
            if (kind == 0) {
                ok = read ? (value >= 0x02 && value <= 0x9F) : (value <= 0x9F || (value >= 0x4000 && value <= 0x406F));
            } else if (kind == 4) {
                ok = read ? value <= 0x1FF : (value <= 0x1FF || (value >= 0x4000 && value <= 0x41FF));
            } else if (kind == 2) {
                ok = read ? value <= 0xBFF : (value <= 0xBFF || (value >= 0x4000 && value <= 0x4BFF));
            } else if (kind == 1 || kind == 3 || kind == 5 || kind == 6) {
                // Kinds 5 and 6 use the PROFIBUS rule of kinds 1 and 3.
                if (plc_) {
                    inBlocks = true;
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
                        told = !ok;
                    } else {
                        ok = !(end > L || value == L);
                    }
                }
            }
            if (ok) {
                cmd.mappingAddress = text;
            } else {
                if (!told) refuse(inBlocks ? T::RefusedPlcBlocks : T::RefusedMappingAddressRange);
                text = cmd.mappingAddress;
            }
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
            if (v && *v <= 7) {
                cmd.bitOffset = text;
            } else {
                if (!out) refuse(T::RefusedPlainNumber, {"0", "7"});
                text = cmd.bitOffset;
            }
            return;
        }
        case 6:
            cmd.byteCount = text;
            return;
        default:
            return;
    }
}

}  // namespace korvex
