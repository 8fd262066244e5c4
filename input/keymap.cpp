#include "input/keymap.h"

#include <algorithm>
#include <vector>

#include "app/file_io.h"

namespace {

// A key map file is 16 bytes; a longer one is read whole only up to this size, to keep its tail.
constexpr size_t MaxKeyMapFileSize = size_t{1} << 20;

}  // namespace

KeyMapLoad loadKeyMap(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (readRegularFile(path, MaxKeyMapFileSize, bytes) != FileRead::Ok)
        return KeyMapLoad::Missing;
    const size_t length = bytes.size();
    bytes.resize(std::max(length, KeyMapFileSize), 0);
    for (size_t i = 0; i < keyMap.size(); ++i)
        keyMap[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return length >= KeyMapFileSize ? KeyMapLoad::Loaded : KeyMapLoad::Incomplete;
}

bool saveKeyMap(const std::string& path)
{
    std::vector<uint8_t> bytes;
    const FileRead old = readRegularFile(path, MaxKeyMapFileSize, bytes);
    if (old != FileRead::Ok && old != FileRead::Missing)
        return false;
    bytes.resize(std::max(bytes.size(), KeyMapFileSize), 0);
    for (size_t i = 0; i < keyMap.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(keyMap[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(keyMap[i] >> 8);
    }
    return writeFileAtomically(path, bytes);
}
