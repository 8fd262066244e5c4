// The key-configuration screen in a real window: keys sent with xdotool, keymap.cfg checked byte by
// byte, in the working folder or the configuration folder ($XDG_CONFIG_HOME/tallowby, a folder of
// the test).
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/harness.h"
#include "support/process.h"

namespace {

const std::vector<std::string> FirstKeys = {"Return", "space", "z", "x", "Up", "Down", "Left", "Right"};
const std::vector<uint8_t> FirstKeyBytes = {0x0D, 0x00, 0x20, 0x00, 0x7A, 0x00, 0x78, 0x00,
                                            0x11, 0x01, 0x12, 0x01, 0x14, 0x01, 0x13, 0x01};

class KeyConfiguration : public testing::Test {
protected:
    void SetUp() override
    {
        if (!display_.running())
            GTEST_SKIP() << "Xvfb could not be started";
        rom_ = std::make_unique<TempFile>(fileBytes(builtRom("scene")), "game.nes");
        home_ = std::make_unique<TempFile>(std::vector<uint8_t>{}, "unused");
        configHome_ = home_->folder() / "config";
    }

    // Starts the program and waits for its window (empty when none shows).
    std::unique_ptr<ChildProcess> start(std::string& window, const std::vector<std::string>& options = {})
    {
        std::vector<std::string> args{tallowbyBinary().string(), rom_->path()};
        args.insert(args.end(), options.begin(), options.end());
        auto program = std::make_unique<ChildProcess>(args, environment(), rom_->folder());
        window = findWindow(environment());
        std::this_thread::sleep_for(300ms);
        return program;
    }

    std::vector<std::string> environment() const
    {
        std::vector<std::string> variables = display_.environment();
        variables.push_back("XDG_CONFIG_HOME=" + configHome_.string());
        return variables;
    }

    void sendKeys(const std::string& window, const std::vector<std::string>& keys) const
    {
        for (const std::string& key : keys) {
            std::this_thread::sleep_for(150ms);
            EXPECT_EQ(runProcess({"xdotool", "key", "--window", window, key}, environment()).exitCode, 0) << key;
        }
    }

    std::filesystem::path configFolder() const { return configHome_ / "tallowby"; }

    VirtualDisplay display_;
    std::unique_ptr<TempFile> rom_;
    std::unique_ptr<TempFile> home_;
    std::filesystem::path configHome_;
};

TEST_F(KeyConfiguration, FirstStartAsksForEachKeyAndWritesTheFileInTheConfigurationFolder)
{
    // Closed on the screen after two keys: nothing is written and no game starts.
    std::string window;
    auto closed = start(window);
    ASSERT_FALSE(window.empty());
    sendKeys(window, {"Return", "space"});
    closed->sendSignal(SIGINT);
    const ProcessResult result = closed->wait(10s);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output.find("Loading ROM"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(rom_->folder() / "keymap.cfg"));
    EXPECT_FALSE(std::filesystem::exists(configHome_));

    auto program = start(window);
    ASSERT_TRUE(program->waitForOutput("Controller configuration file not found!\n\n", 10s));
    ASSERT_FALSE(window.empty());
    sendKeys(window, FirstKeys);  // (what the screen shows is compared in tests/e2e/display_test.cpp)
    ASSERT_TRUE(program->waitForOutput("Loaded 32 KB PRG, 8 KB CHR.\n", 10s)) << "the game starts after the eighth key";
    EXPECT_EQ(fileBytes(configFolder() / "keymap.cfg"), FirstKeyBytes);
    EXPECT_EQ(std::filesystem::status(configFolder()).permissions(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(std::filesystem::exists(rom_->folder() / "keymap.cfg")) << "nothing in the working folder";
    program->sendSignal(SIGINT);
    EXPECT_EQ(program->wait(10s).exitCode, 0);
}  // (where the next start looks for the file: tests/app/user_files_test.cpp)

// (-setkeys in a window below; a keymap.cfg in the working folder wins, in tests/app/user_files_test.cpp.)
TEST_F(KeyConfiguration, AConfigurationFolderThatCannotBeMadeIsReportedOnceAndTheGameGoesOn)
{
    configHome_ = rom_->path();  // a file: no folder can be made below it
    std::string window;
    auto program = start(window, {"-setkeys"});
    ASSERT_FALSE(window.empty());
    sendKeys(window, FirstKeys);
    ASSERT_TRUE(program->waitForOutput("Loaded 32 KB PRG", 10s));
    program->sendSignal(SIGINT);
    const ProcessResult result = program->wait(10s);
    EXPECT_EQ(result.exitCode, 0);
    const std::string report = "The folder " + configFolder().string() + " could not be created (Not a directory): "
                               "the keys are used for this run only and will not be kept.\n";
    const size_t at = result.output.find(report);
    EXPECT_NE(at, std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("could not", at + report.size()), std::string::npos) << "reported once";
}

}  // namespace
