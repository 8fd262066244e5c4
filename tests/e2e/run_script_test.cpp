// ./run.sh with no ROM: builds the Release program and plays the demo cartridge in a window.
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <thread>

#include "support/harness.h"
#include "support/process.h"

namespace {

TEST(RunScript, WithoutARomPlaysTheDemoCartridge)
{
    const VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    const Workspace keys;
    const std::vector<std::string> environment = display.environment();
    ChildProcess program({std::string(TALLOWBY_SOURCE_DIR) + "/run.sh"}, environment, keys.folder());
    ASSERT_TRUE(program.waitForOutput("demo.nes\nMapper: 0 (NROM)", 600s)) << "the Release build and start-up";
    std::this_thread::sleep_for(1500ms);

    const std::string window = findWindow(environment);
    ASSERT_FALSE(window.empty());
    const std::vector<uint8_t> pixels = captureWindow(window, environment);
    ASSERT_EQ(pixels.size(), 512u * 480 * 3);

    // The demo's picture: a night sky over most of the window, many colours in all.
    std::map<uint32_t, int> colours;
    for (size_t i = 0; i < pixels.size(); i += 3)
        ++colours[(uint32_t{pixels[i]} << 16) | (uint32_t{pixels[i + 1]} << 8) | pixels[i + 2]];
    EXPECT_GE(colours.size(), 8u);
    const auto [sky, count] = *std::max_element(colours.begin(), colours.end(),
                                                [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_GT(count, 512 * 480 / 3) << "one colour fills the sky";
    EXPECT_GT(sky & 0xFF, (sky >> 16) & 0xFF) << "the sky is blue";

    program.sendSignal(SIGINT);
    const ProcessResult result = program.wait(10s);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.output.find("No ROM given: playing the demo cartridge."), std::string::npos);
}

}  // namespace
