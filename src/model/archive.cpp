#include "model/archive.h"

#include "model/encoding.h"

namespace korvex {

void ArchiveWriter::u16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ArchiveWriter::u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

void ArchiveWriter::text(std::string_view s) {
    const std::size_t n = s.size();
    if (n < 0xFF) {
        u8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        u8(0xFF);
        u16(static_cast<std::uint16_t>(n));
    } else {
        u8(0xFF);
        u16(0xFFFF);
        u32(static_cast<std::uint32_t>(n));
    }
    raw(s);
}

std::uint8_t ArchiveReader::u8() {
    need(1);
    return data_[pos_++];
}

std::uint16_t ArchiveReader::u16() {
    need(2);
    const std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t ArchiveReader::u32() {
    need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + static_cast<std::size_t>(i)];
    pos_ += 4;
    return v;
}

std::string ArchiveReader::raw(std::size_t n) {
    need(n);
    std::string s(reinterpret_cast<const char*>(data_.data() + pos_), n);
    pos_ += n;
    return s;
}

std::size_t ArchiveReader::length() {
    const std::uint8_t b = u8();
    if (b < 0xFF) return b;
    const std::uint16_t w = u16();
    if (w < 0xFFFE) return w;
    if (w == 0xFFFE) throw ArchiveFormatError{};  // a second UTF-16 marker
    const std::uint32_t d = u32();
    if (d == 0xFFFFFFFFu) throw ArchiveFormatError{};  // 64-bit lengths are never written
    return d;
}

std::string ArchiveReader::text() {
    // Peek for the UTF-16 marker: FF FE FF.
    if (remaining() >= 3 && data_[pos_] == 0xFF && data_[pos_ + 1] == 0xFE && data_[pos_ + 2] == 0xFF) {
        pos_ += 3;
        const std::size_t chars = length();
        if (chars > remaining() / 2) throw ArchiveFormatError{};
        std::string out;
        out.reserve(chars);
        for (std::size_t i = 0; i < chars; ++i) {
            const char16_t unit = u16();
            std::optional<std::uint8_t> b;
            if (unit < 0xD800 || unit > 0xDFFF) b = codePointToWindows1252(unit);
            out += b ? static_cast<char>(*b) : '?';
        }
        return out;
    }
    const std::size_t n = length();
    return raw(n);
}

}  // namespace korvex
