// Feeds arbitrary bytes to the download-side answer check, as a receive buffer
// holds them. First byte: bit 0 = the firmware scrambles; the rest: the answer.
#include <cstddef>
#include <cstdint>
#include <span>

#include "serial/answer_validation.h"
#include "serial/exchange.h"
#include "serial/gateway_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex::serial;
    if (size == 0) return 0;
    const bool scrambled = (data[0] & 1) != 0;
    for (std::size_t capacity : {kAnswerBufferSize, kCommandBatchBufferSize}) {
        ReceiveBuffer answer(capacity);
        answer.assign(std::span(data + 1, size - 1));
        const ValidatedAnswer valid = validateDownloadAnswer(answer.bytes(), scrambled);
        if (valid.command == 0) continue;
        // Whatever was accepted was received whole and is the command it says.
        if (answer.size() < 3 || valid.command != answer.at(0)) __builtin_trap();
        if (valid.command == 0x01 && (answer.size() < 11 || answer.at(1) != 8)) __builtin_trap();
        if ((valid.command & 0x80) && answer.size() < 5) __builtin_trap();
    }
    return 0;
}
