#pragma once
// Conversions at the window's boundary: text-table entries and project bytes
// (windows-1252) to QString, typed text back to project bytes.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "model/texts/text.h"

namespace korvex::app {

// A text-table entry (UTF-8) as shown.
QString qtext(const Text& t);
QString qtext(const Message& m);
// UTF-8 bytes as shown.
QString fromUtf8(std::string_view utf8);
// Project bytes (windows-1252) as shown.
QString fromProject(std::string_view bytes);
// Typed text as project bytes; nullopt when a character has no windows-1252 byte.
std::optional<std::string> toProject(const QString& text);
// A message built by the core: its table text is UTF-8, but arguments may be
// project bytes. Valid UTF-8 is shown as such, anything else as windows-1252.
QString fromCoreText(std::string_view text);
// A path for the core's file functions (local 8-bit encoding).
std::string toPathBytes(const QString& path);

}  // namespace korvex::app
