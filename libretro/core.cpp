// Tallowby as a libretro core: the console's facade behind the libretro API, for RetroArch and the
// other libretro front ends. The front end gives the image as bytes, polls the pads, takes each
// frame's picture (XRGB8888) and samples (the mono stream on both stereo channels), keeps the battery
// memory as its .srm and the save states as Tallowby's own. Nothing is written to standard output:
// the loader's lines go to the front end's log.
#include <libretro.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"

namespace {

constexpr const char* Version = "0.11.5.6";
constexpr uint32_t MostSamplesPerFrame = 882;  // at 50 frames a second

retro_environment_t environment = nullptr;
retro_video_refresh_t showFrame = nullptr;
retro_audio_sample_batch_t playSamples = nullptr;
retro_input_poll_t pollInput = nullptr;
retro_input_state_t inputState = nullptr;
retro_log_printf_t logLine = nullptr;

struct CoreState {
    bool loaded = false;
    bool scanline = false;      // the render mode option
    std::string region = "auto";
    size_t stateBytes = 0;      // a save state's size for the loaded game
    bool music = false;
    ButtonState lastButtons{};  // controller 1 in the previous frame: a music file's track keys
};
CoreState core;

std::array<uint32_t, FrameWidth * FrameHeight> pixels{};
std::array<int16_t, 2 * MostSamplesPerFrame> stereo{};
// Palette index to XRGB8888, for each of the 8 colour emphases.
std::array<std::array<uint32_t, 64>, 8> colours{};

constexpr retro_variable Options[] = {
    {"tallowby_render_mode", "Render mode; pixel|scanline"},
    {"tallowby_region", "Console (at the next load); auto|ntsc|pal|dendy"},
    {nullptr, nullptr},
};

void log(retro_log_level level, const std::string& text)
{
    if (logLine != nullptr && !text.empty())
        logLine(level, "%s\n", text.c_str());
}

// The option's value, empty when the front end has none.
std::string option(const char* key)
{
    retro_variable variable{key, nullptr};
    if (environment != nullptr && environment(RETRO_ENVIRONMENT_GET_VARIABLE, &variable) && variable.value != nullptr)
        return variable.value;
    return {};
}

void readOptions()
{
    core.scanline = option("tallowby_render_mode") == "scanline";
    if (const std::string region = option("tallowby_region"); !region.empty())
        core.region = region;
}

Region regionToUse()
{
    if (core.region == "ntsc")
        return Region::Ntsc;
    if (core.region == "pal")
        return Region::Pal;
    if (core.region == "dendy")
        return Region::Dendy;
    return headerRegion().value_or(Region::Ntsc);
}

ButtonState padButtons(unsigned port)
{
    static constexpr std::array<unsigned, ButtonCount> Ids = {
        RETRO_DEVICE_ID_JOYPAD_A,  RETRO_DEVICE_ID_JOYPAD_B,    RETRO_DEVICE_ID_JOYPAD_SELECT, RETRO_DEVICE_ID_JOYPAD_START,
        RETRO_DEVICE_ID_JOYPAD_UP, RETRO_DEVICE_ID_JOYPAD_DOWN, RETRO_DEVICE_ID_JOYPAD_LEFT,   RETRO_DEVICE_ID_JOYPAD_RIGHT,
    };
    ButtonState buttons{};
    for (uint32_t k = 0; k < ButtonCount; ++k)
        buttons[k] = inputState(port, RETRO_DEVICE_JOYPAD, 0, Ids[k]) != 0 ? 1 : 0;
    return buttons;
}

// A music file's tracks: right and left on the first pad, select the track from its start.
void takeTrackButtons(const ButtonState& buttons)
{
    const auto pressed = [&](Button button) { return buttons[button] && !core.lastButtons[button]; };
    const uint32_t count = musicInfo().tracks, track = musicTrackPlaying();
    if (pressed(ButtonRight))
        startMusicTrack((track + 1) % count);
    else if (pressed(ButtonLeft))
        startMusicTrack((track + count - 1) % count);
    else if (pressed(ButtonSelect))
        startMusicTrack(track);
    core.lastButtons = buttons;
}

void sendPicture()
{
    const FrameBuffer& frame = picture();
    const LineEmphasis& emphasis = pictureEmphasis();
    for (uint32_t row = 0; row < FrameHeight; ++row) {
        const auto& palette = colours[emphasis[row] & 7];
        for (uint32_t column = 0; column < FrameWidth; ++column)
            pixels[row * FrameWidth + column] = palette[frame[row * FrameWidth + column] & 63];
    }
    showFrame(pixels.data(), FrameWidth, FrameHeight, FrameWidth * sizeof(uint32_t));
}

void sendSamples()
{
    const std::span<const int16_t> samples = frameSamples();
    const size_t count = std::min<size_t>(samples.size(), MostSamplesPerFrame);
    for (size_t k = 0; k < count; ++k)
        stereo[2 * k] = stereo[2 * k + 1] = samples[k];
    if (count != 0)
        playSamples(stereo.data(), count);
}

}  // namespace

RETRO_API unsigned retro_api_version() { return RETRO_API_VERSION; }

RETRO_API void retro_set_environment(retro_environment_t callback)
{
    environment = callback;
    environment(RETRO_ENVIRONMENT_SET_VARIABLES, const_cast<retro_variable*>(Options));
    static constexpr retro_controller_description Pads[] = {{"RetroPad", RETRO_DEVICE_JOYPAD}, {"None", RETRO_DEVICE_NONE}};
    static constexpr retro_controller_info Ports[] = {{Pads, 2}, {Pads, 2}, {nullptr, 0}};
    environment(RETRO_ENVIRONMENT_SET_CONTROLLER_INFO, const_cast<retro_controller_info*>(Ports));
    bool noGame = false;
    environment(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &noGame);
}

