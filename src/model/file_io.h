#pragma once
// Whole-file reads and crash-safe writes, with failures turned into the program's
// file messages (the path filled in). Every project file, workbook and record the
// program reads or writes goes through here, so the rules below hold for all:
//
// - Only regular files are read or replaced. A folder, a device, a pipe or a
//   socket is refused with its own message, before anything is opened for
//   writing and without waiting on it when reading.
// - A save through a symbolic link writes the file the link points to and keeps
//   the link; a link that points to nothing yet creates the file it names (in a
//   folder that must exist). A chain of links is followed, at most 40 of them.
// - A save writes a temporary file beside the file it replaces, under a short
//   name of its own, so any name that fits the folder can be saved.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/texts/text.h"

namespace korvex {

enum class FileAction { Open, Save };

// The message for a failed file operation, chosen from errno.
Message fileErrorMessage(int errnoValue, const std::string& path, FileAction action);

// Reads the whole regular file; refuses files larger than maxBytes with
// "Unexpected file format.".
std::optional<Message> readWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                                     std::size_t maxBytes);

// Writes bytes to a temporary file in the target's folder, flushes it and renames
// it over the target, so the previous file survives any failure intact.
std::optional<Message> writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace korvex
