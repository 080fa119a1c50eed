#pragma once
// The caps-lock, num-lock and scroll-lock states for the status bar, where the
// windowing system tells them (X11 through XKB); nullopt elsewhere.
#include <optional>

namespace korvex::app {

struct LockStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

std::optional<LockStates> readLockStates();

}  // namespace korvex::app
