// Window scale and full screen: the geometry; gamepad reports arriving as SDL joystick events.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/gamepad.h"
#include "app/run.h"
#include "app/sdl/display.h"
#include "app/sdl/frame_loop.h"
#include "bus/cpu_bus.h"
#include "console/machine.h"

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

class ShellEvents : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        resetMachine();
        resetHostState();
    }
    void TearDown() override { SDL_Quit(); }
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