RETRO_API void retro_set_video_refresh(retro_video_refresh_t callback) { showFrame = callback; }
RETRO_API void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t callback) { playSamples = callback; }
RETRO_API void retro_set_input_poll(retro_input_poll_t callback) { pollInput = callback; }
RETRO_API void retro_set_input_state(retro_input_state_t callback) { inputState = callback; }

RETRO_API void retro_init()
{
    retro_log_callback callback{};
    logLine = environment != nullptr && environment(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &callback) ? callback.log : nullptr;
    for (uint8_t emphasis = 0; emphasis < colours.size(); ++emphasis)
        for (uint8_t index = 0; index < 64; ++index)
            colours[emphasis][index] = pictureColour(index, emphasis);
}

RETRO_API void retro_deinit()
{
    removeCartridge();
    core = CoreState{};
}

RETRO_API void retro_get_system_info(retro_system_info* info)
{
    *info = {};
    info->library_name = "Tallowby";
    info->library_version = Version;
    info->valid_extensions = "nes|nsf";
    info->need_fullpath = false;
    info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(retro_system_av_info* info)
{
    *info = {};
    info->geometry = {FrameWidth, FrameHeight, FrameWidth, FrameHeight, static_cast<float>(FrameWidth) / FrameHeight};
    info->timing = {framesPerSecond(), 44100.0};
}

RETRO_API void retro_set_controller_port_device(unsigned port, unsigned device)
{
    if (port == 1)
        plugSecondController(device != RETRO_DEVICE_NONE);
}

RETRO_API void retro_reset()
{
    if (core.music)
        startMusicTrack(musicTrackPlaying());
    else
        pressResetButton();
}

RETRO_API void retro_run()
{
    if (bool updated = false; environment(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated)
        readOptions();
    pollInput();
    const ControllerInput input{padButtons(0), padButtons(1)};
    if (core.music)
        takeTrackButtons(input.first);
    runConsoleFrame(input, FrameSettings{1, core.scanline});
    countFrame();
    sendPicture();
    sendSamples();
}

RETRO_API size_t retro_serialize_size() { return core.stateBytes; }

RETRO_API bool retro_serialize(void* data, size_t size)
{
    if (!core.loaded || core.music)
        return false;
    const std::vector<uint8_t> state = saveState();
    if (state.size() != core.stateBytes || size < state.size())
        return false;
    std::memcpy(data, state.data(), state.size());
    return true;
}

RETRO_API bool retro_unserialize(const void* data, size_t size)
{
    if (!core.loaded || core.music || size < core.stateBytes)
        return false;
    const StateLoad result = loadState(std::span(static_cast<const uint8_t*>(data), core.stateBytes));
    if (result != StateLoad::Loaded)
        log(RETRO_LOG_WARN, "State refused: it " + std::string(refusalText(result)) + ".");
    return result == StateLoad::Loaded;
}

RETRO_API void retro_cheat_reset() { removeGameGenieCodes(); }

RETRO_API void retro_cheat_set(unsigned, bool enabled, const char* code)
{
    if (enabled && code != nullptr)
        addGameGenieCode(code);
}

RETRO_API bool retro_load_game(const retro_game_info* game)
{
    if (game == nullptr || game->data == nullptr)
        return false;
    retro_pixel_format format = RETRO_PIXEL_FORMAT_XRGB8888;
    if (!environment(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
        log(RETRO_LOG_ERROR, "The front end cannot take XRGB8888 pictures.");
        return false;
    }
    readOptions();
    removeCartridge();
    std::ostringstream lines;
    const LoadResult result = insertCartridge(std::span(static_cast<const uint8_t*>(game->data), game->size), lines);
    std::istringstream text(lines.str());
    for (std::string line; std::getline(text, line);)
        log(result == LoadResult::Loaded ? RETRO_LOG_INFO : RETRO_LOG_ERROR, line);
    if (result != LoadResult::Loaded) {
        removeCartridge();
        return false;
    }
    setSoundEmulated(true);
    chooseRegion(regionToUse());
    core.music = musicFileLoaded();
    if (core.music)
        startMusicTrack(musicInfo().firstTrack);
    core.stateBytes = core.music ? 0 : saveState().size();
    core.loaded = true;
    return true;
}

RETRO_API bool retro_load_game_special(unsigned, const retro_game_info*, size_t) { return false; }

RETRO_API void retro_unload_game()
{
    removeCartridge();
    core = CoreState{.scanline = core.scanline, .region = core.region};
}

RETRO_API unsigned retro_get_region() { return currentRegion() == Region::Ntsc ? RETRO_REGION_NTSC : RETRO_REGION_PAL; }

RETRO_API void* retro_get_memory_data(unsigned id)
{
    if (!core.loaded)
        return nullptr;
    if (id == RETRO_MEMORY_SAVE_RAM && !saveMemoryBytes().empty())
        return saveMemoryBytes().data();
    if (id == RETRO_MEMORY_SYSTEM_RAM)
        return consoleRam().data();
    return nullptr;
}

RETRO_API size_t retro_get_memory_size(unsigned id)
{
    if (!core.loaded)
        return 0;
    if (id == RETRO_MEMORY_SAVE_RAM)
        return saveMemoryBytes().size();
    if (id == RETRO_MEMORY_SYSTEM_RAM)
        return consoleRam().size();
    return 0;
}
