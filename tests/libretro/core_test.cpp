// The libretro core as a front end sees it: a small front end here loads the built core with
// dlopen, gives it ROMs as bytes and scripted pads, and compares what it shows and plays with the
// console run in this program; states, the battery memory and PAL's samples. Then Debian's
// RetroArch plays the core under Xvfb, and its screenshot is Tallowby's own.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <libretro.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/machine.h"
#include "ppu/palette.h"
#include "support/harness.h"
#include "support/process.h"

namespace {

// What the core gave the front end, and what the front end answers.
struct FrontEnd {
    std::vector<uint32_t> picture;
    std::vector<int16_t> samples;  // stereo, as given in the last retro_run
    ButtonState pad{};             // controller 1
    std::map<std::string, std::string> options;
};
FrontEnd frontEnd;

bool environment(unsigned command, void* data)
{
    switch (command) {
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT: return *static_cast<retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_XRGB8888;
    case RETRO_ENVIRONMENT_GET_VARIABLE: {
        auto* variable = static_cast<retro_variable*>(data);
        const auto found = frontEnd.options.find(variable->key);
        variable->value = found == frontEnd.options.end() ? nullptr : found->second.c_str();
        return found != frontEnd.options.end();
    }
    case RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE: *static_cast<bool*>(data) = false; return true;
    case RETRO_ENVIRONMENT_SET_VARIABLES:
    case RETRO_ENVIRONMENT_SET_CONTROLLER_INFO:
    case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME: return true;
    default: return false;
    }
}

void video(const void* data, unsigned width, unsigned height, size_t pitch)
{
    frontEnd.picture.resize(width * height);
    for (unsigned row = 0; row < height; ++row)
        std::memcpy(&frontEnd.picture[row * width], static_cast<const uint8_t*>(data) + row * pitch, width * 4);
}

size_t audio(const int16_t* data, size_t frames)
{
    frontEnd.samples.assign(data, data + 2 * frames);
    return frames;
}

int16_t input(unsigned port, unsigned device, unsigned, unsigned id)
{
    static constexpr unsigned Buttons[] = {RETRO_DEVICE_ID_JOYPAD_A,    RETRO_DEVICE_ID_JOYPAD_B,    RETRO_DEVICE_ID_JOYPAD_SELECT,
                                           RETRO_DEVICE_ID_JOYPAD_START, RETRO_DEVICE_ID_JOYPAD_UP,   RETRO_DEVICE_ID_JOYPAD_DOWN,
                                           RETRO_DEVICE_ID_JOYPAD_LEFT,  RETRO_DEVICE_ID_JOYPAD_RIGHT};
    const auto* button = std::find(std::begin(Buttons), std::end(Buttons), id);
    return port == 0 && device == RETRO_DEVICE_JOYPAD && button != std::end(Buttons) ? frontEnd.pad[button - Buttons] : 0;
}

// The built core, opened afresh for each test and closed after it.
class Core : public testing::Test {
protected:
    void SetUp() override
    {
        frontEnd = FrontEnd{};
        handle_ = dlopen(TALLOWBY_LIBRETRO_CORE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        call<void (*)(retro_environment_t)>("retro_set_environment")(environment);
        call<void (*)(retro_video_refresh_t)>("retro_set_video_refresh")(video);
        call<void (*)(retro_audio_sample_batch_t)>("retro_set_audio_sample_batch")(audio);
        call<void (*)(retro_input_poll_t)>("retro_set_input_poll")([] {});
        call<void (*)(retro_input_state_t)>("retro_set_input_state")(input);
        call<void (*)()>("retro_init")();
    }
    void TearDown() override
    {
        if (handle_ == nullptr)
            return;
        call<void (*)()>("retro_unload_game")();
        call<void (*)()>("retro_deinit")();
        dlclose(handle_);
    }

    template <typename Function>
    Function call(const char* name)
    {
        auto* function = reinterpret_cast<Function>(dlsym(handle_, name));
        EXPECT_NE(function, nullptr) << name;
        return function;
    }

    bool load(const std::vector<uint8_t>& image)
    {
        const retro_game_info game{nullptr, image.data(), image.size(), nullptr};
        return call<bool (*)(const retro_game_info*)>("retro_load_game")(&game);
    }
    std::vector<uint8_t> serialize()
    {
        std::vector<uint8_t> state(call<size_t (*)()>("retro_serialize_size")());
        EXPECT_TRUE(call<bool (*)(void*, size_t)>("retro_serialize")(state.data(), state.size()));
        return state;
    }
    bool unserialize(const std::vector<uint8_t>& state)
    {
        return call<bool (*)(const void*, size_t)>("retro_unserialize")(state.data(), state.size());
    }
    std::span<uint8_t> memory(unsigned id)
    {
        return {static_cast<uint8_t*>(call<void* (*)(unsigned)>("retro_get_memory_data")(id)),
                call<size_t (*)(unsigned)>("retro_get_memory_size")(id)};
    }

    // Frames of picture and sound, as the core gave them.
    std::vector<std::pair<std::vector<uint32_t>, std::vector<int16_t>>> play(uint32_t frames)
    {
        std::vector<std::pair<std::vector<uint32_t>, std::vector<int16_t>>> played;
        for (uint32_t frame = 0; frame < frames; ++frame) {
            call<void (*)()>("retro_run")();
            played.emplace_back(frontEnd.picture, frontEnd.samples);
        }
        return played;
    }

private:
    void* handle_ = nullptr;
};

// The demo with a pad held: every frame's picture is the console's frame in XRGB8888, and its
// samples the console's (735 a frame) on both channels. (The loader's lines in the front end's log:
// the RetroArch test below.)
TEST_F(Core, ShowsAndPlaysWhatTheConsoleDoes)
{
    const std::vector<uint8_t> image = fileBytes(std::filesystem::path(TALLOWBY_BUILT_ROMS).parent_path().parent_path() / "demo/demo.nes");
    frontEnd.pad[ButtonRight] = frontEnd.pad[ButtonA] = 1;
    ASSERT_TRUE(load(image));
    const auto played = play(90);

    resetMachine();
    std::ostringstream lines;
    ASSERT_EQ(insertCartridge(image, lines), LoadResult::Loaded);
    setSoundEmulated(true);
    for (uint32_t frame = 0; frame < played.size(); ++frame) {
        runConsoleFrame({frontEnd.pad, {}}, {});
        countFrame();
        std::vector<uint32_t> expected(FrameWidth * FrameHeight);
        for (uint32_t k = 0; k < expected.size(); ++k)
            expected[k] = colourOf(picture()[k], pictureEmphasis()[k / FrameWidth]);
        std::vector<int16_t> stereo;
        for (const int16_t sample : frameSamples())
            stereo.insert(stereo.end(), {sample, sample});
        ASSERT_EQ(played[frame].first, expected) << "frame " << frame;
        ASSERT_EQ(played[frame].second, stereo) << "frame " << frame;
    }
}

// A state taken at frame 30 and loaded after 20 more gives those 20 frames again; a damaged one is
// refused and leaves the game as it was. The state's size stays what retro_serialize_size said.
TEST_F(Core, StatesBringTheGameBackAndDamagedOnesAreRefused)
{
    frontEnd.pad[ButtonLeft] = 1;
    ASSERT_TRUE(load(fileBytes(builtRom("scene"))));
    play(30);
    const std::vector<uint8_t> state = serialize();
    const auto after = play(20);
    ASSERT_TRUE(unserialize(state));
    EXPECT_EQ(play(20), after);
    EXPECT_EQ(serialize().size(), state.size());

    std::vector<uint8_t> damaged = state;  // (the game left as it was: tests/console/save_state_test.cpp)
    damaged[damaged.size() / 2] ^= 0x40;
    EXPECT_FALSE(unserialize(damaged));
}

// Battery RAM is the front end's save RAM: what the game writes shows there, and what the front
// end puts there after loading (its .srm) is what the game reads. The console's RAM is its system RAM.
TEST_F(Core, BatteryRamIsTheSaveRam)
{
    InesImage image(2, 1, 0x02);  // a battery
    image.put(0xE000, {0xAD, 0x05, 0x60,   // LDA $6005
                       0x8D, 0x00, 0x60,   // STA $6000
                       0x8D, 0x00, 0x03,   // STA $0300
                       0x4C, 0x00, 0xE0});
    image.setVectors(0xE000);
    ASSERT_TRUE(load(image.bytes()));
    const std::span<uint8_t> saveRam = memory(RETRO_MEMORY_SAVE_RAM);
    ASSERT_EQ(saveRam.size(), 8192u);
    saveRam[5] = 0x77;  // as the front end restores its .srm
    play(2);
    EXPECT_EQ(saveRam[0], 0x77);
    const std::span<uint8_t> systemRam = memory(RETRO_MEMORY_SYSTEM_RAM);
    ASSERT_EQ(systemRam.size(), 2048u);
    EXPECT_EQ(systemRam[0x300], 0x77);
}

// The PAL console (the region option): 50 frames a second, 882 samples a frame.
TEST_F(Core, APalConsoleGives882SamplesAFrame)
{
    frontEnd.options["tallowby_region"] = "pal";
    ASSERT_TRUE(load(fileBytes(builtRom("steady_note"))));
    retro_system_av_info info{};
    call<void (*)(retro_system_av_info*)>("retro_get_system_av_info")(&info);
    EXPECT_EQ(info.timing.fps, 50.0);
    EXPECT_EQ(info.timing.sample_rate, 44100.0);
    play(3);
    EXPECT_EQ(frontEnd.samples.size(), 2u * 882);
}

// Debian's RetroArch loads the core and the scene with rewind and a run-ahead of two frames (each of
// them a save state a frame, run-ahead's loaded again at once), runs 120 frames and takes its
// screenshot: the picture of Tallowby's own -screenshot after 120 frames, shown at twice its size.
TEST(RetroArch, PlaysTheCoreWithRewindAndRunAheadAndShowsTallowbysPicture)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "RetroArch cannot load a core built with a sanitizer";
#endif
    const VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    const TempFile config(std::vector<uint8_t>{}, "retroarch.cfg");
    const std::filesystem::path folder = config.folder();
    const std::filesystem::path core = TALLOWBY_LIBRETRO_CORE;
    std::ofstream(config.path()) << "audio_driver = \"null\"\nvideo_driver = \"gl\"\nvideo_vsync = \"false\"\n"
                                    "video_scale = \"2\"\nvideo_scale_integer = \"true\"\nvideo_smooth = \"false\"\n"
                                    "video_font_enable = \"false\"\nconfig_save_on_exit = \"false\"\n"
                                    "rewind_enable = \"true\"\nrewind_granularity = \"1\"\n"
                                    "run_ahead_enabled = \"true\"\nrun_ahead_frames = \"2\"\n"
                                    "core_info_cache_enable = \"false\"\n"  // nothing written beside the info file
                                 << "libretro_directory = \"" << core.parent_path().string() << "\"\n"
                                 << "libretro_info_path = \"" << TALLOWBY_SOURCE_DIR << "/libretro\"\n";
    const std::string scene = builtRom("scene").string(), shot = (folder / "retroarch.png").string(),
                      own = (folder / "own.png").string();
    std::vector<std::string> environment = display.environment();
    environment.push_back("HOME=" + folder.string());
    const ProcessResult retroarch = runProcess({"/bin/sh", "-c", "exec \"$@\" 2>&1", "retroarch", "retroarch", "--verbose",
                                                "--config=" + config.path(), "-L", core.string(), scene, "--max-frames=120",
                                                "--max-frames-ss", "--max-frames-ss-path=" + shot},
                                               environment, 60s, folder);
    ASSERT_EQ(retroarch.exitCode, 0) << retroarch.output;
    EXPECT_NE(retroarch.output.find("Initializing rewind buffer"), std::string::npos) << retroarch.output;
    EXPECT_EQ(retroarch.output.find("Run-Ahead unavailable"), std::string::npos) << retroarch.output;
    EXPECT_NE(retroarch.output.find("[libretro INFO] Loaded 32 KB PRG, 8 KB CHR."), std::string::npos) << "the loader's lines in the log";
    ASSERT_EQ(runProcess({tallowbyBinary().string(), scene, "-headless", "-frames", "120", "-screenshot", own}).exitCode, 0);
    const std::string halved = (folder / "halved.png").string();
    ASSERT_EQ(runProcess({"convert", shot, "-filter", "point", "-resize", "50%", halved}).exitCode, 0);
    EXPECT_EQ(runProcess({"/bin/sh", "-c", "compare -metric AE \"$0\" \"$1\" null: 2>&1", halved, own}).output, "0")
        << "pixels that differ";
}

}  // namespace
