#include "monitor/send_checks.h"

#include <string>

#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex::monitor {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

MonitorSendCheck refuse(const Text& text) { return {std::nullopt, Message{text, {}}}; }

}  // namespace

MonitorSendCheck checkMonitorSend(std::string_view addressField, std::string_view dataField) {
    const std::string address = lowerCase(addressField);
    const std::string data = lowerCase(dataField);
    if (address.empty() || data.empty()) return refuse(texts::MonitorFillForm);
    auto allowed = [](char c) { return c == ' ' || hexDigit(c) >= 0; };
    for (const std::string* field : {&address, &data})
        for (char c : *field)
            if (!allowed(c)) return refuse(texts::MonitorNotHex);
    for (std::size_t i = 2; i < data.size(); i += 3)
        if (data[i] != ' ') return refuse(texts::MonitorDataFormat);
    if (address.size() != 4) return refuse(texts::MonitorDataFormat);
    const auto value = parseHex(address);
    if (!value || *value < kMonitorFirstAddress || *value > kMonitorLastAddress)
        return refuse(texts::MonitorAddressRange);

    PendingWrite write;
    write.address = static_cast<std::uint16_t>(*value);
    // The byte pairs at 1-2, 4-5, ...; a single character left at the end is
    // not a byte. A pair with a blank in it is no byte either: it is refused
    // rather than read as one digit.
    for (std::size_t i = 0; i + 1 < data.size(); i += 3) {
        const int hi = hexDigit(data[i]);
        const int lo = hexDigit(data[i + 1]);
        if (hi < 0 || lo < 0) return refuse(texts::MonitorDataFormat);
        write.bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    if (*value + static_cast<std::int64_t>(write.bytes.size()) > kMonitorLastAddress + 1)
        return refuse(texts::MonitorAddressRange);
    return {std::move(write), std::nullopt};
}

DebugSendCheck checkDebugSend(std::string_view address, std::string_view data) {
    DebugSendCheck check;
    const std::size_t length = data.size();
    if (length / 3 >= kDebugMaxWriteBytes) {
        check.redField = Message{texts::DebugDataTooLong, {}};
        return check;
    }
    if (length % 3 != 0 && (length + 1) % 3 != 0) {
        check.redField = Message{texts::DebugIllegalCharacter, {}};
        return check;
    }
    PendingWrite write;
    for (std::size_t i = 0; i < length; i += 3) {
        const int hi = hexDigit(data[i]);
        const int lo = hexDigit(data[i + 1]);
        const bool separated = i + 2 >= length || data[i + 2] == ' ';
        if (hi < 0 || lo < 0 || !separated) {
            check.redField = Message{texts::DebugIllegalCharacter, {}};
            return check;
        }
        write.bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    check.dataAccepted = true;

    if (address.size() >= 5) {
        check.message = Message{texts::DebugAddressTooLong, {}};
        return check;
    }
    for (char c : address) {
        if (hexDigit(c) < 0) {
            check.message = Message{texts::DebugAddressNotHex, {}};
            return check;
        }
    }
    const auto value = parseHex(address);
    // The data must also end within the output memory: a write that starts at
    // its last byte and runs past it would reach memory the window does not
    // offer, so it is refused with the same message.
    if (!value || *value < kDebugFirstAddress || *value > kDebugLastAddress ||
        *value + static_cast<std::int64_t>(write.bytes.size()) > kDebugLastAddress + 1) {
        check.message = Message{texts::DebugAddressRange, {}};
        check.nonBlocking = true;
        return check;
    }
    write.address = static_cast<std::uint16_t>(*value);
    check.write = std::move(write);
    return check;
}

}  // namespace korvex::monitor
