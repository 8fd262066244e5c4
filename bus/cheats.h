// The Game Genie: codes that replace PRG ROM bytes as the CPU reads them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct CheatEntry {
    uint32_t address;  // 0x8000-0xFFFF
    uint16_t value;
    uint16_t compare;  // NoCompare: no compare value
};

constexpr uint16_t NoCompare = 0x100;

struct CheatTable {
    std::array<CheatEntry, 16> entries;
    uint8_t cheatCount;
};

inline CheatTable cheats{};

// The byte a PRG read returns with Game Genie codes active: the first entry for `address` whose
// compare is NoCompare or equals `romByte` replaces it.
uint8_t applyCheats(uint32_t address, uint8_t romByte);

// Decodes one Game Genie code into the next free entry of `cheats` (a full table takes no more).
// `letters` are the eight letter values L0-L7, kept from one code to the next: a letter outside
// the Game Genie's alphabet keeps the value of the previous code.
void decodeGameGenie(std::string_view code, std::array<uint32_t, 8>& letters);

class StateIo;
// The Game Genie table in a save state, in order.
void cheatTableFields(StateIo& io, CheatTable& table);
