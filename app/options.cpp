#include "app/options.h"

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string_view>

#include "bus/cheats.h"

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

constexpr std::string_view DisplayHelp =
    "\n"
    "Window and gamepads:\n"
    "    -scale N      - Window of 256N x 240N pixels, N from 1 to 6 (default 2).\n"
    "    -fullscreen   - Start in full screen; F11 or Alt+Enter switches in the window.\n"
    "    -setpad       - Choose the gamepad inputs on a screen; kept in gamepad.cfg.\n"
    "    -region R     - The console: auto (from the header or a (E)/(Europe)/(PAL) name), ntsc,\n"
    "                    pal or dendy.\n"
    "    -palette F    - The colours of the palette file F (64 or 512 RGB triplets).\n"
    "    -rewind S     - Keep S seconds for Backspace to rewind (default 60; 0: none).\n"
    "    -track N      - A music file (.nsf): play track N first (from 1). With -headless and\n"
    "                    -wav DIR/, -track all writes every track to DIR/NAME-01.wav ...\n";

constexpr std::string_view AutomationHelp =
    "\n"
    "Automation and measurement:\n"
    "    -gg CODE      - Apply a Game Genie code (six or eight letters).\n"
    "    -headless     - Run without window, sound or key map; frames are not paced.\n"
    "    -frames N     - End normally after N frames.\n"
    "    -screenshot F - At the end, write the last frame to F as a PNG image.\n"
    "    -wav F        - Write every sound sample to F as a WAV file (mono, 16-bit, 44100 Hz).\n"
    "    -testrom      - Report a test ROM's result from 0x6000 and end with it as exit code\n"
    "                    (0 passed; 3 reset requested; 4 no result within -frames, default 3600).\n"
    "    -input F      - Scripted controller: lines \"FRAME BUTTONS\", BUTTONS a+b+select+start+\n"
    "                    up+down+left+right or - for none, held from that frame on.\n"
    "    -record F     - Record what the controllers and the reset button do to the movie F\n"
    "                    (the -input format; -input F plays it back).\n"
    "    -benchmark    - Do not pace or adjust frame skip; print the frames per second at the end.\n"
    "    -loadstate F  - Load the save state F before the first frame.\n"
    "    -savestate F  - Write the save state to F when the program ends.\n"
    "\n"
    "Keys in the window:\n"
    "    F5 / F7       - Save / load the state in the current slot (NAME.ss0 ... NAME.ss9 beside the ROM).\n"
    "    0-9           - Choose the slot.\n"
    "    P             - Pause / resume.\n"
    "    Tab (held)    - Fast-forward: unpaced, one frame in four shown, no sound.\n"
    "    Ctrl+R        - Reset the console (the reset button).\n"
    "    F12           - Screenshot: NAME-YYYYMMDD-HHMMSS.png in the working folder.\n"
    "    A key that the key map gives to a button is only that button.\n";

