// Each channel's level as its registers set it now (0-15), for a music player's meters: the
// console's five channels, then the channels of the cartridge's sound chips asked for.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// The cartridges' sound chips, a bit each (as a music file's header names them).
namespace SoundChipBit {
constexpr uint8_t Vrc6 = 0x01;
constexpr uint8_t Vrc7 = 0x02;
constexpr uint8_t Mmc5 = 0x08;
constexpr uint8_t Namco163 = 0x10;
constexpr uint8_t Sunsoft5b = 0x20;
}  // namespace SoundChipBit

struct ChannelLevel {
    std::string_view name;
    uint8_t level;
};

// The most channels: the console's 5, the VRC6's 3, the VRC7's 6, the MMC5's 3, the Namco 163's
// 8 and the 5B's 3.
constexpr uint32_t MostChannels = 5 + 3 + 6 + 3 + 8 + 3;
using ChannelLevels = std::array<ChannelLevel, MostChannels>;

// Fills `levels` and returns how many channels there are, for the chips of `chips` (SoundChipBit).
uint32_t channelLevels(uint8_t chips, ChannelLevels& levels);
