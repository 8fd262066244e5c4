#include "state/state_io.h"

namespace {

constexpr std::array<uint32_t, 256> CrcTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

}  // namespace

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc)
{
    crc = ~crc;
    for (const uint8_t byte : bytes)
        crc = CrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
