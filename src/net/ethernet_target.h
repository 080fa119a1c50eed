#pragma once
// The program-wide Ethernet link state: how the search runs and which gateway the
// transfers and the monitor talk to.
#include <string>
#include <string_view>

namespace korvex::net {

struct EthernetTarget {
    // true: the search queries targetAddress alone instead of broadcasting.
    bool useFixedAddress = false;
    // Dotted IPv4: the typed address, then the address of the row picked.
    std::string targetAddress;
    // The permission of the last accepted search answer.
    bool remoteConfigAllowed = true;
};

// The Ethernet configuration dialog's decision. OK with "Use Search Functional"
// ticked: broadcast search, no address. OK with it clear: the typed address
// (a text that is no dotted quad counts as 0.0.0.0), queried alone unless it is
// 0.0.0.0. Cancel: broadcast search, no address.
void applyEthernetConfig(EthernetTarget& target, bool accepted, bool useSearch, std::string_view typedAddress);

}  // namespace korvex::net
