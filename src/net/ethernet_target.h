#pragma once
// The program-wide Ethernet link state: how the search runs and which gateway the
// transfers and the monitor talk to.
#include <string>

namespace korvex::net {

struct EthernetTarget {
    // true: the search queries targetAddress alone instead of broadcasting.
    bool useFixedAddress = false;
    // Dotted IPv4: the typed address, then the address of the row picked.
    std::string targetAddress;
    // The permission of the last accepted search answer.
    bool remoteConfigAllowed = true;
};

}  // namespace korvex::net
