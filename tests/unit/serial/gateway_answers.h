#pragma once
// Answers of a gateway for the scripted link: the device-type answer, and a
// responder that accepts every written frame.
#include <cstdint>
#include <optional>

#include "model/project.h"
#include "scripted_link.h"
#include "serial/gateway_frame.h"

namespace korvex::serial::testing {

inline Bytes deviceTypeAnswer(int type, int major, int minor, int capacity = 244) {
    return makeFrame(0x01, Bytes{static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(major),
                                 static_cast<std::uint8_t>(minor), 0, 0, static_cast<std::uint8_t>(capacity), 0, 0});
}

inline Bytes errorAnswer(std::uint8_t request, std::uint8_t code = 0x01) {
    return makeFrame(static_cast<std::uint8_t>(request | 0x80), {code, 0x00});
}

// A gateway that identifies as `type` with firmware major.minor and accepts
// everything a download writes. `refuse` (a command code) is answered with
// `refusal` instead (silence when it is nullopt).
struct AcceptingGateway {
    explicit AcceptingGateway(int type = 4, int major = 5, int minor = 2, int capacity = 244, int refuse = -1,
                              std::optional<Bytes> refusal = std::nullopt)
        : type(type), major(major), minor(minor), capacity(capacity), refuse(refuse), refusal(std::move(refusal)) {}

    int type;
    int major;
    int minor;
    int capacity;
    int refuse;
    std::optional<Bytes> refusal;

    std::optional<ScriptedLink::Reply> operator()(const Bytes& request) const {
        const std::uint8_t cmd = request.at(0);
        if (cmd == refuse) {
            if (!refusal) return std::nullopt;
            return ScriptedLink::Reply{*refusal};
        }
        switch (cmd) {
            case 0x01: return ScriptedLink::Reply{deviceTypeAnswer(type, major, minor, capacity)};
            case 0x0F: return ScriptedLink::Reply{{0x0F, 0x02, 0x00, 0x00, 0x11}};
            default: return ScriptedLink::Reply{{cmd, 0x00, cmd}};
        }
    }
};

}  // namespace korvex::serial::testing
