// Music files from the command line: every track exported headless, and a track that is not there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "support/harness.h"
#include "support/process.h"
#include "support/sound_samples.h"

namespace {

std::string musicFile(const std::string& name) { return builtRom(name).replace_extension(".nsf").string(); }

// -track all writes NAME-01.wav, NAME-02.wav: the first track runs its -frames, the second ends
// three seconds after its note stops (at one second).
TEST(Music, EveryTrackIsExportedAndEndsOnSilence)
{
    const Workspace workspace;
    const std::filesystem::path folder = workspace.folder() / "tracks";
    std::filesystem::create_directory(folder);
    const ProcessResult result = runProcess(
        {tallowbyBinary().string(), musicFile("two_songs"), "-headless", "-track", "all", "-frames", "600", "-wav", folder.string() + "/"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(readSamples(folder / "two_songs-01.wav", 44).size(), 600u * 735);
    const size_t second = readSamples(folder / "two_songs-02.wav", 44).size();
    EXPECT_NEAR(static_cast<double>(second) / 44100, 4.0, 0.1);
    EXPECT_NE(result.output.find("Track 2 of 2: "), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(folder / "two_songs-03.wav"));
}

// A track number past the file's, and -track all without a folder to write to: one line, exit 1.
TEST(Music, ATrackThatIsNotThereIsAnError)
{
    const Workspace workspace;
    const std::pair<std::vector<std::string>, std::string> runs[] = {
        {{"-track", "3"}, "There is no track 3: the file holds 2.\n"},
        {{"-track", "all", "-wav", "out.wav"}, "Option -track all needs -headless and -wav with an existing folder.\n"},
    };
    for (const auto& [arguments, line] : runs) {
        std::vector<std::string> args = {tallowbyBinary().string(), musicFile("two_songs"), "-headless", "-frames", "5"};
        args.insert(args.end(), arguments.begin(), arguments.end());
        const ProcessResult result = runProcess(args, {}, 20s, workspace.folder());
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_TRUE(result.output.ends_with(line)) << result.output;
    }
}

// In the window, through the key map: right and left change the track, start pauses, and the
// state keys say that music files have none.
TEST_F(WindowTest, MusicFileKeysChangeTheTrackAndPause)
{
    const Workspace keys;
    start({tallowbyBinary().string(), musicFile("two_songs")}, keys.folder(), "2 tracks.");
    ASSERT_FALSE(window_.empty());
    for (const char* key : {"Right", "Right", "Left", "Return", "F5"}) {
        xdotool({"keydown", key});
        std::this_thread::sleep_for(100ms);  // held for a few frames: the player looks after each
        xdotool({"keyup", key});
    }
    EXPECT_TRUE(program_->waitForOutput(
        "Track 2 of 2\nTrack 1 of 2\nTrack 2 of 2\nPaused\nSave states are not offered for music files\n", 10s))
        << program_->output();
    EXPECT_EQ(stop().exitCode, 0);
}

}  // namespace
