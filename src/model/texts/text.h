#pragma once
// One entry of the program's text table: a stable key (used by tests and logs to
// say which text was shown) and the text exactly as the user sees it.
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

struct Text {
    std::string_view key;
    std::string_view text;

    std::string str() const { return std::string(text); }
    bool operator==(const Text& o) const { return key == o.key; }
};

// Fills %1, %2, ... in a table text with the given arguments.
std::string formatText(std::string_view pattern, const std::vector<std::string>& args);

// A text-table entry with its arguments, ready to be shown.
struct Message {
    Text id;
    std::vector<std::string> args;

    std::string text() const { return formatText(id.text, args); }
};

}  // namespace korvex

#define KORVEX_TEXT(name, value) inline constexpr ::korvex::Text name{#name, value}
