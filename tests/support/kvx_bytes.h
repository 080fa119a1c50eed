#pragma once
// Builds project-file bytes by hand for tests, item by item, independent of the
// program's writer: little-endian integers, length-prefixed texts, class tags.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::testing {

class KvxBytes {
public:
    KvxBytes& u8(std::uint8_t v) {
        b_.push_back(v);
        return *this;
    }
    KvxBytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(static_cast<std::uint8_t>(v >> 8)); }
    KvxBytes& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    KvxBytes& raw(std::string_view s) {
        b_.insert(b_.end(), s.begin(), s.end());
        return *this;
    }
    // Short text: one length byte (n < 255).
    KvxBytes& text(std::string_view s) { return u8(static_cast<std::uint8_t>(s.size())).raw(s); }
    KvxBytes& texts(std::initializer_list<std::string_view> list) {
        for (auto s : list) text(s);
        return *this;
    }
    KvxBytes& newClass(std::string_view name) { return u16(0xFFFF).u16(1).u16(static_cast<std::uint16_t>(name.size())).raw(name); }
    KvxBytes& oldClass(std::uint16_t number) { return u16(static_cast<std::uint16_t>(0x8000 | number)); }

    const std::vector<std::uint8_t>& bytes() const { return b_; }
    std::size_t size() const { return b_.size(); }

private:
    std::vector<std::uint8_t> b_;
};

}  // namespace korvex::testing
