// Gamepads: which pad button, hat direction or axis direction stands for which controller button,
// the file gamepad.cfg that holds that choice, and the pads' current inputs. The first pad plays
// controller 1 (together with the keyboard), the second controller 2.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "input/controller.h"

constexpr uint32_t MaxGamepads = 2;
constexpr uint32_t PadButtonCount = 32;  // inputs with a higher number are ignored
constexpr uint32_t PadAxisCount = 8;
constexpr uint32_t PadHatCount = 4;
constexpr int32_t AxisThreshold = 16384;  // an axis counts as pressed beyond half its range

enum class PadInputKind : uint8_t { None, Button, Hat, Axis };

// Hat direction bits, as a pad reports a hat's position (diagonals combine two).
constexpr uint8_t HatUp = 1, HatRight = 2, HatDown = 4, HatLeft = 8;

// One input of a pad: button `index`; hat `index` in `direction` (a Hat* bit); or axis `index`
// pushed to the negative (`direction` -1) or positive (+1) end.
struct PadInput {
    PadInputKind kind = PadInputKind::None;
    uint8_t index = 0;
    int8_t direction = 0;
    bool operator==(const PadInput&) const = default;
};

// Up to two inputs per controller button (the default gives each direction the hat and the stick).
constexpr uint32_t InputsPerButton = 2;
using PadBinding = std::array<PadInput, InputsPerButton>;
// The controller's eight buttons in ButtonState order, then turbo A and turbo B.
constexpr uint32_t TurboA = ButtonCount, TurboB = ButtonCount + 1;
constexpr uint32_t PadMapEntries = ButtonCount + 2;
using GamepadMap = std::array<PadBinding, PadMapEntries>;

// The map from gamepad.cfg. A button without any input there takes the default mapping.
inline GamepadMap gamepadConfig{};

inline const std::string GamepadConfigFile = "gamepad.cfg";
constexpr size_t GamepadConfigMaxBytes = 64 * 1024;

// A pad and what it holds at the moment.
struct GamepadState {
    bool present;
    GamepadMap map;  // gamepadConfig with the default filled in for this pad's number of buttons
    std::array<uint8_t, PadButtonCount> buttons;
    std::array<uint8_t, PadHatCount> hats;
    std::array<int16_t, PadAxisCount> axes;
};
inline std::array<GamepadState, MaxGamepads> gamepads{};
// The controller buttons each pad holds now: pad 0 on controller 1 (with the keys and the script),
// pad 1 on controller 2; and whether it holds its turbo A and turbo B inputs.
inline std::array<ButtonState, MaxGamepads> padButtons{};
inline std::array<std::array<uint32_t, 2>, MaxGamepads> padTurbo{};

// What a pad reports: a button pressed (value 1) or released (0), a hat's new position (Hat* bits)
// or an axis's new value (-32768 to 32767).
struct PadEvent {
    PadInputKind kind;
    uint8_t index;
    int16_t value;
};

// The mapping that works on common pads without configuration: hat 0 and axes 0/1 move, button 1
// is A and button 0 is B; select and start are buttons 6 and 7 on pads with 8 or more buttons,
// otherwise 2 and 3.
PadBinding defaultBinding(uint32_t button, uint32_t padButtons);

// `configured` with each button that has no input there given its default.
GamepadMap resolveGamepadMap(const GamepadMap& configured, uint32_t padButtons);

// A pad found at start: it takes the map for its number of buttons, holding nothing; pad 1 becomes
// controller 2. (A pad unplugged later is reported by SDL as every axis centred and every button
// released, which releases its controller's buttons.)
void connectGamepad(uint32_t pad, uint32_t padButtons);

// Takes a pad's report and sets its controller's buttons from everything the pad now holds.
// Reports from pads or inputs beyond the ones followed are ignored.
void applyPadEvent(uint32_t pad, const PadEvent& event);

// Whether `pad` holds `input` now.
bool padInputHeld(const GamepadState& pad, const PadInput& input);

// The input that `event` has just pressed, comparing the pad before and after it: for choosing
// inputs on the configuration screen. Nothing for releases, centring and small axis movements.
std::optional<PadInput> newlyPressedInput(const PadEvent& event, const GamepadState& before,
                                          const GamepadState& after);

// Every pad gone and every pad button released (a fresh machine).
void resetGamepads();

// gamepad.cfg: one line per button, "BUTTON button N", "BUTTON hat N up|down|left|right" or
// "BUTTON axis N -|+", BUTTON one of a, b, select, start, up, down, left, right, turbo_a, turbo_b
// (the turbo buttons have no input without a line). A button may have
// two lines; empty lines and lines starting with # are skipped. A line that cannot be read is
// reported on `report` with its number, and its button keeps the default mapping.
GamepadMap parseGamepadConfig(std::string_view text, std::string_view fileName, std::ostream& report);
std::string formatGamepadConfig(const GamepadMap& map);

// Loads `path` into gamepadConfig; a missing file leaves every button to the default silently,
// a file that cannot be read is reported. Saving writes the file at once as a whole.
void loadGamepadConfig(const std::string& path, std::ostream& report);
bool saveGamepadConfig(const std::string& path, const GamepadMap& map);
