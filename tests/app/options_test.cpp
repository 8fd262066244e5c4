// The command line: usage text, option table, scan limits, frame skip, Game Genie codes, the
// automation options and the window's scale.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "app/options.h"
#include "app/run.h"
#include "bus/cheats.h"
#include "console/machine.h"

namespace {

std::optional<int> parse(std::vector<std::string> args, std::string* console = nullptr)
{
    resetMachine();
    resetHostState();
    args.insert(args.begin(), "tallowby");
    std::ostringstream out;
    const auto exitCode = parseCommandLine(args, out);
    if (console)
        *console = out.str();
    return exitCode;
}

TEST(CommandLine, NoArgumentsPrintsTheUsageTextAndEndsWithFailure)
{
    std::string console;
    ASSERT_EQ(parse({}, &console), 1);
    EXPECT_TRUE(console.starts_with("You must specify the NES ROM filename on the command line.\n")) << console;
    for (const char* option : {"-fskip", "-setkeys", "-silent", "-scanline"})
        EXPECT_NE(console.find(option), std::string::npos) << option;
    EXPECT_EQ(console.find("-headless"), std::string::npos) << "the automation options are for --help";
    EXPECT_EQ(parse({""}), 1) << "an empty ROM argument is no argument";
}

TEST(CommandLine, OptionTableAndScanLimits)
{
    std::vector<std::string> sixteen(14, "-unknown");  // the ROM file and arguments 2-14
    sixteen[0] = "game.nes";
    sixteen.insert(sixteen.end(), {"-scanline", "-silent"});  // arguments 15 and 16
    // Arguments; silent, setkeys, scanline, frame skip, auto frame skip; what the case shows.
    using Options = std::tuple<bool, bool, bool, int32_t, bool>;
    const std::tuple<std::vector<std::string>, Options, const char*> cases[] = {
        {{"game.nes"}, {false, false, false, 1, true}, "defaults"},
        {{"game.nes", "-SILENT", "-SetKeys", "-scanLINE", "-FSKIP", "3"}, {true, true, true, 3, false}, "any case"},
        {{"-silent"}, {false, false, false, 1, true}, "the first argument is always the ROM file"},
        {{"game.nes", "--bogus", "-fskip", "-silent"}, {false, false, false, 1, false}, "-silent is -fskip's value"},
        {{"game.nes", "-scanline", "", "-silent"}, {false, false, true, 1, true}, "an empty argument ends the scan"},
        {sixteen, {false, false, true, 1, true}, "only arguments 2 to 15 are options"},
    };
    for (const auto& [args, expected, what] : cases) {
        std::string console;
        EXPECT_FALSE(parse(args, &console)) << what;
        EXPECT_EQ(console, "") << what;
        EXPECT_EQ(Options(options.silent, options.setKeys, options.scanlineMode, options.frameSkip,
                          options.autoFrameSkip), expected) << what;
    }
    EXPECT_EQ(cheats.cheatCount, 0);
}

TEST(CommandLine, FrameSkipValues)
{
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"2.5", 2}, {"3.5", 4}, {"4x", 4}, {"1e1", 10}, {"0", 1}, {"abc", 1},
        {"0x10", 1}, {"nan", 1}, {"1e99999", 2147483647}};  // decimal only; an absurd size is capped
    for (const auto& [text, expected] : cases) {
        parse({"game.nes", "-fskip", text});
        EXPECT_EQ(options.frameSkip, expected) << "-fskip \"" << text << "\"";
        EXPECT_FALSE(options.autoFrameSkip) << "-fskip \"" << text << "\"";
    }
    parse({"game.nes", "-fskip", "2", "-fskip", "5"});
    EXPECT_EQ(options.frameSkip, 5) << "a later -fskip overrides an earlier one";
}

std::vector<std::tuple<uint32_t, uint16_t, uint16_t>> decodedCheats()
{
    std::vector<std::tuple<uint32_t, uint16_t, uint16_t>> entries;
    for (uint8_t i = 0; i < cheats.cheatCount; ++i)
        entries.emplace_back(cheats.entries[i].address, cheats.entries[i].value, cheats.entries[i].compare);
    return entries;
}

