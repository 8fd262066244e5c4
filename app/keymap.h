// The key map: which keyboard key (an SDL 1.2 key symbol) stands for which button, and its file.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "input/controller.h"

using KeyMap = std::array<uint16_t, ButtonCount>;  // in ButtonState order
inline KeyMap keyMap{};

// The buttons the keyboard holds now (on controller 1, together with the script and the first pad).
inline ButtonState keyButtons{};

// A KeyMap entry that stands for no key. SDL gives this symbol to keys it cannot name, so no key
// event may match it.
constexpr uint16_t NoKey = 0;

inline const std::string KeyMapFile = "keymap.cfg";
constexpr size_t KeyMapFileSize = 16;
// A longer file keeps its tail when saved; anything beyond this is not a key map.
constexpr size_t KeyMapFileLimit = 64 * 1024;

enum class KeyMapLoad {
    Loaded,
    Missing,     // the file cannot be opened: the configuration screen must run
    Incomplete,  // shorter than 16 bytes: the entries it does not cover are 0
    NotAFile,    // a folder, FIFO, device or socket, or far too large: not read at all
};

// The turbo keys (turbo A, turbo B), kept in turbo.cfg beside keymap.cfg, and whether they are held.
inline std::array<uint16_t, 2> turboKeys{};
inline std::array<uint32_t, 2> turboKeysHeld{};
inline const std::string TurboKeysFile = "turbo.cfg";

// A key press or release: every button whose KeyMap entry is `key` takes the new state, and so
// does a turbo key. An entry of NoKey matches nothing.
void applyKeyEvent(uint32_t key, bool pressed);

// True when `key` stands for a button or a turbo key.
bool isMappedKey(uint32_t key);

// turbo.cfg: lines "turbo_a KEY" and "turbo_b KEY", KEY an SDL 1.2 key symbol number. A missing or
// unreadable file, or a line not understood, leaves that turbo key out. Saving writes it whole.
void loadTurboKeys(const std::string& path);
bool saveTurboKeys(const std::string& path);
// The turbo file beside the key map at `keyMapPath`.
std::string turboKeysPath(const std::string& keyMapPath);

// Reads eight little-endian 16-bit key symbols from the start of the file.
KeyMapLoad loadKeyMap(const std::string& path);

// The same from the file's bytes.
KeyMapLoad parseKeyMap(std::span<const uint8_t> bytes);

// Writes the eight entries to the first 16 bytes of the file, creating it when needed and keeping
// whatever a longer file holds after them. The file is replaced at once (a temporary file renamed
// over it), so it is never left shorter. False, with the old file untouched, when it cannot be
// read (to keep its tail) or written.
bool saveKeyMap(const std::string& path);
