#pragma once
// An in-process Ethernet gateway: a StreamSocket whose far end is a
// NetGatewayEngine. A connect always succeeds, every request is answered at
// once, and a receive takes what the engine answered so far. Used to find what
// a gateway keeps of a project (an Ethernet write, then a read, through the
// engine) and by tests of the Ethernet transfers.
#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "net/net_link.h"
#include "net_engine.h"

namespace korvex::gatewaysim {

class SimulatedStreamSocket final : public net::StreamSocket {
public:
    explicit SimulatedStreamSocket(NetGatewayEngine& engine) : engine_(engine) {}

    bool connectTo(const std::string& address, std::uint16_t port, int timeoutMs) override;
    bool send(std::span<const std::uint8_t> bytes, int timeoutMs) override;
    std::optional<net::Bytes> receive(std::size_t wanted, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return open_; }

private:
    NetGatewayEngine& engine_;
    NetGatewayEngine::Connection connection_;
    net::Bytes inbox_;
    bool open_ = false;
};

}  // namespace korvex::gatewaysim
