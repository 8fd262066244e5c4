// Automation: the options that drive it, input scripts, the test-ROM protocol, PNG and WAV output.
#include <gtest/gtest.h>

#include <png.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/automation.h"
#include "app/capture_host.h"
#include "app/machine.h"
#include "app/options.h"
#include "app/video.h"
#include "bus/cpu_bus.h"
#include "support/harness.h"

namespace {

std::optional<int> parse(std::vector<std::string> args, std::string* console = nullptr)
{
    resetMachine();
    args.insert(args.begin(), "tallowby");
    std::ostringstream out;
    const auto exitCode = parseCommandLine(args, out);
    if (console)
        *console = out.str();
    return exitCode;
}

TEST(AutomationOptions, ValuesAndFlags)
{
    EXPECT_FALSE(parse({"game.nes", "-HEADLESS", "-frames", "120", "-screenshot", "a.png", "-wav", "b.wav", "-testrom",
                        "-input", "c.txt", "-Benchmark"}));
    EXPECT_TRUE(options.headless);
    EXPECT_EQ(options.frameLimit, 120);
    EXPECT_EQ(options.screenshotPath, "a.png");
    EXPECT_EQ(options.wavPath, "b.wav");
    EXPECT_TRUE(options.testRom);
    EXPECT_EQ(options.inputPath, "c.txt");
    EXPECT_TRUE(options.benchmark);
    EXPECT_FALSE(options.silent);
}

TEST(AutomationOptions, MissingOrBadValuesEndTheProgram)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"game.nes", "-frames"}, {"game.nes", "-screenshot"}, {"game.nes", "-wav", ""}, {"game.nes", "-input"},
             {"game.nes", "-frames", "0"}, {"game.nes", "-frames", "12x"}, {"game.nes", "-frames", "-5"}}) {
        std::string console;
        EXPECT_EQ(parse(args, &console), 1) << args[1];
        EXPECT_NE(console.find(args[1]), std::string::npos) << "the line names the option: " << console;
    }
}

TEST(AutomationOptions, HelpAndVersion)
{
    std::string console;
    EXPECT_EQ(parse({"--help"}, &console), 0);
    EXPECT_EQ(console.rfind("You must specify the NES ROM filename", 0), 0u);
    EXPECT_NE(console.find("-headless"), std::string::npos);
    EXPECT_EQ(parse({"-h"}, &console), 0);
    EXPECT_EQ(parse({"--version"}, &console), 0);
    EXPECT_EQ(console, "Tallowby v0.11.5.6\n");
    EXPECT_FALSE(parse({"--help", "-silent"})) << "only as the only argument";
}

TEST(InputScript, ButtonsFromTheirFrameOn)
{
    std::string error;
    auto script = parseInputScript("# comment\n\n0 -\n3 start\n  5 a+right+A\n5 up+down+left+b+select\n", error);
    ASSERT_FALSE(script) << "names are lower case";
    script = parseInputScript("# comment\n\n0 -\n3 start\n  5 a+right\n5 up+down+left+b+select\n", error);
    ASSERT_TRUE(script) << error;
    std::vector<ButtonState> seen;
    for (int frame = 0; frame < 7; ++frame) {
        applyInputScript(*script, frame);
        seen.push_back(scriptedButtons);
    }
    const ButtonState none{}, start{0, 0, 0, 1, 0, 0, 0, 0}, last{0, 1, 1, 0, 1, 1, 1, 0};
    EXPECT_EQ(seen, (std::vector<ButtonState>{none, none, none, start, start, last, last}));
}

TEST(InputScript, MalformedLinesAreReportedWithTheirNumber)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0 -\nten start\n", "line 2:"},     {"0 jump\n", "line 1:"},       {"5 a\n2 b\n", "line 2:"},
        {"0 a b\n", "line 1:"},              {"0\n", "line 1:"},            {"# x\n-1 a\n", "line 2:"},
        {"0 a++b\n", "line 1:"},
    };
    for (const auto& [text, where] : cases) {
        std::string error;
        EXPECT_FALSE(parseInputScript(text, error)) << text;
        EXPECT_EQ(error.rfind(where, 0), 0u) << error;
    }
}

TEST(TestRomProtocol, ResultOnlyOnceTheDataAreValidAndFinal)
{
    resetMachine();
    EXPECT_FALSE(readTestRomResult()) << "no signature";
    cpuMemory[0x6000] = 0x80;
    cpuMemory[0x6001] = 0xDE;
    cpuMemory[0x6002] = 0xB0;
    cpuMemory[0x6003] = 0x61;
    EXPECT_FALSE(readTestRomResult()) << "still running";
    cpuMemory[0x6000] = 2;
    const std::string text = "05-zp_xy\n\nFailed #2\n";
    std::copy(text.begin(), text.end(), cpuMemory.begin() + 0x6004);
    const auto result = readTestRomResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 2);
    EXPECT_EQ(result->text, text);

    std::fill(cpuMemory.begin() + 0x6004, cpuMemory.begin() + 0x8000, 'x');
    EXPECT_EQ(readTestRomResult()->text.size(), 0x8000u - 0x6004) << "an unterminated text ends with the RAM";
}

TEST(Capture, ScreenshotIsTheFrameBufferInTheConsolesColours)
{
    for (uint32_t i = 0; i < frameBuffer.size(); ++i)
        frameBuffer[i] = static_cast<uint8_t>((i * 7 + i / 256) % 70);
    const TempFile folder({}, "unused");
    const std::string path = (folder.folder() / "shot.png").string();
    ASSERT_TRUE(writeScreenshot(path));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    ASSERT_EQ(image.width, 256u);
    ASSERT_EQ(image.height, 240u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    int wrong = 0;
    for (uint32_t i = 0; i < frameBuffer.size(); ++i) {
        const uint32_t rgb = (uint32_t{pixels[3 * i]} << 16) | (uint32_t{pixels[3 * i + 1]} << 8) | pixels[3 * i + 2];
        wrong += rgb != colourOf(frameBuffer[i]);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(writeScreenshot("/no/such/folder/shot.png"));
}

uint32_t littleEndian(const std::vector<uint8_t>& bytes, size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[at + i];
    return value;
}

TEST(Capture, WavHeaderIsCompleteAfterEveryWrite)
{
    const TempFile folder({}, "unused");
    const std::string path = (folder.folder() / "sound.wav").string();
    WavRecorder wav;
    ASSERT_TRUE(wav.open(path));
    const std::vector<int8_t> first = {-30, 0, 56}, second = {1, -1};
    wav.write(first.data(), 3);
    const auto check = [&](uint32_t samples) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        ASSERT_EQ(bytes.size(), 44 + 2 * samples);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
        EXPECT_EQ(littleEndian(bytes, 4, 4), 36 + 2 * samples);
        EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(littleEndian(bytes, 20, 2), 1u);       // PCM
        EXPECT_EQ(littleEndian(bytes, 22, 2), 1u);       // mono
        EXPECT_EQ(littleEndian(bytes, 24, 4), 44100u);
        EXPECT_EQ(littleEndian(bytes, 34, 2), 16u);
        EXPECT_EQ(littleEndian(bytes, 40, 4), 2 * samples);
        EXPECT_EQ(littleEndian(bytes, 44, 2), 0xE200u) << "-30 * 256";
        EXPECT_EQ(littleEndian(bytes, 48, 2), 0x3800u) << "56 * 256";
    };
    check(3);
    wav.write(second.data(), 2);
    check(5);
}

}  // namespace
