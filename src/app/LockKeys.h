#pragma once

#include <array>
#include <optional>

namespace velmora {

// Caps Lock, Num Lock and Scroll Lock as the keyboard's lights show them, where the window
// system can tell (X11); nothing elsewhere.
std::optional<std::array<bool, 3>> LockKeyStates();

} // namespace velmora
