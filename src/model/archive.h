#pragma once
// Little-endian byte archive with the length-prefixed text form of project files.
// The reader checks every length against what remains before it copies anything.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

class ArchiveWriter {
public:
    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void raw(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void text(std::string_view s);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Thrown by ArchiveReader when the input ends early or is malformed.
struct ArchiveFormatError {};

class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::string raw(std::size_t n);
    // A text in either the one-byte-per-character form or the UTF-16LE form
    // (converted to windows-1252, '?' for characters it cannot hold).
    std::string text();

    std::size_t remaining() const { return data_.size() - pos_; }
    std::size_t position() const { return pos_; }

private:
    std::size_t length();
    void need(std::size_t n) const {
        if (n > remaining()) throw ArchiveFormatError{};
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace korvex
