#include "bus/cheats.h"

#include "state/state_io.h"

namespace {

constexpr std::string_view GameGenieAlphabet = "APZLGITYEOXUKSVN";

}  // namespace

uint8_t applyCheats(uint32_t address, uint8_t romByte)
{
    for (uint32_t i = 0; i < cheats.cheatCount; ++i) {
        const CheatEntry& entry = cheats.entries[i];
        if (entry.address == address && (entry.compare == NoCompare || entry.compare == romByte))
            return static_cast<uint8_t>(entry.value);
    }
    return romByte;
}

void decodeGameGenie(std::string_view code, std::array<uint32_t, 8>& L)
{
    // Characters after the eighth are ignored: there are only eight letter values.
    for (size_t k = 0; k < code.size() && k < L.size(); ++k) {
        const char upper = (code[k] >= 'a' && code[k] <= 'z') ? static_cast<char>(code[k] - 'a' + 'A') : code[k];
        const size_t letter = GameGenieAlphabet.find(upper);
        if (letter != std::string_view::npos)
            L[k] = static_cast<uint32_t>(letter);
    }

    CheatEntry entry{};
    entry.address = 0x8000 + (((L[3] & 7) << 12) | ((L[5] & 7) << 8) | ((L[4] & 8) << 8) | ((L[2] & 7) << 4) |
                              ((L[1] & 8) << 4) | (L[4] & 7) | (L[3] & 8));
    if (code.size() == 6) {
        entry.value = static_cast<uint16_t>(((L[1] & 7) << 4) | ((L[0] & 8) << 4) | (L[0] & 7) | (L[5] & 8));
        entry.compare = NoCompare;
    } else {
        entry.value = static_cast<uint16_t>(((L[1] & 7) << 4) | ((L[0] & 8) << 4) | (L[0] & 7) | (L[7] & 8));
        entry.compare = static_cast<uint16_t>(((L[7] & 7) << 4) | ((L[6] & 8) << 4) | (L[6] & 7) | (L[5] & 8));
    }
    if (cheats.cheatCount < cheats.entries.size())
        cheats.entries[cheats.cheatCount++] = entry;
}

void cheatTableFields(StateIo& io, CheatTable& table)
{
    for (CheatEntry& entry : table.entries) {
        io.field(entry.address);
        io.field(entry.value);
        io.field(entry.compare);
    }
    io.field(table.cheatCount, 0, static_cast<uint8_t>(table.entries.size()));
}
static_assert(fieldCount<CheatEntry>() == 3 && fieldCount<CheatTable>() == 2,
              "a Game Genie field is missing from cheatTableFields");
