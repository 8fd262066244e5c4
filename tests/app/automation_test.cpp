// Automation: input scripts, the test-ROM protocol, PNG and WAV output.
#include <gtest/gtest.h>

#include <png.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "app/automation.h"
#include "app/capture.h"
#include "app/gamepad.h"
#include "app/keymap.h"
#include "app/options.h"
#include "app/palette_file.h"
#include "app/run.h"
#include "console/machine.h"
#include "ppu/frame_buffer.h"
#include "ppu/palette.h"
#include "support/cpu_harness.h"
#include "support/harness.h"

namespace {

TEST(InputScript, ButtonsFromTheirFrameOn)
{
    std::string error;
    auto script = parseInputScript("# comment\n\n0 -\n3 start\n  5 a+right\n5 up+down+left+b+select\n", error);
    ASSERT_TRUE(script) << error;
    std::vector<ButtonState> seen;
    for (int frame = 0; frame < 7; ++frame) {
        applyInputScript(*script, frame);
        seen.push_back(scriptedButtons);
    }
    const ButtonState none{}, start{0, 0, 0, 1, 0, 0, 0, 0}, last{0, 1, 1, 0, 1, 1, 1, 0};
    EXPECT_EQ(seen, (std::vector<ButtonState>{none, none, none, start, start, last, last}));
    // A movie's lines: controller 2's buttons and the reset button; the ROM's CRC32 in a comment.
    script = parseInputScript("# ROM CRC32: 0A1b2C3d\n0 a start reset\n", error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->romChecksum, 0x0A1B2C3Du);
    EXPECT_TRUE(script->secondController);
    ASSERT_EQ(script->steps.size(), 1u);
    EXPECT_EQ(std::tuple(script->steps[0].buttons, script->steps[0].second, script->steps[0].reset), std::tuple(ButtonState{1}, start, true));
}

TEST(InputScript, MalformedLinesAreReportedWithTheirNumber)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0 -\nten start\n", "line 2:"}, {"0 jump\n", "line 1:"}, {"5 a\n2 b\n", "line 2:"}, {"0 a b start\n", "line 1:"},
        {"# x\n-1 a\n", "line 2:"}, {"0 a++b\n", "line 1:"},
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
    const std::string text = "\x80\xDE\xB0\x61" "05-zp_xy\n\nFailed #2\n";
    cartridge.workRamBytes = DefaultRamBytes;
    std::copy(text.begin(), text.end(), cartridge.prgRam.begin());
    EXPECT_FALSE(readTestRomResult()) << "still running";
    cartridge.prgRam[0] = 2;
    const auto result = readTestRomResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 2);
    EXPECT_EQ(result->text, text.substr(4));
    std::fill(cartridge.prgRam.begin() + 4, cartridge.prgRam.begin() + 0x2000, 'x');
    EXPECT_EQ(readTestRomResult()->text.size(), 0x8000u - 0x6004) << "an unterminated text ends with the RAM";
}

// The screenshot shows the frame buffer in the console's colours, or in a palette file's: 64
// colours under Tallowby's emphasis, or 512 with the emphasis in the file (the font's black and
// white, 64 and 65, are the console's). (A file of another size is refused: tests/e2e.)
TEST(Capture, ScreenshotIsTheFrameBufferInTheChosenColours)
{
    for (uint32_t i = 0; i < frameBuffer.size(); ++i)
        frameBuffer[i] = static_cast<uint8_t>((i * 7 + i / 256) % 70);
    for (uint32_t row = 0; row < lineEmphasis.size(); ++row)
        lineEmphasis[row] = static_cast<uint8_t>(row % 8);
    const TempFile shot({}, "shot.png");
    EXPECT_FALSE(writeScreenshot("/no/such/folder/shot.png"));
    options.screenshotPath = "/no/such/folder/shot.png";
    RunControl control;
    control.exitCode = 0;  // the run ended at its -frames limit
    EXPECT_EQ(finishRun(control), 1) << "a screenshot that cannot be written fails the run";
    options.screenshotPath.clear();

    const auto fileColour = [](uint32_t entry) { return (entry * 0x010305u) & 0xFFFFFF; };
    for (const uint32_t colours : {0u, 64u, 512u}) {
        std::vector<uint8_t> bytes;
        for (uint32_t entry = 0; entry < colours; ++entry)
            bytes.insert(bytes.end(), {static_cast<uint8_t>(fileColour(entry) >> 16), static_cast<uint8_t>(fileColour(entry) >> 8),
                                       static_cast<uint8_t>(fileColour(entry))});
        const TempFile palette(bytes, "colours.pal");
        forgetPaletteFile();
        if (colours != 0) {
            ASSERT_EQ(loadPaletteFile(palette.path()), "");
        }
        ASSERT_TRUE(writeScreenshot(shot.path()));
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, shot.path().c_str()));
        ASSERT_EQ(std::pair(image.width, image.height), std::pair(256u, 240u));
        image.format = PNG_FORMAT_RGB;
        std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
        int wrong = 0;
        for (uint32_t i = 0; i < frameBuffer.size(); ++i) {
            const uint8_t byte = frameBuffer[i], emphasis = lineEmphasis[i / 256];
            const uint32_t expected = colours == 0 || byte == 64 || byte == 65 ? colourOf(byte, emphasis)
                                      : colours == 64                      ? emphasised(fileColour(byte % 64), emphasis)
                                                                           : fileColour(emphasis * 64u + byte % 64);
            wrong += uint32_t(pixels[3 * i] << 16 | pixels[3 * i + 1] << 8 | pixels[3 * i + 2]) != expected;
        }
        EXPECT_EQ(wrong, 0) << colours << " colours";
    }
    forgetPaletteFile();
    lineEmphasis.fill(0);
}

