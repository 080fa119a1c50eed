#pragma once
// The Ethernet download and upload: the checks a project passes before its
// block is written, the write with its answer check and the optional restart,
// and the read with its decoding into the project. Everything runs over a
// StreamSocket and talks to the user through an Operator; the success line of
// each window comes as a step (line 0).
#include <string>

#include "model/project.h"
#include "net/ethernet_target.h"
#include "net/net_link.h"

namespace korvex {
class Operator;
class PlcBlocks;
struct MappingState;
}  // namespace korvex

namespace korvex::net {

// Bounded waits of one transfer: the connect (run by the window on a worker
// in the original design; here a socket call with its own time-out) and every
// send and receive.
constexpr int kConnectTimeoutMs = 2000;
constexpr int kTransferTimeoutMs = 1000;

// The Download command's refusal when the search reported no permission:
// shows "Configurating remotely be forbidden, ..." and returns false.
bool remoteConfigPermitted(const EthernetTarget& target, Operator& op);

// The byte count of every command of subnets 1 and 2 from its function code and
// number of data (bit reads and writes: count / 8 + 1; registers: 2 x count;
// 5: 1; 6: 2; other codes keep theirs).
void refreshEthernetByteCounts(Project& project);

// The checks of the "Download" button, in order: vacant node addresses, mapping
// conflicts (a question; No stops), the overflow left by the automatic mapping,
// the byte counts (rewritten in the project) and the mapping ranges. False: stop.
bool checkEthernetDownload(Project& project, const MappingState& mapping, const PlcBlocks* plc, Operator& op);

// The download window's transfer: each press of "Download" runs download(); Exit
// runs exit(). The connection stays open between a successful write and Exit
// for the restart request.
class EthernetDownload {
public:
    EthernetDownload(StreamSocket& socket, std::string address) : socket_(socket), address_(std::move(address)) {}

    // Checks, connects, writes the block and checks the answer. True when the
    // gateway took it.
    bool download(Project& project, const MappingState& mapping, const PlcBlocks* plc, Operator& op);
    // Exit: after a successful write, asks whether to restart the gateway and on
    // OK sends the restart frame. Returns whether the window may close (false
    // only when the restart could not be sent; the connection is closed then).
    bool exit(Operator& op);
    bool downloaded() const { return downloaded_; }

private:
    StreamSocket& socket_;
    std::string address_;
    bool downloaded_ = false;
};

// One press of "Upload": connect, request, read the block and decode it into
// the project (untouched on any failure). True when the project was replaced.
bool ethernetUpload(Project& project, StreamSocket& socket, const std::string& address, Operator& op);

}  // namespace korvex::net
