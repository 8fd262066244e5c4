// The command line: player options and Game Genie codes.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

inline const std::string ProgramTitle = "Tallowby v0.11.5.6";

struct EmulatorOptions {
    int32_t frameSkip = 1;  // one frame in every frameSkip is rendered
    bool autoFrameSkip = true;
    bool silent = false;
    bool setKeys = false;
    bool scanlineMode = false;
};

struct CheatEntry {
    uint32_t address;  // 0x8000-0xFFFF
    uint16_t value;
    uint16_t compare;  // 0x100: no compare value
};

constexpr uint16_t NoCompare = 0x100;

struct CheatTable {
    std::array<CheatEntry, 16> entries;
    uint8_t cheatCount;
};

inline EmulatorOptions options{};
inline CheatTable cheatTable{};

// Prints the two banner lines and an empty line.
void printBanner(std::ostream& out);

// Reads the process arguments (args[0] is the program, args[1] the ROM file) into `options`
// and `cheatTable`. Returns the exit code when the program must end now (the usage text
// was printed), nothing when it goes on.
std::optional<int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out);

// Decodes one Game Genie code into the next CheatTable entry. `letters` are the eight letter
// values L0-L7, kept from one code to the next.
void decodeGameGenie(const std::string& code, std::array<uint32_t, 8>& letters);
