#include "simulated_stream.h"

#include <algorithm>

namespace korvex::gatewaysim {

bool SimulatedStreamSocket::connectTo(const std::string&, std::uint16_t, int) {
    close();
    open_ = true;
    return true;
}

bool SimulatedStreamSocket::send(std::span<const std::uint8_t> bytes, int) {
    if (!open_ || connection_.closeNow) return false;
    const net::Bytes answer = engine_.receive(connection_, bytes);
    inbox_.insert(inbox_.end(), answer.begin(), answer.end());
    return true;
}

std::optional<net::Bytes> SimulatedStreamSocket::receive(std::size_t wanted, int) {
    if (!open_ || inbox_.empty()) return std::nullopt;
    const auto take = static_cast<std::ptrdiff_t>(std::min(wanted, inbox_.size()));
    net::Bytes out(inbox_.begin(), inbox_.begin() + take);
    inbox_.erase(inbox_.begin(), inbox_.begin() + take);
    return out;
}

void SimulatedStreamSocket::close() {
    open_ = false;
    connection_ = {};
    inbox_.clear();
}

}  // namespace korvex::gatewaysim
