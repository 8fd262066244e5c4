// Presenting the FrameBuffer: 2x2 doubling and the console's colours, through a real SDL surface.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/shell_sdl.h"
#include "app/video.h"

namespace {

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

    void SetUp() override { frameBuffer.fill(0); }

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

TEST_F(Present, EachFramePixelBecomesATwoByTwoBlock)
{
    frameBuffer[0] = 0x16;               // row 0, column 0
    frameBuffer[255] = 0x2A;             // row 0, column 255
    frameBuffer[61439] = 0x11;           // row 239, column 255
    frameBuffer[1 * 256 + 1] = 0x30;     // row 1, column 1
    presentFrame();
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
        EXPECT_EQ(windowPixel(x, y), 0xFF371Au) << x << "," << y;
    for (const auto& [x, y] : {std::pair{510, 0}, {511, 0}, {510, 1}, {511, 1}})
        EXPECT_EQ(windowPixel(x, y), 0x51D96Au) << x << "," << y;
    for (const auto& [x, y] : {std::pair{510, 478}, {511, 478}, {510, 479}, {511, 479}})
        EXPECT_EQ(windowPixel(x, y), 0x0059FFu) << x << "," << y;
    for (const auto& [x, y] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}})
        EXPECT_EQ(windowPixel(x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(windowPixel(2, 1), 0x808080u) << "colour 0 is grey, not black";
    EXPECT_EQ(windowPixel(4, 2), 0x808080u);
}

TEST_F(Present, ColoursOfTheDarkEntriesAndTheFont)
{
    const std::vector<std::pair<uint8_t, uint32_t>> colours = {
        {0x0F, 0x050505}, {0x0D, 0x000000}, {0x1F, 0x090909}, {0x2E, 0x0D0D0D}, {0x3F, 0x111111},
        {0x20, 0xFFFFFF}, {0x30, 0xFFFFFF}, {64, 0x000000},   {65, 0xFFFFFF},
        // Bytes beyond the table show their colour number modulo 64.
        {66, 0x3700BF},   {0x80, 0x808080}, {0xFF, 0x111111},
    };
    for (const auto& [index, rgb] : colours) {
        frameBuffer.fill(index);
        presentFrame();
        EXPECT_EQ(windowPixel(0, 0), rgb) << "index " << int{index};
        EXPECT_EQ(windowPixel(511, 479), rgb) << "index " << int{index};
    }
}

TEST_F(Present, PresentingTwiceShowsTheSamePicture)
{
    for (uint32_t i = 0; i < frameBuffer.size(); ++i)
        frameBuffer[i] = static_cast<uint8_t>(i % 64);
    presentFrame();
    const uint32_t before = windowPixel(300, 200);
    presentFrame();
    EXPECT_EQ(windowPixel(300, 200), before);
    EXPECT_EQ(before, SystemPalette[(100 * 256 + 150) % 64]);
}

}  // namespace
