#include "app/session.h"

#include <filesystem>
#include <ostream>

#include "app/font.h"
#include "app/options.h"
#include "app/sound_fifo.h"
#include "console/console.h"

namespace {

void updateSoundMute() { soundMuted = session.paused || session.fastForward || session.rewinding; }

std::string romName(const std::string& romPath) { return std::filesystem::path(romPath).stem().string(); }

}  // namespace

LoopPass planLoopPass()
{
    if (session.paused)
        return {false, true, true};
    const bool presents = !session.fastForward || framesRun() % FastForwardPresentEvery == 0;
    return {true, presents, !session.fastForward && !options.benchmark};
}

void setPaused(bool paused)
{
    session.paused = paused;
    updateSoundMute();
}

void setFastForward(bool held)
{
    session.fastForward = held;
    updateSoundMute();
}

void setRewinding(bool held)
{
    session.rewinding = held;
    updateSoundMute();
}

void showMessage(std::string_view text, int64_t now, std::ostream& console)
{
    session.message = text.substr(0, MessageMaxCharacters);
    session.messageUntil = now + MessageMilliseconds;
    console << text << "\n" << std::flush;
}

std::string_view shownMessage(int64_t now)
{
    return now < session.messageUntil ? std::string_view(session.message) : std::string_view();
}

MessagePicture drawMessage(std::string_view text)
{
    constexpr uint32_t Margin = 2;
    text = text.substr(0, MessageMaxCharacters);
    MessagePicture picture{static_cast<uint32_t>(text.size()) * GlyphSize + 2 * Margin, GlyphSize + 2 * Margin, {}};
    for (uint32_t c = 0; c < text.size(); ++c) {
        const uint8_t* glyph = glyphOf(text[c]);
        for (uint32_t gy = 0; gy < GlyphSize; ++gy)
            for (uint32_t gx = 0; gx < GlyphSize; ++gx)
                picture.pixels[(Margin + gy) * picture.width + Margin + c * GlyphSize + gx] = glyph[gy * GlyphSize + gx];
    }
    return picture;
}

std::string stateFilePath(const std::string& romPath, int32_t slot)
{
    std::filesystem::path path(romPath);
    path.replace_filename(romName(romPath) + ".ss" + std::to_string(slot));
    return path.string();
}

std::string fallbackStateFilePath(const std::string& romPath, int32_t slot)
{
    return romName(romPath) + ".ss" + std::to_string(slot);
}

std::string stampedFileName(const std::string& romPath, const std::tm& when, const std::string& extension)
{
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "-%Y%m%d-%H%M%S", &when);
    return romName(romPath) + stamp.data() + extension;
}
