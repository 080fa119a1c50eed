#include "monitor/row_texts.h"

#include "model/texts.h"

namespace korvex::monitor {

namespace {
constexpr Text kEmpty{"", ""};
}

Text statusText(std::uint8_t status) {
    switch (status) {
        case 0: return texts::StatusRespondCorrectly;
        case 1: return texts::StatusRespondAbnormally;
        case 2: return texts::StatusRespondIncorrectly;
        case 3: return texts::StatusResponseTimeout;
        default: return kEmpty;
    }
}

Text exceptionText(std::uint8_t code) {
    switch (code) {
        case 2: return texts::Exception02;
        case 3: return texts::Exception03;
        case 4: return texts::Exception04;
        case 5: return texts::Exception05;
        case 6: return texts::Exception06;
        case 7: return texts::Exception07;
        case 8: return texts::Exception08;
        default: return texts::Exception01;
    }
}

Text slaveDirectionText(std::uint8_t direction) {
    if (direction == 0) return texts::DirectionModbusToProfibus;
    if (direction == 1) return texts::DirectionProfibusToModbus;
    return kEmpty;
}

Text userConfigDirectionText(std::uint8_t direction) {
    if (direction == 0) return texts::DirectionSerialToProfibus;
    if (direction == 1) return texts::DirectionProfibusToSerial;
    return kEmpty;
}

std::string lowerHexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

}  // namespace korvex::monitor
