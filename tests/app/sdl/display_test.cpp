// Window scale and full screen: the geometry. Presenting the FrameBuffer: 2x2 doubling and the
// console's colours, through a real SDL surface. Gamepad reports arriving as SDL joystick events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "app/gamepad.h"
#include "app/run.h"
#include "app/screen_geometry.h"
#include "app/sdl/display.h"
#include "app/sdl/frame_loop.h"
#include "app/sdl/hotkeys.h"
#include "app/sdl/video.h"
#include "app/session.h"
#include "bus/cpu_bus.h"
#include "console/machine.h"
#include "ppu/frame_buffer.h"
#include "ppu/palette.h"

namespace {

TEST(Display, WindowAndFullScreenGeometry)
{
    EXPECT_EQ(windowGeometry(6), (ScreenGeometry{1536, 1440, 6, 0, 0}));
    const std::vector<std::pair<std::pair<int32_t, int32_t>, ScreenGeometry>> desktops = {
        {{1920, 1080}, {1920, 1080, 4, 448, 60}},  // the height limits the scale
        {{3840, 2160}, {3840, 2160, 9, 768, 0}},   // beyond the window's scales
        {{768, 720}, {768, 720, 3, 0, 0}},         // an exact fit
        {{200, 100}, {256, 240, 1, 0, 0}},         // smaller than the frame: never drawn outside the surface
    };
    for (const auto& [desktop, geometry] : desktops)
        EXPECT_EQ(fullScreenGeometry(desktop.first, desktop.second), geometry) << desktop.first << "x" << desktop.second;
}

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

// The window's events, on a fresh machine.
class ShellEvents : public Present {
protected:
    void SetUp() override
    {
        resetMachine();
        resetHostState();
    }
};

// Joystick events pushed into SDL's queue reach the controllers through the window's event step.
TEST_F(ShellEvents, JoystickEventsDriveBothControllers)
{
    ignoreUnusedEvents();
    connectGamepad(0, 12);  // 8 or more buttons: select 6, start 7
    connectGamepad(1, 4);   // fewer: select 2, start 3
    const auto push = [](Uint8 type, Uint8 which, Uint8 index, int value) {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_JOYAXISMOTION)
            event.jaxis = {type, which, index, static_cast<Sint16>(value)};
        else if (type == SDL_JOYHATMOTION)
            event.jhat = {type, which, index, static_cast<Uint8>(value)};
        else
            event.jbutton = {type, which, index, static_cast<Uint8>(type == SDL_JOYBUTTONDOWN)};
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    };
    // What the ports read at the next frame's start, when they take the buttons held.
    const auto controllers = [] {
        buttonState = heldButtons().first;
        secondButtonState = heldButtons().second;
        cpuWrite(0x4016, 1);
        std::string bits;
        for (int i = 0; i < 17; ++i)
            bits += i == 8 ? ' ' : static_cast<char>('0' + (cpuRead(i < 8 ? 0x4016 : 0x4017) & 1));
        return bits;
    };
    // Event type, pad, input and value, then what controllers 1 and 2 read: A B select start up down left right.
    const std::tuple<Uint8, Uint8, Uint8, int, const char*> steps[] = {
        {SDL_JOYBUTTONDOWN, 0, 1, 1, "10000000 00000000"},
        {SDL_JOYBUTTONDOWN, 0, 7, 1, "10010000 00000000"},
        {SDL_JOYBUTTONDOWN, 1, 3, 1, "10010000 00010000"},
        {SDL_JOYBUTTONDOWN, 1, 0, 1, "10010000 01010000"},
        {SDL_JOYBUTTONUP, 0, 1, 0, "00010000 01010000"},
        {SDL_JOYAXISMOTION, 0, 0, -16384, "00010000 01010000"},  // half way is not yet pressed
        {SDL_JOYAXISMOTION, 0, 0, -16385, "00010010 01010000"},
        {SDL_JOYAXISMOTION, 0, 1, 32767, "00010110 01010000"},
        {SDL_JOYAXISMOTION, 0, 0, 16384, "00010100 01010000"},
        {SDL_JOYHATMOTION, 1, 0, HatUp | HatRight, "00010100 01011001"},
        {SDL_JOYHATMOTION, 1, 0, HatLeft, "00010100 01010010"},
        {SDL_JOYBUTTONDOWN, 1, 200, 1, "00010100 01010010"},  // beyond the followed buttons: ignored
        {SDL_JOYBUTTONDOWN, 2, 1, 1, "00010100 01010010"},    // a third pad plays nothing
    };
    for (const auto& [type, which, index, value, ports] : steps) {
        push(type, which, index, value);
        takeWindowEvent();
        EXPECT_EQ(controllers(), ports) << int{type} << " pad " << int{which} << " input " << int{index} << " value "
                                        << value;
    }
    // Several reports in one frame are all taken: a stick moves in floods of them.
    push(SDL_JOYAXISMOTION, 0, 1, 0);
    push(SDL_JOYBUTTONUP, 0, 7, 0);
    takeWindowEvent();
    EXPECT_EQ(controllers(), "00000000 01010010");
    // An unplugged pad is reported as centred and released: controller 2 lets go of everything.
    push(SDL_JOYHATMOTION, 1, 0, 0);
    push(SDL_JOYBUTTONUP, 1, 0, 0);
    push(SDL_JOYBUTTONUP, 1, 3, 0);
    takeWindowEvent();
    EXPECT_EQ(controllers(), "00000000 00000000");
}

}  // namespace
