// The command line: usage text, option table, scan limits, frame skip and Game Genie codes.
#include <gtest/gtest.h>

#include <sstream>

#include "app/machine.h"
#include "app/options.h"

namespace {

struct Parsed {
    std::optional<int> exitCode;
    std::string console;
};

Parsed parse(std::vector<std::string> args)
{
    resetMachine();
    args.insert(args.begin(), "tallowby");
    std::ostringstream out;
    Parsed parsed;
    parsed.exitCode = parseCommandLine(args, out);
    parsed.console = out.str();
    return parsed;
}

TEST(CommandLine, NoArgumentsPrintsTheUsageTextAndEndsWithFailure)
{
    const Parsed parsed = parse({});
    ASSERT_EQ(parsed.exitCode, 1);
    EXPECT_EQ(parsed.console,
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
              "                    Can slightly improve performance, but breaks some games.\n");
    EXPECT_EQ(parse({""}).exitCode, 1) << "an empty ROM argument is no argument";
}

TEST(CommandLine, DefaultsWithOnlyARomFile)
{
    const Parsed parsed = parse({"game.nes"});
    EXPECT_FALSE(parsed.exitCode);
    EXPECT_TRUE(parsed.console.empty());
    EXPECT_EQ(options.frameSkip, 1);
    EXPECT_TRUE(options.autoFrameSkip);
    EXPECT_FALSE(options.silent);
    EXPECT_FALSE(options.setKeys);
    EXPECT_FALSE(options.scanlineMode);
    EXPECT_EQ(cheatTable.cheatCount, 0);
}

TEST(CommandLine, OptionsAreMatchedWithoutRegardToCase)
{
    parse({"game.nes", "-SILENT", "-SetKeys", "-scanLINE", "-FSKIP", "3"});
    EXPECT_TRUE(options.silent);
    EXPECT_TRUE(options.setKeys);
    EXPECT_TRUE(options.scanlineMode);
    EXPECT_EQ(options.frameSkip, 3);
    EXPECT_FALSE(options.autoFrameSkip);
}

TEST(CommandLine, TheFirstArgumentIsAlwaysTheRomFile)
{
    parse({"-silent"});
    EXPECT_FALSE(options.silent);
}

TEST(CommandLine, UnknownArgumentsAreIgnoredAndValuesAreTakenWhateverTheyLookLike)
{
    parse({"game.nes", "--bogus", "-fskip", "-silent"});
    EXPECT_FALSE(options.silent) << "-silent was the value of -fskip";
    EXPECT_FALSE(options.autoFrameSkip);
}

TEST(CommandLine, AnEmptyArgumentEndsTheScan)
{
    parse({"game.nes", "-scanline", "", "-silent"});
    EXPECT_TRUE(options.scanlineMode);
    EXPECT_FALSE(options.silent);
}

TEST(CommandLine, OnlyArgumentsTwoToFifteenAreOptions)
{
    std::vector<std::string> args{"game.nes"};
    for (int n = 2; n <= 14; ++n)
        args.push_back("-unknown");
    args.push_back("-scanline");  // argument 15
    args.push_back("-silent");    // argument 16
    parse(args);
    EXPECT_TRUE(options.scanlineMode);
    EXPECT_FALSE(options.silent);
}

TEST(CommandLine, FrameSkipValues)
{
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"3", 3},    {"2.5", 2}, {"3.5", 4},  {" 7", 7},  {"4x", 4}, {"1e1", 10},
        {"45", 45},  {"0", 1},   {"-2", 1},   {"abc", 1}, {"", 1},   {"0.4", 1},
    };
    for (const auto& [text, expected] : cases) {
        parse({"game.nes", "-fskip", text});
        EXPECT_EQ(options.frameSkip, expected) << "-fskip \"" << text << "\"";
        EXPECT_FALSE(options.autoFrameSkip) << "-fskip \"" << text << "\"";
    }
    parse({"game.nes", "-fskip"});
    EXPECT_EQ(options.frameSkip, 1) << "a missing value";
    parse({"game.nes", "-fskip", "2", "-fskip", "5"});
    EXPECT_EQ(options.frameSkip, 5) << "a later -fskip overrides an earlier one";
}

void expectCheat(size_t index, uint32_t address, uint16_t value, uint16_t compare, const char* note = "")
{
    SCOPED_TRACE(note);
    const CheatEntry& entry = cheatTable.entries[index];
    EXPECT_EQ(entry.address, address) << "entry " << index;
    EXPECT_EQ(entry.value, value) << "entry " << index;
    EXPECT_EQ(entry.compare, compare) << "entry " << index;
}

TEST(GameGenie, SixAndEightLetterCodes)
{
    parse({"game.nes", "-gg", "PZLGIT", "-gg", "pzlgit", "-gg", "TTTTTT", "-gg", "PZLGITYE", "-gg", "NNNNNNNN"});
    ASSERT_EQ(cheatTable.cheatCount, 5);
    expectCheat(0, 0xC635, 0x21, NoCompare);
    expectCheat(1, 0xC635, 0x21, NoCompare);
    expectCheat(2, 0xE666, 0x66, NoCompare);
    expectCheat(3, 0xC635, 0x29, 0x07);
    expectCheat(4, 0xFFFF, 0xFF, 0xFF);
}

TEST(GameGenie, LetterValuesCarryFromOneCodeToTheNext)
{
    parse({"game.nes", "-gg", "PZLGITY"});
    ASSERT_EQ(cheatTable.cheatCount, 1);
    expectCheat(0, 0xC635, 0x21, 0x07, "a seven-letter code is decoded in the eight-letter form, L7 = 0");

    parse({"game.nes", "-gg", "NNNNNNNN", "-gg", "PZLGITY"});
    ASSERT_EQ(cheatTable.cheatCount, 2);
    expectCheat(1, 0xC635, 0x29, 0x77, "L7 keeps N from the first code");
}

TEST(GameGenie, CharactersOutsideTheAlphabetAndBeyondTheEighthAreIgnored)
{
    parse({"game.nes", "-gg", "PZLGITYEAAAA", "-gg", "P?LGIT"});
    ASSERT_EQ(cheatTable.cheatCount, 2);
    expectCheat(0, 0xC635, 0x29, 0x07);
    // '?' leaves L1 at the Z of the previous code, so the second code decodes as PZLGIT.
    expectCheat(1, 0xC635, 0x21, NoCompare);
}

}  // namespace
