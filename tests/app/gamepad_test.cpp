// Gamepads in the core: gamepad.cfg, the default mapping and the inputs the configuration screen
// takes. (Controller 2's port is read in tests/input; pads driving both controllers in tests/app/sdl.)
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/config_screen.h"
#include "app/gamepad.h"
#include "console/machine.h"
#include "support/harness.h"

namespace {

constexpr PadInput button(uint8_t n) { return {PadInputKind::Button, n, 0}; }
constexpr PadInput hat(uint8_t n, uint8_t bit) { return {PadInputKind::Hat, n, static_cast<int8_t>(bit)}; }
constexpr PadInput axis(uint8_t n, int8_t direction) { return {PadInputKind::Axis, n, direction}; }

TEST(GamepadConfig, LinesAndFaultyLines)
{
    const std::string text =
        "# chosen on the screen\n"
        "a button 2\n"
        "  up   hat 0 up\r\n"
        "up axis 1 -\n"
        "\n"
        "left axis 3 +\n"
        "start button 32\n"        // line 7: beyond the followed buttons
        "select hat 0 north\n"
        "jump button 1\n"          // no such controller button
        "left axis 0 -\n"          // the second input of left is fine
        "left button 5\n"          // a third one is not, and left falls back entirely
        "B button 3\n";            // any case
    std::ostringstream report;
    const GamepadMap map = parseGamepadConfig(text, "gamepad.cfg", report);
    EXPECT_EQ(map[ButtonA], (PadBinding{button(2)}));
    EXPECT_EQ(map[ButtonUp], (PadBinding{hat(0, HatUp), axis(1, -1)}));
    EXPECT_EQ(map[ButtonB], (PadBinding{button(3)}));
    for (const uint32_t fallback : {ButtonSelect, ButtonStart, ButtonDown, ButtonLeft, ButtonRight})
        EXPECT_EQ(map[fallback], PadBinding{}) << ButtonNames[fallback] << " takes the default";
    const std::string lines = report.str();
    for (const char* expected : {"gamepad.cfg, line 7: \"start button 32\" is not understood",
                                 "line 8: \"select hat 0 north\" is not understood", ": select keeps the default mapping.",
                                 "line 9: \"jump button 1\"", "line 11: \"left button 5\" is not understood (a button takes at most two lines): left keeps"})
        EXPECT_NE(lines.find(expected), std::string::npos) << expected << "\nin:\n" << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4) << lines;

    // What the screen writes reads back the same, and the default fills what the file leaves out.
    GamepadMap chosen{};
    chosen[ButtonA] = {button(2)};
    chosen[ButtonLeft] = {axis(0, -1)};
    chosen[ButtonRight] = {hat(1, HatRight)};
    const TempFile file({}, "gamepad.cfg");
    ASSERT_TRUE(saveGamepadConfig(file.path(), chosen));
    std::ostringstream quiet;
    loadGamepadConfig(file.path(), quiet);
    EXPECT_EQ(quiet.str(), "");
    EXPECT_EQ(gamepadConfig, chosen);
    const GamepadMap resolved = resolveGamepadMap(gamepadConfig, 4);
    EXPECT_EQ(resolved[ButtonB], (PadBinding{button(0)}));
    EXPECT_EQ(resolved[ButtonStart], (PadBinding{button(3)}));
    EXPECT_EQ(resolved[ButtonDown], (PadBinding{hat(0, HatDown), axis(1, 1)}));
    EXPECT_EQ(resolved[ButtonRight], chosen[ButtonRight]);
    loadGamepadConfig((file.folder() / "missing.cfg").string(), quiet);
    EXPECT_EQ(gamepadConfig, GamepadMap{}) << "no file: the default everywhere, silently";
    EXPECT_EQ(quiet.str(), "");
}

TEST(GamepadConfig, ScreenTakesOnlyFreshPresses)
{
    resetMachine();
    connectGamepad(0, 10);
    // The event, and the input the screen takes from it.
    const std::pair<PadEvent, std::optional<PadInput>> cases[] = {
        {{PadInputKind::Button, 4, 1}, button(4)},
        {{PadInputKind::Button, 4, 0}, {}},
        {{PadInputKind::Axis, 2, -20000}, axis(2, -1)},
        {{PadInputKind::Axis, 2, -30000}, {}},  // still held: the same push again is no new input
        {{PadInputKind::Axis, 2, 17000}, axis(2, 1)},
        {{PadInputKind::Hat, 1, HatLeft}, hat(1, HatLeft)},
        {{PadInputKind::Hat, 1, HatLeft | HatDown}, hat(1, HatDown)},
        {{PadInputKind::Hat, 1, 0}, {}},
    };
    for (const auto& [event, taken] : cases) {
        const GamepadState before = gamepads[0];
        applyPadEvent(0, event);
        EXPECT_EQ(newlyPressedInput(event, before, gamepads[0]), taken)
            << int(event.kind) << " " << int{event.index} << " " << event.value;
    }
}

}  // namespace
