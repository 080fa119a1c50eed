#include "net/ethernet_transfer.h"

#include <algorithm>

#include "mapping/auto_mapping.h"
#include "mapping/conflicts.h"
#include "model/operator.h"
#include "model/texts.h"
#include "net/config_block.h"

namespace korvex::net {
namespace {

bool connect(StreamSocket& socket, const std::string& address, Operator& op) {
    if (socket.connectTo(address, kGatewayPort, kConnectTimeoutMs)) return true;
    socket.close();
    op.showMessage(Message{texts::ConnectFailed, {}});
    return false;
}

bool isBitCode(std::string_view code) { return code == "1" || code == "2" || code == "15"; }
bool isRegisterCode(std::string_view code) { return code == "3" || code == "4" || code == "16"; }
bool isReadCode(std::string_view code) { return code == "1" || code == "2" || code == "3" || code == "4"; }
bool isWriteCode(std::string_view code) { return code == "5" || code == "6" || code == "15" || code == "16"; }

}  // namespace

bool remoteConfigPermitted(const EthernetTarget& target, Operator& op) {
    if (target.remoteConfigAllowed) return true;
    op.showMessage(Message{texts::RemoteConfigForbidden, {}});
    return false;
}

void refreshEthernetByteCounts(Project& project) {
    for (int s = 0; s < 2; ++s) {
        SubnetConfig& c = project.subnet(s);
        for (int k = 0; k < std::clamp(c.commandCount, 0, kMaxCommands); ++k) {
            ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            const std::int64_t count = plainDecimal(cmd.dataCount);
            if (isBitCode(cmd.functionCode)) cmd.byteCount = std::to_string(count / 8 + 1);
            else if (isRegisterCode(cmd.functionCode)) cmd.byteCount = std::to_string(count * 2);
            else if (cmd.functionCode == "5") cmd.byteCount = "1";
            else if (cmd.functionCode == "6") cmd.byteCount = "2";
        }
    }
}

bool checkEthernetDownload(Project& project, const MappingState& mapping, const PlcBlocks* plc, Operator& op) {
    for (int s = 0; s < 2; ++s) {
        const SubnetConfig& c = project.subnet(s);
        for (int n = 0; n < std::clamp(c.nodeCount, 0, kMaxNodes); ++n) {
            const std::string& address = c.nodes[static_cast<size_t>(n)].address;
            if (address.empty() || address == "-1") {
                op.showMessage(Message{texts::VacantNodeAddress, {}});
                return false;
            }
        }
    }
    if (hasMappingConflict(project, plc) &&
        op.ask(Message{texts::MappingConflictQuestion, {}}, Buttons::YesNo) != Answer::Yes)
        return false;
    if (mapping.mappingOverflow) {
        op.showMessage(Message{texts::MappingOverflowRefused, {}});
        return false;
    }
    refreshEthernetByteCounts(project);
    for (int s = 0; s < 2; ++s) {
        const SubnetConfig& c = project.subnet(s);
        for (int k = 0; k < std::clamp(c.commandCount, 0, kMaxCommands); ++k) {
            const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            const std::int64_t end = std::int64_t{plainHex(cmd.mappingAddress)} + plainDecimal(cmd.byteCount);
            if ((isReadCode(cmd.functionCode) && end > 511) || (isWriteCode(cmd.functionCode) && end > 16895)) {
                op.showMessage(Message{texts::MappingExceedsMaximum, {}});
                return false;
            }
        }
    }
    return true;
}

bool EthernetDownload::download(Project& project, const MappingState& mapping, const PlcBlocks* plc, Operator& op) {
    if (!checkEthernetDownload(project, mapping, plc, op)) return false;
    // Each press builds a fresh connection.
    socket_.close();
    downloaded_ = false;
    if (!connect(socket_, address_, op)) return false;
    const Bytes block = composeWriteBlock(project);
    if (!socket_.send(block, kTransferTimeoutMs)) {
        socket_.close();
        op.showMessage(Message{texts::WriteConfigFailed, {}});
        return false;
    }
    const auto answer = socket_.receive(kWriteAnswerSize, kTransferTimeoutMs);
    if (!answer) {
        socket_.close();
        op.showMessage(Message{texts::WriteConfigFailed, {}});
        return false;
    }
    if (!writeAnswerAccepted(*answer)) {
        socket_.close();
        op.showMessage(Message{texts::WriteFailed, {}});
        return false;
    }
    downloaded_ = true;
    op.stepDone(StepReport{0, Message{texts::DownloadSuccessful, {}}});
    return true;
}

bool EthernetDownload::exit(Operator& op) {
    if (downloaded_ && socket_.isOpen() &&
        op.ask(Message{texts::RestartQuestion, {}}, Buttons::OkCancel) == Answer::Ok) {
        if (!socket_.send(restartFrame(), kTransferTimeoutMs)) {
            socket_.close();
            downloaded_ = false;
            return false;
        }
    }
    socket_.close();
    downloaded_ = false;
    return true;
}

bool ethernetUpload(Project& project, StreamSocket& socket, const std::string& address, Operator& op) {
    socket.close();
    if (!connect(socket, address, op)) return false;
    // A request that cannot be sent fails as one that got no answer: the user
    // is told, rather than left with a window that simply did nothing.
    if (!socket.send(readConfigRequest(), kTransferTimeoutMs)) {
        socket.close();
        op.showMessage(Message{texts::ReadConfigFailedCheckAddress, {}});
        return false;
    }
    const auto block = socket.receive(kReadBlockSize, kTransferTimeoutMs);
    socket.close();
    if (!block) {
        op.showMessage(Message{texts::ReadConfigFailedCheckAddress, {}});
        return false;
    }
    if (auto refused = decodeReadBlock(*block, project)) {
        op.showMessage(*refused);
        return false;
    }
    op.stepDone(StepReport{0, Message{texts::UploadSuccessful, {}}});
    return true;
}

}  // namespace korvex::net
