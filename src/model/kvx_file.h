#pragma once
// The .kvx project file: writing version 700 and reading versions 232 to 700.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/plc_addressing.h"
#include "model/project.h"
#include "model/texts/text.h"

namespace korvex {


// The file bytes of the project, version 700.
std::vector<std::uint8_t> projectFileBytes(const Project& project, const MappingAddressForm* form = nullptr);

// Parses file bytes into a fresh project. On failure returns the message and
// leaves `out` untouched; on success replaces `out` (keeping its `modified`
// flag, which an Open does not change) and sets `loadedFromFile`.
std::optional<Message> readProject(std::span<const std::uint8_t> bytes, Project& out,
                                   const MappingAddressForm* form = nullptr);

// Save: writes the file safely; on success fileVersion becomes 700 and the
// modified flag is cleared. A project whose file would pass the size Open
// accepts is refused and nothing is written.
std::optional<Message> writeProject(const std::string& path, Project& project,
                                    const MappingAddressForm* form = nullptr);

// Open: reads the file at path (see readProject).
std::optional<Message> openProject(const std::string& path, Project& out,
                                   const MappingAddressForm* form = nullptr);

// Largest file Open accepts; real projects are far below it.
constexpr std::size_t kMaxProjectFileBytes = 64u * 1024u * 1024u;

}  // namespace korvex
