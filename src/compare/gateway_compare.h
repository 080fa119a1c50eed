#pragma once
// A project compared with what a gateway holds: an upload over the link into a
// copy of the project (the project itself is only read), then the comparison in
// gateway scope against the gateway that answered. The CLI's verify, the
// window's "Compare with Gateway..." and the Download windows' read-back all
// run these functions (on the thread that owns the link): one over the serial
// line, one over an Ethernet connection.
#include <string>

#include <optional>

#include "compare/project_compare.h"
#include "model/operator.h"
#include "model/project.h"
#include "net/net_link.h"
#include "serial/byte_link.h"

namespace korvex {

class PlcBlocks;

struct GatewayComparison {
    // The upload read everything and the comparison was made. False: the
    // upload's message went to the operator and there is nothing to show.
    bool compared = false;
    CompareResult result;
};

// Step texts and messages of the upload go to `op`. `plc`: PLC address mode
// (nullptr: off), for the upload and the grid alike.
GatewayComparison compareWithGateway(serial::ByteLink& link, Operator& op, const Project& project,
                                     const PlcBlocks* plc);

// The same over Ethernet: the Ethernet upload from `address` (its own
// connection on `socket`), compared in gateway scope with what an Ethernet
// gateway keeps (ethernetGatewayImage).
GatewayComparison compareWithEthernetGateway(net::StreamSocket& socket, const std::string& address, Operator& op,
                                             const Project& project, const PlcBlocks* plc);

}  // namespace korvex
