// The real program driven by its automation options: headless runs, test-ROM results, output files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/harness.h"
#include "support/process.h"

namespace {

const std::string LoaderLines = "Mapper: 0\nLoaded 32 KB PRG, 8 KB CHR.\n";

ProcessResult runTallowby(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {})
{
    std::vector<std::string> args{tallowbyBinary().string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    return runProcess(args, environment, 60s);
}

// A program that reports `status` and `text` through the test-ROM protocol at 0x6000.
InesImage reportingRom(uint8_t status, const std::string& text)
{
    InesImage image(2, 1);
    image.put(0x8000, {0xA9, 0xDE, 0x8D, 0x01, 0x60,   // LDA #$DE; STA $6001
                       0xA9, 0xB0, 0x8D, 0x02, 0x60,   // LDA #$B0; STA $6002
                       0xA9, 0x61, 0x8D, 0x03, 0x60,   // LDA #$61; STA $6003
                       0xA2, 0x00,                     // LDX #0
                       0xBD, 0x00, 0x90,               // copy: LDA $9000,X
                       0x9D, 0x04, 0x60,               //       STA $6004,X
                       0xF0, 0x03,                     //       BEQ done
                       0xE8, 0xD0, 0xF5,               //       INX; BNE copy
                       0xA9, status, 0x8D, 0x00, 0x60, // done: LDA #status; STA $6000
                       0x4C, 0x21, 0x80});             // JMP *
    std::vector<uint8_t> textBytes(text.begin(), text.end());
    textBytes.push_back(0);
    image.put(0x9000, textBytes);
    image.setVectors(0x8000, 0x8021, 0x8021);
    return image;
}

TEST(TestRomOption, ResultsAndExitCodes)
{
    const struct {
        uint8_t status;
        std::string text;
        int exitCode;
        std::string lastLine;
    } cases[] = {
        {0, "tiny\n\nPassed\n", 0, "tiny\n\nPassed\n"},
        {2, "tiny\n\nFailed #2\n", 2, "tiny\n\nFailed #2\n"},
        {0x81, "press reset", 3, "The test ROM asks for the reset button, which Tallowby does not have.\n"},
        {0x80, "running for ever", 4, "No test result within 60 frames.\n"},
    };
    for (const auto& [status, text, exitCode, lastLine] : cases) {
        const TempFile rom(reportingRom(status, text).bytes());
        const ProcessResult result = runTallowby({rom.path(), "-headless", "-testrom", "-frames", "60"});
        EXPECT_EQ(result.exitCode, exitCode) << "status " << int{status};
        EXPECT_TRUE(result.output.ends_with(LoaderLines + lastLine)) << result.output;
    }
}

TEST(TestRomOption, InstrTestSingles)
{
    for (const auto& [file, exitCode] : {std::pair{"10-branches.nes", 1}, std::pair{"16-special.nes", 3}}) {
        const auto rom = findTestRom(std::string("instr_test-v5/rom_singles/") + file);
        if (rom.empty())
            GTEST_SKIP() << "instr_test-v5 not found below " << testRomFolder();
        const ProcessResult result = runTallowby({rom.string(), "-headless", "-testrom"});
        EXPECT_EQ(result.exitCode, exitCode) << file << "\n" << result.output;
        EXPECT_NE(result.output.find("Failed"), std::string::npos) << result.output;
    }
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(HeadlessRun, FramesScreenshotAndSound)
{
    const TempFile script({'0', ' ', 'a', '\n'}, "input.txt");
    const std::string png = (script.folder() / "last.png").string();
    const std::string wav = (script.folder() / "sound.wav").string();
    const ProcessResult result = runTallowby({builtRom("scene").string(), "-headless", "-frames", "60", "-screenshot",
                                              png, "-wav", wav, "-input", script.path()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(result.output.ends_with(LoaderLines)) << result.output;
    EXPECT_EQ(result.output.find("Initializing SDL"), std::string::npos) << "no SDL at all";

    const std::vector<uint8_t> image = readFile(png);
    ASSERT_GT(image.size(), 33u);
    EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 4), "PNG");
    EXPECT_EQ((std::vector<uint8_t>(image.begin() + 16, image.begin() + 24)),
              (std::vector<uint8_t>{0, 0, 1, 0, 0, 0, 0, 240})) << "256 x 240";

    // 735 samples a frame.
    const std::vector<uint8_t> sound = readFile(wav);
    ASSERT_EQ(sound.size(), 44u + 2 * 60 * 735);
    EXPECT_EQ(sound[40] | (sound[41] << 8) | (sound[42] << 16) | (sound[43] << 24), 2 * 60 * 735);
}

TEST(HeadlessRun, AMalformedScriptEndsTheProgramBeforeItStarts)
{
    const TempFile script({'0', ' ', '-', '\n', '5', ' ', 'j', 'u', 'm', 'p', '\n'}, "input.txt");
    const ProcessResult result = runTallowby({builtRom("scene").string(), "-headless", "-input", script.path()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("Input script " + script.path() + ", line 2: "), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("Loading ROM"), std::string::npos);
}

TEST(HeadlessRun, FrameLimitWithAWindow)
{
    const VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    const Workspace keys;
    const std::string png = (keys.folder() / "last.png").string();
    const ProcessResult result =
        runProcess({tallowbyBinary().string(), builtRom("scene").string(), "-frames", "30", "-screenshot", png},
                   display.environment(), 30s, keys.folder());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("Creating SDL screen context... OK!"), std::string::npos);
    EXPECT_FALSE(readFile(png).empty());
}

}  // namespace
