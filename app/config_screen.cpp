#include "app/config_screen.h"

#include <algorithm>
#include <string>

#include "app/controller_picture.h"
#include "app/font.h"
#include "ppu/frame_buffer.h"
#include "ppu/palette.h"

namespace {

constexpr uint8_t FontBackground = 64;  // black in SystemPalette; ink is 65, white

}  // namespace

void drawText(int32_t column, int32_t row, std::string_view text)
{
    for (const char character : text) {
        if (column >= 0 && row >= 0 && row < TextRows) {
            const uint8_t* glyph = glyphOf(character);
            for (uint32_t gy = 0; gy < GlyphSize; ++gy)
                for (uint32_t gx = 0; gx < GlyphSize; ++gx)
                    frameBuffer[(row * GlyphSize + gy) * FrameWidth + column * GlyphSize + gx] =
                        static_cast<uint8_t>(glyph[gy * GlyphSize + gx] + FontBackground);
        }
        if (++column == TextColumns) {
            column = 0;
            ++row;
        }
    }
}

void drawConfigScreen()
{
    drawText(0, 0, std::string(TextColumns * TextRows, ' '));
    lineEmphasis.fill(0);  // the game's colour emphasis does not tint the screen
    std::copy(ControllerPicture.begin(), ControllerPicture.end(), frameBuffer.begin() + PictureTopRow * FrameWidth);
    drawText(0, 0, "Player 1 controller configure");
}

void drawKeyPrompt(uint32_t button)
{
    const std::string name = button < ButtonNames.size() ? std::string(ButtonNames[button])
                                                         : std::string(button == ButtonNames.size() ? "turbo A" : "turbo B") + " (Esc: none)";
    drawText(0, static_cast<int32_t>(button) + 2, "Press new key for " + name);
}
