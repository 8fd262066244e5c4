#include "input/keymap.h"

#include <fstream>

KeyMapLoad loadKeyMap(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return KeyMapLoad::Missing;
    std::array<unsigned char, KeyMapFileSize> bytes{};
    file.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    for (size_t i = 0; i < keyMap.size(); ++i)
        keyMap[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return file.gcount() == static_cast<std::streamsize>(bytes.size()) ? KeyMapLoad::Loaded : KeyMapLoad::Incomplete;
}

bool saveKeyMap(const std::string& path)
{
    std::array<char, KeyMapFileSize> bytes{};
    for (size_t i = 0; i < keyMap.size(); ++i) {
        bytes[2 * i] = static_cast<char>(keyMap[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(keyMap[i] >> 8);
    }
    // Opened for update so that a longer file keeps its tail; created first when missing.
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!file.is_open())
        file.open(path, std::ios::binary | std::ios::out);
    if (!file.is_open())
        return false;
    file.write(bytes.data(), bytes.size());
    file.close();
    return !file.fail();
}
