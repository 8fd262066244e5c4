#include "app/keymap.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string_view>
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
    for (uint32_t k = 0; k < turboKeys.size(); ++k)
        if (turboKeys[k] != NoKey && turboKeys[k] == key)
            turboKeysHeld[k] = pressed ? 1 : 0;
}

bool isMappedKey(uint32_t key)
{
    return key != NoKey && (std::ranges::find(keyMap, key) != keyMap.end() || std::ranges::find(turboKeys, key) != turboKeys.end());
}

namespace {

constexpr std::array<std::string_view, 2> TurboNames = {"turbo_a", "turbo_b"};

}  // namespace

void loadTurboKeys(const std::string& path)
{
    turboKeys.fill(NoKey);
    std::vector<uint8_t> bytes;
    if (readRegularFile(path, KeyMapFileLimit, bytes) != FileRead::Ok)
        return;
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    for (std::string name, key; lines >> name >> key;) {
        const auto turbo = std::ranges::find(TurboNames, name);
        const bool digits = !key.empty() && key.size() <= 5 && key.find_first_not_of("0123456789") == std::string::npos;
        if (turbo != TurboNames.end() && digits && std::stoul(key) <= 0xFFFF)
            turboKeys[static_cast<size_t>(turbo - TurboNames.begin())] = static_cast<uint16_t>(std::stoul(key));
    }
}

bool saveTurboKeys(const std::string& path)
{
    std::string text = "# The turbo keys: SDL key symbols\n";
    for (uint32_t k = 0; k < turboKeys.size(); ++k)
        if (turboKeys[k] != NoKey)
            text += std::string(TurboNames[k]) + " " + std::to_string(turboKeys[k]) + "\n";
    return writeFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string turboKeysPath(const std::string& keyMapPath)
{
    return (std::filesystem::path(keyMapPath).parent_path() / TurboKeysFile).string();
}
