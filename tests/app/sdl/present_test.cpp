// Presenting the FrameBuffer: 2x2 doubling and the console's colours, through a real SDL surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <sstream>

#include "app/screen_geometry.h"
#include "app/sdl/hotkeys.h"
#include "app/sdl/video.h"
#include "app/session.h"
#include "ppu/frame_buffer.h"
#include "ppu/palette.h"

namespace {

// The default window, at scale 2.
constexpr int ScreenWidth = windowGeometry(DefaultScale).width;
constexpr int ScreenHeight = windowGeometry(DefaultScale).height;

class Present : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        screenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 32, 0);
        ASSERT_NE(screenSurface, nullptr) << SDL_GetError();
        preparePalette(screenSurface->format);
    }

    static void TearDownTestSuite()
    {
        SDL_Quit();
        screenSurface = nullptr;
    }

    // The colour of window pixel (x, y) as 0xRRGGBB.
    static uint32_t windowPixel(int x, int y)
    {
        SDL_LockSurface(screenSurface);
        const auto* row = static_cast<const uint8_t*>(screenSurface->pixels) + y * screenSurface->pitch;
        const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
        SDL_UnlockSurface(screenSurface);
        Uint8 r, g, b;
        SDL_GetRGB(pixel, screenSurface->format, &r, &g, &b);
        return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    }
};

TEST_F(Present, EachFramePixelBecomesATwoByTwoBlockOfItsColour)
{
    for (uint32_t i = 0; i < frameBuffer.size(); ++i)
        frameBuffer[i] = static_cast<uint8_t>(i * 7 + i / 256);  // every byte, in odd and even rows and columns
    presentFrame();
    int wrong = 0;
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            wrong += windowPixel(x, y) != colourOf(frameBuffer[y / 2 * 256 + x / 2]);
    EXPECT_EQ(wrong, 0);

    EXPECT_EQ(std::pair(colourOf(64), colourOf(65)), std::pair(0x000000u, 0xFFFFFFu)) << "the font's paper and ink";
    for (uint32_t index = 66; index < 256; ++index)
        EXPECT_EQ(colourOf(static_cast<uint8_t>(index)), SystemPalette[index % 64]) << "beyond the table: modulo 64";
    // Columns 0xD-0xF of every row are the console's blacks and near-blacks.
    for (const uint8_t index : {0x0D, 0x0E, 0x0F, 0x1D, 0x1E, 0x1F, 0x2E, 0x2F, 0x3E, 0x3F})
        EXPECT_LE(std::max({colourOf(index) >> 16, colourOf(index) >> 8 & 0xFF, colourOf(index) & 0xFF}), 0x20u)
            << int{index};
}

TEST_F(Present, MessagesAreDrawnInTheWindowNeverInTheFrameBuffer)
{
    frameBuffer.fill(0x16);
    const FrameBuffer before = frameBuffer;
    std::ostringstream console;
    showMessage("State 3 saved", SDL_GetTicks(), console);
    EXPECT_EQ(console.str(), "State 3 saved\n");
    presentFrame();
    drawMessageOverlay(screenSurface);
    EXPECT_TRUE(frameBuffer == before);
    // The box starts 4 frame pixels in; 'S' has ink in its glyph row 1, columns 1-2.
    EXPECT_EQ(windowPixel(8, 8), 0x000000u);
    EXPECT_EQ(windowPixel(2 * (6 + 1), 2 * (6 + 1)), 0xFFFFFFu);
    EXPECT_EQ(windowPixel(400, 8), 0xFF371Au) << "beyond the box the picture shows";
    EXPECT_EQ(shownMessage(SDL_GetTicks() + MessageMilliseconds), "") << "gone after two seconds";
}

}  // namespace
