#include "app/player_screen.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "app/font.h"
#include "app/music.h"
#include "app/session.h"
#include "apu/channel_levels.h"
#include "console/console.h"

namespace {

// Colours of the console's palette.
constexpr uint8_t Black = 0x0F, White = 0x30, Grey = 0x10, Green = 0x2A, DarkGreen = 0x0A;
constexpr uint32_t Columns = FrameWidth / GlyphSize;  // 32 characters a row
constexpr uint32_t MeterColumn = 14;
constexpr uint32_t FirstMeterRow = 8;
constexpr uint32_t LastRow = FrameHeight / GlyphSize - 1;

FrameBuffer screen{};
const LineEmphasis noEmphasis{};

void write(uint32_t row, uint32_t column, std::string_view text, uint8_t colour)
{
    for (size_t k = 0; k < text.size() && column + k < Columns; ++k) {
        const uint8_t* glyph = glyphOf(text[k]);
        for (uint32_t y = 0; y < GlyphSize; ++y)
            for (uint32_t x = 0; x < GlyphSize; ++x)
                screen[(row * GlyphSize + y) * FrameWidth + (column + static_cast<uint32_t>(k)) * GlyphSize + x] =
                    glyph[y * GlyphSize + x] ? colour : Black;
    }
}

// A meter of 15 cells, `level` of them lit, in row `row`.
void meter(uint32_t row, uint32_t level)
{
    for (uint32_t cell = 0; cell < 15; ++cell)
        for (uint32_t y = 1; y + 1 < GlyphSize; ++y)
            for (uint32_t x = 1; x + 1 < GlyphSize; ++x)
                screen[(row * GlyphSize + y) * FrameWidth + (MeterColumn + cell) * GlyphSize + x] = cell < level ? Green : DarkGreen;
}

std::string timeText(int64_t seconds) { return std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60); }

void drawPlayerScreen()
{
    screen.fill(Black);
    const NsfInfo& info = musicInfo();
    write(2, 1, info.name.empty() ? "(no name)" : info.name, White);
    write(3, 1, info.artist, Grey);
    write(4, 1, info.copyright, Grey);
    const std::string track = "Track " + std::to_string(trackPlaying()) + " of " + std::to_string(trackCount());
    write(6, 1, track, White);
    const std::string time = (session.paused ? "Paused " : "") + timeText(trackSeconds());
    write(6, static_cast<uint32_t>(Columns - 1 - time.size()), time, White);

    ChannelLevels levels{};
    const uint32_t count = channelLevels(info.chips, levels);
    uint32_t row = FirstMeterRow;
    for (uint32_t k = 0; k < count && row < LastRow - 1; ++k) {
        if (!channelHeard(k, levels[k].level))
            continue;
        write(row, 1, levels[k].name, Grey);
        meter(row, levels[k].level);
        ++row;
    }
    write(LastRow - 1, 1, "Left/Right: track  Start: pause", Grey);
    write(LastRow, 1, "Select: from the start", Grey);
}

}  // namespace

const FrameBuffer& shownPicture()
{
    if (!musicFileLoaded())
        return picture();
    drawPlayerScreen();
    return screen;
}

const LineEmphasis& shownEmphasis() { return musicFileLoaded() ? noEmphasis : pictureEmphasis(); }
