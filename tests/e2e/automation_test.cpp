// The real program driven by its automation options: headless runs, test-ROM results, output files,
// save states from the command line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <set>

#include "app/options.h"
#include "support/harness.h"
#include "support/process.h"

namespace {

const std::string LoaderLines =
    "Mapper: 0 (NROM), 32 KB PRG, 8 KB CHR, 8 KB RAM, NTSC\nLoaded 32 KB PRG, 8 KB CHR.\n";

// A program that copies `status`, the signature and `text` to 0x6000 (the test-ROM protocol).
InesImage reportingRom(uint8_t status, const std::string& text)
{
    InesImage image(2, 1);
    image.put(0x8000, {0xA2, 0x00,              // LDX #0
                       0xBD, 0x00, 0x90,        // copy: LDA $9000,X
                       0x9D, 0x00, 0x60,        //       STA $6000,X
                       0xE8, 0xD0, 0xF7,        //       INX; BNE copy
                       0x4C, 0x0B, 0x80});      // JMP *
    image.put(0x9000, {status, 0xDE, 0xB0, 0x61});
    image.put(0x9004, std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1));
    image.setVectors(0x8000, 0x800B, 0x800B);
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
        const ProcessResult result =
            runProcess({tallowbyBinary().string(), rom.path(), "-headless", "-testrom", "-frames", "60"});
        EXPECT_EQ(result.exitCode, exitCode) << "status " << int{status};
        EXPECT_TRUE(result.output.ends_with(LoaderLines + lastLine)) << result.output;
    }
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
    const std::string music = builtRom("two_songs").replace_extension(".nsf").string();
    const std::string notRom = "Not a ROM file: a folder, FIFO, device or socket cannot be loaded.\n";
    const std::tuple<std::string, std::vector<std::string>, std::string> cases[] = {  // label, arguments, line
        {"no ROM (window)", {}, "Can slightly improve performance, but breaks some games.\n"},  // the usage
        {"ROM missing", {"/no/such/game.nes"}, "File does not exist!\n"},
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
        {"-palette of another size", {rom, "-palette", place.path()},
         "The palette " + place.path() + " is not a palette file: it holds 13 bytes, not 192 (64 colours) or 1536 (512).\n"},
        {"-screenshot FIFO", {rom, "-screenshot", fifo},
         "Cannot write " + fifo + ": it is a folder, FIFO, device or socket.\n"},
        {"music file: a track past its two", {music, "-track", "3"}, "There is no track 3: the file holds 2.\n"},
        {"music file: -track all without a folder", {music, "-track", "all", "-wav", "out.wav"},
         "Option -track all needs -headless and -wav with an existing folder.\n"},
        {"keymap.cfg FIFO (window)", {rom}, "keymap.cfg is not a key map: a folder, FIFO, device, socket or a file of "
                                            "more than 65536 bytes.\n"},
    };
    const std::set<std::string> before = filesBelow(f);
    for (const auto& [label, args, line] : cases) {
        std::vector<std::string> command{tallowbyBinary().string()};
        command.insert(command.end(), args.begin(), args.end());
        const bool window = label.ends_with("(window)");
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

// A movie recorded from a scripted run of the demo (both controllers, the reset button) plays the
// same run back: the same last picture and sound, in either render mode. Its header names the ROM
// and Tallowby; played on another ROM it warns. A headless run touches no SDL and prints nothing
// after the loader's lines. A state saved at frame 100, where the script lets go of every button,
// and loaded without the script runs on to the scripted run's last picture; a movie may start from
// it, and names it; a missing one is refused. (The screenshot's pixels are checked in tests/app.)
TEST(Movies, RecordedRunsAndLoadedStatesGoOnExactly)
{
    const std::string script = "0 right\n30 a+right -\n45 - up+a reset\n80 left b\n100 - -\n";
    const TempFile input(std::vector<uint8_t>(script.begin(), script.end()), "script.txt");
    const auto path = [&](const std::string& name) { return (input.folder() / name).string(); };
    const std::string demo = (std::filesystem::path(TALLOWBY_BUILT_ROMS).parent_path().parent_path() / "demo/demo.nes").string();
    const auto run = [&](std::vector<std::string> args, const char* frames = "130") {
        args.insert(args.begin(), {tallowbyBinary().string(), demo, "-headless", "-frames", frames});
        return runProcess(args, {}, 30s);
    };
    for (const std::string mode : {"-scanline", "-silent"}) {  // run.png: the last, in pixel mode
        const ProcessResult recorded =
            run({mode, "-input", input.path(), "-record", path("movie.txt"), "-screenshot", path("run.png"), "-wav", path("run.wav")});
        ASSERT_EQ(recorded.exitCode, 0);
        EXPECT_TRUE(recorded.output.ends_with(LoaderLines)) << recorded.output;
        EXPECT_EQ(recorded.output.find("Initializing SDL"), std::string::npos) << "no SDL at all";
        ASSERT_EQ(run({mode, "-input", path("movie.txt"), "-screenshot", path("movie.png"), "-wav", path("movie.wav")}).exitCode, 0);
        EXPECT_EQ(fileBytes(path("movie.png")), fileBytes(path("run.png"))) << mode;
        EXPECT_EQ(fileBytes(path("movie.wav")), fileBytes(path("run.wav"))) << mode;
    }
    const std::vector<uint8_t> png = fileBytes(path("run.png"));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    const std::vector<uint8_t> bytes = fileBytes(path("movie.txt"));
    const std::string movie(bytes.begin(), bytes.end());
    EXPECT_TRUE(movie.starts_with("# " + ProgramTitle + " input movie")) << movie;
    EXPECT_NE(movie.find("\n# ROM CRC32: "), std::string::npos) << movie;
    EXPECT_NE(movie.find("\n45 - a+up reset\n"), std::string::npos) << movie;
    const ProcessResult elsewhere = runProcess({tallowbyBinary().string(), builtRom("scene").string(), "-headless", "-frames", "5",
                                                "-input", path("movie.txt")});
    EXPECT_NE(elsewhere.output.find("The input movie " + path("movie.txt") + " was recorded with another ROM"), std::string::npos)
        << elsewhere.output;

    ASSERT_EQ(run({"-input", input.path(), "-savestate", path("at100")}, "100").exitCode, 0);
    ASSERT_EQ(run({"-loadstate", path("at100"), "-record", path("from.txt"), "-screenshot", path("resumed.png")}).exitCode, 0);
    EXPECT_EQ(fileBytes(path("resumed.png")), fileBytes(path("run.png")));
    const std::vector<uint8_t> from = fileBytes(path("from.txt"));
    EXPECT_NE(std::string(from.begin(), from.end()).find("# From the state: " + path("at100") + "\n"), std::string::npos);
    const ProcessResult missing = run({"-loadstate", path("nothing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("The state file " + path("nothing") + " does not exist."), std::string::npos);
}

}  // namespace