// Turbo A on a key (turbo.cfg) and turbo B on a pad's button (gamepad.cfg's turbo_b line): while
// held, the controller port reads the button pressed on two frames and released on the next two.
TEST(Turbo, TheButtonIsPressedOnAlternatingPairsOfFrames)
{
    // Each NMI strobes controller 1 and keeps A (bit 0) and B (bit 1) at 0x0300 + the NMI's number.
    resetHostState();
    loadProgram({{0xE000, {0x78, 0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x06, 0xE0}},  // SEI, NMI on, spin
                 {TestNmiHandler, {0xA9, 0x01, 0x8D, 0x16, 0x40, 0xA9, 0x00, 0x8D, 0x16, 0x40,  // strobe
                                   0xAD, 0x16, 0x40, 0x29, 0x01, 0x85, 0x10,                    // A
                                   0xAD, 0x16, 0x40, 0x29, 0x01, 0x0A, 0x05, 0x10,              // B << 1 | A
                                   0xA6, 0x11, 0x9D, 0x00, 0x03, 0xE6, 0x11, 0x40}}});          // kept; RTI
    const TempFile turbo(std::vector<uint8_t>{}, "turbo.cfg");
    std::ofstream(turbo.path()) << "turbo_a 97\nturbo_b x\n";  // the second line is not understood: no key
    loadTurboKeys(turbo.path());
    EXPECT_EQ(turboKeys, (std::array<uint16_t, 2>{97, NoKey}));
    applyKeyEvent(97, true);
    std::ostringstream report;
    gamepadConfig = parseGamepadConfig("turbo_b button 5\n", "gamepad.cfg", report);
    connectGamepad(0, 8);
    applyPadEvent(0, {PadInputKind::Button, 5, 1});
    std::vector<uint8_t> expected;
    for (int32_t frame = 0; frame < 12; ++frame) {
        expected.push_back(framesRun() % 4 < 2 ? 3 : 0);
        runConsoleFrame(heldButtons(), {});
        countFrame();
    }
    EXPECT_EQ(std::vector<uint8_t>(consoleRam().begin() + 0x300, consoleRam().begin() + 0x30C), expected) << report.str();
    resetHostState();
}

TEST(Capture, WavHeaderIsCompleteAfterEveryWrite)
{
    const TempFile file({}, "sound.wav");
    const std::string& path = file.path();
    WavRecorder wav;
    ASSERT_TRUE(wav.open(path, 8));  // room for four samples
    const auto check = [&](uint32_t samples) {
        const std::vector<uint8_t> bytes = fileBytes(path);
        ASSERT_EQ(bytes.size(), 44 + 2 * samples);
        const auto field = [&](size_t at) -> uint32_t {
            return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
        };
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16).replace(4, 4, "...."), "RIFF....WAVEfmt ");
        EXPECT_EQ(field(4), 36 + 2 * samples);
        EXPECT_EQ(field(20), 0x10001u) << "PCM, mono";
        EXPECT_EQ(field(24), 44100u);
        EXPECT_EQ(field(32), 0x100002u) << "2 bytes a sample, 16 bits";
        EXPECT_EQ(field(40), 2 * samples);
        EXPECT_EQ(field(44), 0xE200u) << "-30 * 256, then 0";
        EXPECT_EQ(field(48) & 0xFFFF, 0x3801u) << "56 * 256 + 1, little-endian";
    };
    const std::vector<int16_t> samples = {-7680, 0, 14337, 1, -1};
    EXPECT_TRUE(wav.write(samples.data(), 3));
    check(3);
    EXPECT_FALSE(wav.write(samples.data() + 3, 2)) << "full: the sample that fits is taken, then the file closes";
    check(4);
    EXPECT_FALSE(wav.write(samples.data(), 1));
    check(4);
}

}  // namespace
