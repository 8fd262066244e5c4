#include "app/options.h"

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string_view>

namespace {

constexpr int LastOptionArgument = 15;

constexpr std::string_view UsageText =
    "You must specify the NES ROM filename on the command line.\n"
    "Syntax: tallowby.exe romfile.nes [options]\n"
    "\n"
    "Options:\n"
    "    -fskip #      - Enable frameskip, might be required on slow systems.\n"
    "                    Will show every # frames.\n"
    "\n"
    "    -setkeys      - Remap controller keys. May be used without a ROM file.\n"
    "\n"
    "    -silent       - Disable audio output.\n"
    "\n"
    "    -scanline     - Scanline PPU render accuracy instead of cycle accuracy.\n"
    "                    Can slightly improve performance, but breaks some games.\n";

constexpr std::string_view GameGenieAlphabet = "APZLGITYEOXUKSVN";

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The leading decimal number of `text` (spaces, sign, fraction, exponent), rounded half to
// even; 0 when there is none. Values below 1 are taken as 1: a frame skip of 0 or less
// would divide by zero in the scheduler.
int32_t parseFrameSkip(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    if (!(value >= 1.0))
        return 1;
    if (value >= 2147483647.0)
        return 2147483647;
    return static_cast<int32_t>(std::nearbyint(value));  // default rounding: half to even
}

}  // namespace

void printBanner(std::ostream& out)
{
    out << ProgramTitle << " - free software, provided without warranty\n"
        << "[A Nintendo Entertainment System (NES) emulator]\n"
        << "\n";
}

void decodeGameGenie(const std::string& code, std::array<uint32_t, 8>& L)
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
    if (cheatTable.cheatCount < cheatTable.entries.size())
        cheatTable.entries[cheatTable.cheatCount++] = entry;
}

std::optional<int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out)
{
    const auto argument = [&args](size_t n) { return n < args.size() ? args[n] : std::string(); };

    std::string joined;
    for (size_t n = 1; n < args.size(); ++n)
        joined += (n > 1 ? " " : "") + args[n];
    if (joined.empty()) {
        out << UsageText;
        return 1;
    }

    options.frameSkip = 1;
    options.autoFrameSkip = true;
    std::array<uint32_t, 8> letters{};

    for (int i = 2; i <= LastOptionArgument; ++i) {
        const std::string a = lowerCase(argument(i));
        if (a == "-fskip") {
            options.frameSkip = parseFrameSkip(argument(++i));
            options.autoFrameSkip = false;
        } else if (a == "-silent") {
            options.silent = true;
        } else if (a == "-setkeys") {
            options.setKeys = true;
        } else if (a == "-scanline") {
            options.scanlineMode = true;
        } else if (a == "-gg") {
            decodeGameGenie(argument(++i), letters);
        } else if (a.empty()) {
            break;
        }
    }
    return std::nullopt;
}
