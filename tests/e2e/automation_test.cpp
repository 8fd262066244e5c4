// The real program driven by its automation options: headless runs, test-ROM results, output files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <set>

#include "support/harness.h"
#include "support/process.h"

namespace {

const std::string LoaderLines =
    "Mapper: 0 (NROM), 32 KB PRG, 8 KB CHR, 8 KB RAM, NTSC\nLoaded 32 KB PRG, 8 KB CHR.\n";

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
    // Status and text the ROM reports, then the exit code and the last line.
    const std::tuple<uint8_t, std::string, int, std::string> cases[] = {
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

// (The recording's 735 samples a frame in tests/e2e/sound_test.cpp, its header in tests/app.)
TEST(HeadlessRun, FramesAndScreenshot)
{
    const TempFile script({'0', ' ', 'a', '\n'}, "input.txt");
    const std::string png = (script.folder() / "last.png").string();
    const ProcessResult result = runTallowby({builtRom("scene").string(), "-headless", "-frames", "60", "-screenshot",
                                              png, "-input", script.path()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(result.output.ends_with(LoaderLines)) << result.output;
    EXPECT_EQ(result.output.find("Initializing SDL"), std::string::npos) << "no SDL at all";

    const std::vector<uint8_t> image = fileBytes(png);
    ASSERT_GT(image.size(), 33u);
    EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 4), "PNG") << "(its pixels checked in tests/app)";
}

std::set<std::string> filesBelow(const std::filesystem::path& folder)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files.insert(entry.path().string());
    return files;
}

TEST(BadInputs, RefusedAtStartWithOneLineAndNoFileWritten)
{
    namespace fs = std::filesystem;
    const TempFile place({'9', '9', '9', '9', '9', '9', '9', '9', '9', '9', ' ', 'a', '\n'}, "far.txt");
    const fs::path f = place.folder();
    const std::string fifo = (f / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(f / "keys");
    ASSERT_EQ(::mkfifo((f / "keys" / "keymap.cfg").c_str(), 0600), 0);
    std::ofstream(f / "binary.txt") << "0 a\n" << '\0' << "\n";
    std::ofstream(f / "huge.nes").close();
    fs::resize_file(f / "huge.nes", MaxImageBytes + 1);  // sparse: no disk space used

    const std::string rom = builtRom("scene").string();
    const std::string notRom = "Not a ROM file: a folder, FIFO, device or socket cannot be loaded.\n";
    const std::tuple<std::string, std::vector<std::string>, std::string> cases[] = {  // label, arguments, line
        {"ROM FIFO", {fifo}, notRom},  // a folder or a device the same way (tests/app/file_io_test.cpp)
        {"ROM too large", {(f / "huge.nes").string()}, "The file is larger than any valid iNES image (2097168 bytes).\n"},
        {"-input binary", {rom, "-input", (f / "binary.txt").string()},
         "The input script " + (f / "binary.txt").string() + " is not text: it holds the byte 0.\n"},
        {"-input frame out of range", {rom, "-input", place.path()},
         "Input script " + place.path() + ", line 1: the frame must be a whole number from 0 on: \"9999999999 a\"\n"},
        {"-wav missing folder", {rom, "-wav", (f / "none" / "a.wav").string()},
         "Cannot write " + (f / "none" / "a.wav").string() + ": its folder does not exist.\n"},
        {"-screenshot unwritable folder", {rom, "-screenshot", "/proc/self/a.png"},
         "Cannot write /proc/self/a.png: its folder is not writable.\n"},
        {"-screenshot FIFO", {rom, "-screenshot", fifo},
         "Cannot write " + fifo + ": it is a folder, FIFO, device or socket.\n"},
        {"-frames with a space", {rom, "-frames", " 5"},
         "Option -frames needs a whole number of frames from 1 on, not \" 5\".\n"},
        {"keymap.cfg FIFO (window)", {rom}, "keymap.cfg is not a key map: a folder, FIFO, device, socket or a file of "
                                            "more than 65536 bytes.\n"},
    };
    const std::set<std::string> before = filesBelow(f);
    for (const auto& [label, args, line] : cases) {
        std::vector<std::string> command{tallowbyBinary().string()};
        command.insert(command.end(), args.begin(), args.end());
        const bool window = label.starts_with("keymap");
        if (!window)
            command.push_back("-headless");
        const ProcessResult result =
            runProcess(command, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 10s, f / (window ? "keys" : ""));
        EXPECT_EQ(result.exitCode, 1) << label;
        EXPECT_TRUE(result.output.ends_with(line)) << label << ":\n" << result.output;
        EXPECT_EQ(filesBelow(f), before) << label;
        if (label.starts_with("-")) {
            EXPECT_EQ(result.output.find("Loading ROM"), std::string::npos) << label << ": refused before the ROM";
        }
    }
}

}  // namespace
