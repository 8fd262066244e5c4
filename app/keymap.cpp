#include "app/keymap.h"

#include <algorithm>
#include <vector>

#include "app/file_io.h"

KeyMapLoad loadKeyMap(const std::string& path)
{
    std::vector<uint8_t> bytes;
    switch (readRegularFile(path, KeyMapFileLimit, bytes)) {
    case FileRead::Ok: return parseKeyMap(bytes);
    case FileRead::NotRegular:
    case FileRead::TooLarge: return KeyMapLoad::NotAFile;
    case FileRead::Missing:
    case FileRead::Unreadable: break;
    }
    return KeyMapLoad::Missing;
}

KeyMapLoad parseKeyMap(std::span<const uint8_t> bytes)
{
    std::array<uint8_t, KeyMapFileSize> entries{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), entries.size()), entries.begin());
    for (size_t i = 0; i < keyMap.size(); ++i)
        keyMap[i] = static_cast<uint16_t>(entries[2 * i] | (entries[2 * i + 1] << 8));
    return bytes.size() >= entries.size() ? KeyMapLoad::Loaded : KeyMapLoad::Incomplete;
}

bool saveKeyMap(const std::string& path)
{
    std::vector<uint8_t> bytes;
    const FileRead old = readRegularFile(path, KeyMapFileLimit, bytes);
    if (old != FileRead::Ok && old != FileRead::Missing)
        return false;
    bytes.resize(std::max(bytes.size(), KeyMapFileSize), 0);
    for (size_t i = 0; i < keyMap.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(keyMap[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(keyMap[i] >> 8);
    }
    return writeFileAtomically(path, bytes);
}

void applyKeyEvent(uint32_t key, bool pressed)
{
    // An entry of 0 means no key: SDL reports 0 for every key it cannot name.
    for (uint32_t i = 0; i < ButtonCount; ++i)
        if (keyMap[i] != NoKey && keyMap[i] == key)
            keyButtons[i] = pressed ? 1 : 0;
}
