// Feeds arbitrary text as PROFIBUS configuration data: the parse must refuse or
// sum it without reading past the data, and accepted sums stay within 112.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mapping/auto_mapping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto sums = korvex::parseProfibusConfigData(text);
    if (sums && (sums->inputBytes < 0 || sums->inputBytes > 112 || sums->outputBytes < 0 || sums->outputBytes > 112))
        __builtin_trap();
    if (sums && size > 8 * 3) __builtin_trap();  // at most 8 bytes of "xx " each
    return 0;
}
