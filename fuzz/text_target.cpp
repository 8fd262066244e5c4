// Fuzz target: the text and small files the program reads besides the image. The first byte
// chooses the reader, the rest is its input:
//   0: an -input script      1: Game Genie codes, one per line
//   2: a command line, arguments separated by NUL bytes      3: a keymap.cfg file
//   4: a gamepad.cfg file    5: a save state, loaded into a small running game
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "app/automation.h"
#include "app/gamepad.h"
#include "app/keymap.h"
#include "app/options.h"
#include "app/run.h"
#include "bus/cheats.h"
#include "console/console.h"
#include "console/machine.h"
#include "state/state_io.h"

namespace {

void fuzzInputScript(const std::string& text)
{
    std::string error;
    auto script = parseInputScript(text, error);
    if (script)
        for (int32_t frame : {0, 1, 1000, 2147483647})
            applyInputScript(*script, frame);
}

void fuzzGameGenie(const std::string& text)
{
    std::array<uint32_t, 8> letters{};
    std::istringstream lines(text);
    for (std::string code; std::getline(lines, code);)
        decodeGameGenie(code, letters);
}

void fuzzCommandLine(const std::string& text)
{
    std::vector<std::string> args{"tallowby"};
    std::istringstream parts(text);
    for (std::string argument; std::getline(parts, argument, '\0');)
        args.push_back(argument);
    std::ostringstream console;
    parseCommandLine(args, console);
}

// A mapper-0 game of one PRG and one CHR bank that loops at 0x8000.
void loadLoopingGame()
{
    std::vector<uint8_t> image(InesHeaderSize + 16 * 1024 + 8 * 1024, 0);
    image[0] = 'N';
    image[1] = 'E';
    image[2] = 'S';
    image[3] = 0x1A;
    image[4] = 1;
    image[5] = 1;
    const std::array<uint8_t, 3> loop = {0x4C, 0x00, 0x80};  // JMP 0x8000
    std::copy(loop.begin(), loop.end(), image.begin() + InesHeaderSize);
    image[InesHeaderSize + 0x3FFD] = 0x80;  // reset vector 0x8000
    std::ostringstream console;
    insertCartridge(image, console);
}

// The bytes are a whole state file. Its ROM checksum and trailing checksum are set right first, so
// that what is tried is the sections. A refused state must leave the game exactly as it was; a
// state that loads must run.
void fuzzSaveState(std::span<const uint8_t> bytes)
{
    loadLoopingGame();
    const std::vector<uint8_t> before = saveState();
    std::vector<uint8_t> state(bytes.begin(), bytes.end());
    constexpr size_t RomChecksumAt = StateMagic.size() + 4;
    if (state.size() >= RomChecksumAt + 8) {
        std::copy_n(before.begin() + RomChecksumAt, 4, state.begin() + RomChecksumAt);
        const uint32_t checksum = crc32(std::span(state).first(state.size() - 4));
        for (size_t i = 0; i < 4; ++i)
            state[state.size() - 4 + i] = static_cast<uint8_t>(checksum >> (8 * i));
    }
    if (loadState(state) == StateLoad::Loaded)
        runFrame(FrameSettings{});
    else if (saveState() != before)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::span<const uint8_t> rest(data + 1, size - 1);
    const std::string text(rest.begin(), rest.end());
    std::ostringstream report;
    switch (data[0] % 6) {
    case 0: fuzzInputScript(text); break;
    case 1: fuzzGameGenie(text); break;
    case 2: fuzzCommandLine(text); break;
    case 3: parseKeyMap(rest); break;
    case 4: parseGamepadConfig(text, "gamepad.cfg", report); break;
    default: fuzzSaveState(rest); break;
    }
    resetMachine();
    resetHostState();
    return 0;
}
