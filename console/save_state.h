// A whole save state: the file's layout, and the machine turned into bytes and back.
//
//   8 bytes   "TBSTATE" and 0x1A
//   u32       format version (StateFormatVersion)
//   u32       CRC32 of the ROM image as loaded (PRG ROM, then CHR ROM)
//   sections  each: 4-character tag, u32 length of its contents, the contents (see save_state.cpp)
//   u32       CRC32 of every byte before it
//
// Every number is little-endian and fixed-width, written field by field.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

constexpr std::array<uint8_t, 8> StateMagic = {'T', 'B', 'S', 'T', 'A', 'T', 'E', 0x1A};
// Raised whenever a section's contents change (a field added, removed or resized). States of every
// version from OldestReadableStateVersion on are read: a player's states outlive an update.
//   1: the sound unit before it took the console's rules
//   2: envelopes, length halts, the linear counter, sweeps that mute, the sample channel, the
//      frame IRQ; the IRQ line held per device
//   3: greyscale and colour emphasis; MMC2's two latches and four CHR banks
//   4: the cartridge's PRG RAM of its own size (before, the 8 KB at 0x6000 of the CPU's memory),
//      its CHR RAM of its own size (before, 8 KB)
//   5: the Action 53 board's registers
//   6: the console's region (NTSC, PAL, Dendy)
//   7: the PRG RAM window (the bank at 0x6000, switched on or off, write-protected)
//   8: CHR RAM beside CHR ROM (TQROM)
//   9: the MMC6's RAM enable and protection
//   10: the register of UNROM 512 and GTROM, the flash chip's command state, a flash board's PRG
//   11: the MMC5's PCM mode and IRQ, its vertical split
constexpr uint32_t StateFormatVersion = 11;
constexpr uint32_t OldestReadableStateVersion = 1;
// No state of this format comes near this size; a larger file is not read.
constexpr size_t MaxStateBytes = 4 * 1024 * 1024;

enum class StateLoad {
    Loaded,
    NotAState,     // no state tag at the start
    NewerVersion,  // written by a later Tallowby
    OlderVersion,  // a format this Tallowby no longer reads
    Damaged,       // checksum wrong, truncated, or a section out of place or out of range
    OtherGame,     // the state of another ROM image
};

// The running machine as a state file's bytes.
std::vector<uint8_t> saveState();

// Whether a state's checksum is computed and checked. A state that never leaves memory (rewind's
// history, taken every few frames) goes without: its checksum field holds 0.
enum class StateChecksum { Kept, Skipped };
std::vector<uint8_t> saveState(StateChecksum checksum);

// Checks the whole of `bytes` against the running cartridge and, only when everything is right,
// replaces the running machine with it. On a refusal nothing in the machine has changed.
StateLoad loadState(std::span<const uint8_t> bytes, StateChecksum checksum = StateChecksum::Kept);

// Why a state was refused, to follow "State N ": "is damaged", "belongs to another game", ...
std::string_view refusalText(StateLoad result);