TEST(GameGenie, Codes)
{
    parse({"game.nes", "-gg", "PZLGITY"});
    EXPECT_EQ(decodedCheats(), (decltype(decodedCheats()){{0xC635, 0x21, 0x07}})) << "seven letters decode as eight, L7 = 0";

    parse({"game.nes", "-gg", "PZLGIT", "-gg", "pzlgit", "-gg", "TTTTTT", "-gg", "PZLGITYE", "-gg", "NNNNNNNN"});
    EXPECT_EQ(decodedCheats(), (decltype(decodedCheats()){{0xC635, 0x21, NoCompare},
                                            {0xC635, 0x21, NoCompare},
                                            {0xE666, 0x66, NoCompare},
                                            {0xC635, 0x29, 0x07},
                                            {0xFFFF, 0xFF, 0xFF}}));
    // Letter values carry from one code to the next: PZLGITY takes L7 = N from the code before,
    // letters beyond the eighth are ignored, and '?' leaves L1 at the Z of the code before.
    parse({"game.nes", "-gg", "NNNNNNNN", "-gg", "PZLGITY", "-gg", "PZLGITYEAAAA", "-gg", "P?LGIT"});
    EXPECT_EQ(decodedCheats(), (decltype(decodedCheats()){
                            {0xFFFF, 0xFF, 0xFF}, {0xC635, 0x29, 0x77}, {0xC635, 0x29, 0x07}, {0xC635, 0x21, NoCompare}}));
}

TEST(AutomationAndWindowOptions, ValuesAndFlags)
{
    EXPECT_FALSE(parse({"game.nes", "-HEADLESS", "-frames", "120", "-screenshot", "a.png", "-wav", "b.wav", "-testrom",
                        "-input", "c.txt", "-Benchmark"}));
    EXPECT_EQ(std::tuple(options.headless, options.frameLimit, options.screenshotPath, options.wavPath, options.testRom,
                         options.inputPath, options.benchmark, options.silent, options.scale),
              std::tuple(true, 120, "a.png", "b.wav", true, "c.txt", true, false, 2));
    EXPECT_FALSE(parse({"game.nes", "-scale", "3", "-FullScreen", "-setpad"}));
    EXPECT_EQ(std::tuple(options.scale, options.fullScreen, options.setPad), std::tuple(3, true, true));
}

TEST(AutomationAndWindowOptions, HelpVersionAndMissingOrBadValues)
{
    // Arguments, exit code, and a part of the console output (for a refusal, the option's name).
    const std::vector<std::tuple<std::vector<std::string>, std::optional<int>, std::string>> cases = {
        {{"--help"}, 0, "-headless"}, {{"-h"}, 0, "You must specify the NES ROM filename"},
        {{"--version"}, 0, ProgramTitle + "\n"}, {{"--help", "-silent"}, std::nullopt, ""},  // only alone
        {{"game.nes", "-frames"}, 1, "-frames"}, {{"game.nes", "-wav", ""}, 1, "-wav"},
        {{"game.nes", "-frames", "0"}, 1, "-frames"}, {{"game.nes", "-frames", "12x"}, 1, "-frames"},
        {{"game.nes", "-frames", " 5"}, 1, "Option -frames needs a whole number of frames from 1 on, not \" 5\".\n"},
        {{"game.nes", "-scale", "1"}, std::nullopt, ""}, {{"game.nes", "-scale", "6"}, std::nullopt, ""},
        {{"game.nes", "-scale", "0"}, 1, "Option -scale needs a whole number from 1 to 6, not \"0\".\n"},
        {{"game.nes", "-scale", "7"}, 1, "-scale"}, {{"game.nes", "-scale", "3x"}, 1, "-scale"},
        {{"game.nes", "-region", "dendy"}, std::nullopt, ""},
        {{"game.nes", "-region", "PAL"}, 1, "Option -region needs auto, ntsc, pal or dendy, not \"PAL\".\n"},
    };
    for (const auto& [args, exitCode, text] : cases) {
        std::string console;
        EXPECT_EQ(parse(args, &console), exitCode) << args[0] << " " << args.back();
        EXPECT_NE(console.find(text), std::string::npos) << console;
    }
}

}  // namespace
