// The key map: which keyboard key (an SDL 1.2 key symbol) stands for which button.
#pragma once

#include <array>
#include <cstdint>
#include <string>

using KeyMap = std::array<uint16_t, 8>;  // in ButtonState order
inline KeyMap keyMap{};

inline const std::string KeyMapFile = "keymap.cfg";

// Z, X, right shift, Return and the arrow keys, used while no keymap.cfg exists.
constexpr KeyMap DefaultKeyMap = {0x7A, 0x78, 0x12F, 0x0D, 0x111, 0x112, 0x114, 0x113};

// Reads the eight little-endian key symbols of a key map file; false when it cannot be opened.
bool loadKeyMap(const std::string& path);
