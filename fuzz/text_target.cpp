// Fuzz target: the text and small files the program reads besides the image. The first byte
// chooses the reader, the rest is its input:
//   0: an -input script      1: Game Genie codes, one per line
//   2: a command line, arguments separated by NUL bytes      3: a keymap.cfg file
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "app/automation.h"
#include "app/machine.h"
#include "app/options.h"
#include "input/keymap.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::span<const uint8_t> rest(data + 1, size - 1);
    const std::string text(rest.begin(), rest.end());
    switch (data[0] % 4) {
    case 0: fuzzInputScript(text); break;
    case 1: fuzzGameGenie(text); break;
    case 2: fuzzCommandLine(text); break;
    default: parseKeyMap(rest); break;
    }
    resetMachine();
    return 0;
}
