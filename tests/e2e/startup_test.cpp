// The real program: console lines and exit codes of start-up, errors and shutdown.
#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/process.h"

namespace {

const std::string Banner =
    "Tallowby v0.11.5.6 - free software, provided without warranty\n"
    "[A Nintendo Entertainment System (NES) emulator]\n"
    "\n";
const std::string SdlLines = "Initializing SDL... OK!\nCreating SDL screen context... OK!\n";

// Runs the program with no display at all (SDL's dummy drivers).
ProcessResult runHeadlessWindow(const std::vector<std::string>& arguments)
{
    const Workspace workspace;
    std::vector<std::string> args{tallowbyBinary().string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    return runProcess(args, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 20s, workspace.folder());
}

// The usage comes before SDL is touched; a file that cannot be loaded, after the window opened (the
// loader's refusals in tests/cart/loader_test.cpp).
TEST(Startup, UsageAndFilesThatCannotBeLoadedFail)
{
    const std::string loading = Banner + SdlLines + "Loading ROM: ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {  // arguments, start of the output
        {{}, Banner + "You must specify the NES ROM filename on the command line.\n"},
        {{"/no/such/game.nes"}, loading + "/no/such/game.nes\nFile does not exist!\n"},
    };
    for (const auto& [args, output] : cases) {
        const ProcessResult result = runHeadlessWindow(args);
        EXPECT_EQ(result.exitCode, 1) << output;
        EXPECT_TRUE(result.output.starts_with(output)) << result.output;
    }
}

// (Ctrl+C ends a game cleanly in the key-map and display tests.)
TEST(Startup, AValidImageOpensTheWindowAndEndsAtTheFrameLimit)
{
    const VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    const Workspace workspace;
    const std::string rom = builtRom("scene").string(), png = (workspace.folder() / "last.png").string();
    const ProcessResult result = runProcess({tallowbyBinary().string(), rom, "-frames", "30", "-screenshot", png},
                                            display.environment(), 30s, workspace.folder());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, Banner + SdlLines + "Loading ROM: " + rom +
                                 "\nMapper: 0 (NROM), 32 KB PRG, 8 KB CHR, 8 KB RAM, NTSC\nLoaded 32 KB PRG, 8 KB CHR.\n");
    EXPECT_FALSE(fileBytes(png).empty());
}

}  // namespace
