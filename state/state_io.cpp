#include "state/state_io.h"

namespace {

// Eight tables: table 0 the CRC of each byte value; table k that of a byte followed by k zero bytes,
// so that eight bytes are taken at once.
constexpr std::array<std::array<uint32_t, 256>, 8> CrcTables = [] {
    std::array<std::array<uint32_t, 256>, 8> tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k)
            tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
    return tables;
}();

}  // namespace

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc)
{
    crc = ~crc;
    const auto& t = CrcTables;
    size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        const uint32_t low = crc ^ static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^ t[3][bytes[at + 4]] ^
              t[2][bytes[at + 5]] ^ t[1][bytes[at + 6]] ^ t[0][bytes[at + 7]];
    }
    for (; at < bytes.size(); ++at)
        crc = t[0][(crc ^ bytes[at]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
