#include "net/ethernet_target.h"

#include "model/value_checks.h"

namespace korvex::net {

void applyEthernetConfig(EthernetTarget& target, bool accepted, bool useSearch, std::string_view typedAddress) {
    if (!accepted || useSearch) {
        target.targetAddress.clear();
        target.useFixedAddress = false;
        return;
    }
    target.targetAddress = isValidIPv4(typedAddress) ? std::string(typedAddress) : "0.0.0.0";
    target.useFixedAddress = target.targetAddress != "0.0.0.0";
}

}  // namespace korvex::net
