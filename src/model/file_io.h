#pragma once
// Whole-file reads and crash-safe writes, with failures turned into the program's
// file messages (the path filled in).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/texts/text.h"

namespace korvex {

enum class FileAction { Open, Save };

// The message for a failed file operation, chosen from errno.
Message fileErrorMessage(int errnoValue, const std::string& path, FileAction action);

// Reads the whole file; refuses files larger than maxBytes.
std::optional<Message> readWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                                     std::size_t maxBytes);

// Writes bytes to a temporary file in the target's folder, flushes it and renames
// it over the target, so the previous file survives any failure intact.
std::optional<Message> writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace korvex