constexpr int ExitFailure = 1;

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The leading decimal number of `text` (spaces, sign, digits, fraction, exponent; nothing
// else: no hexadecimal, "inf" or "nan"), rounded half to even; 0 when there is none. Values
// below 1 are taken as 1 (a frame skip of 0 or less would divide by zero in the scheduler), and
// values too large for the field are capped.
int32_t parseFrameSkip(const std::string& text)
{
    const auto isDigit = [&text](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    size_t end = text.find_first_not_of(" \t\n\v\f\r");
    if (end == std::string::npos)
        return 1;
    if (text[end] == '+' || text[end] == '-')
        ++end;
    bool digits = false;
    for (; isDigit(end); ++end)
        digits = true;
    if (end < text.size() && text[end] == '.')
        for (++end; isDigit(end); ++end)
            digits = true;
    if (!digits)
        return 1;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        const size_t sign = end + 1 < text.size() && (text[end + 1] == '+' || text[end + 1] == '-') ? 1 : 0;
        if (isDigit(end + 1 + sign))
            for (end += 1 + sign; isDigit(end); ++end) {
            }
    }
    const double value = std::strtod(text.substr(0, end).c_str(), nullptr);
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

std::optional<int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out)
{
    const auto argument = [&args](size_t n) { return n < args.size() ? args[n] : std::string(); };

    std::string joined;
    for (size_t n = 1; n < args.size(); ++n)
        joined += (n > 1 ? " " : "") + args[n];
    if (joined.empty()) {
        out << UsageText;
        return ExitFailure;
    }

    if (args.size() == 2) {
        const std::string only = lowerCase(args[1]);
        if (only == "--help" || only == "-h") {
            out << UsageText << DisplayHelp << AutomationHelp;
            return 0;
        }
        if (only == "--version") {
            out << ProgramTitle << "\n";
            return 0;
        }
    }

    options.frameSkip = 1;
    options.autoFrameSkip = true;
    std::array<uint32_t, 8> letters{};

    // The value of an option that needs one; an error line when it is missing.
    const auto valueOf = [&](int& i, const std::string& name) -> std::optional<std::string> {
        std::string value = argument(++i);
        if (value.empty()) {
            out << "Option " << name << " needs a value.\n";
            return std::nullopt;
        }
        return value;
    };

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
        } else if (a == "-fullscreen") {
            options.fullScreen = true;
        } else if (a == "-setpad") {
            options.setPad = true;
        } else if (a == "-scale") {
            const auto value = valueOf(i, "-scale");
            if (!value)
                return ExitFailure;
            char* end = nullptr;
            const long scale = std::strtol(value->c_str(), &end, 10);
            if (*end != '\0' || scale < 1 || scale > 6) {
                out << "Option -scale needs a whole number from 1 to 6, not \"" << *value << "\".\n";
                return ExitFailure;
            }
            options.scale = static_cast<int32_t>(scale);
        } else if (a == "-region") {
            const auto value = valueOf(i, "-region");
            if (!value)
                return ExitFailure;
            if (*value != "auto" && *value != "ntsc" && *value != "pal" && *value != "dendy") {
                out << "Option -region needs auto, ntsc, pal or dendy, not \"" << *value << "\".\n";
                return ExitFailure;
            }
            options.region = *value;
        } else if (a == "-track") {
            const auto value = valueOf(i, "-track");
            if (!value)
                return ExitFailure;
            const bool digits = !value->empty() && value->size() <= 3 && value->find_first_not_of("0123456789") == std::string::npos;
            if (*value == "all") {
                options.track = AllTracks;
            } else if (digits && std::stoi(*value) >= 1) {
                options.track = std::stoi(*value);
            } else {
                out << "Option -track needs a track number from 1 on, or all, not \"" << *value << "\".\n";
                return ExitFailure;
            }
        } else if (a == "-gg") {
            decodeGameGenie(argument(++i), letters);
        } else if (a == "-headless") {
            options.headless = true;
        } else if (a == "-testrom") {
            options.testRom = true;
        } else if (a == "-benchmark") {
            options.benchmark = true;
        } else if (a == "-frames") {
            const auto value = valueOf(i, "-frames");
            if (!value)
                return ExitFailure;
            // Digits only: strtol alone would also take leading spaces and a sign.
            const bool digits = value->find_first_not_of("0123456789") == std::string::npos;
            char* end = nullptr;
            const long frames = std::strtol(value->c_str(), &end, 10);
            if (!digits || *end != '\0' || frames < 1 || frames > 2147483647L) {
                out << "Option -frames needs a whole number of frames from 1 on, not \"" << *value << "\".\n";
                return ExitFailure;
            }
            options.frameLimit = static_cast<int32_t>(frames);
        } else if (a == "-rewind") {
            const auto value = valueOf(i, "-rewind");
            if (!value)
                return ExitFailure;
            const bool digits = value->size() <= 4 && value->find_first_not_of("0123456789") == std::string::npos;
            if (!digits) {
                out << "Option -rewind needs a whole number of seconds from 0 to 9999, not \"" << *value << "\".\n";
                return ExitFailure;
            }
            options.rewindSeconds = std::stoi(*value);
        } else if (a == "-palette") {
            const auto value = valueOf(i, "-palette");
            if (!value)
                return ExitFailure;
            options.palettePath = *value;
        } else if (a == "-screenshot" || a == "-wav" || a == "-input" || a == "-loadstate" || a == "-savestate" ||
                   a == "-record") {
            const auto value = valueOf(i, a);
            if (!value)
                return ExitFailure;
            std::string& target = a == "-screenshot" ? options.screenshotPath
                                  : a == "-wav"      ? options.wavPath
                                  : a == "-loadstate" ? options.loadStatePath
                                  : a == "-savestate" ? options.saveStatePath
                                  : a == "-record"    ? options.recordPath
                                                     : options.inputPath;
            target = *value;
        } else if (a.empty()) {
            break;
        }
    }
    return std::nullopt;
}
