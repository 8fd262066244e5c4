#include "input/keymap.h"

#include <fstream>

bool loadKeyMap(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return false;
    std::array<unsigned char, 16> bytes{};
    file.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    for (size_t i = 0; i < keyMap.size(); ++i)
        keyMap[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return true;
}
