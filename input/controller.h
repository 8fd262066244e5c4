// The controller ports: 0x4016 (controller 1: keys, first gamepad and script) and 0x4017 reads
// (controller 2: the second gamepad), each with the states of its eight buttons.
#pragma once

#include <array>
#include <cstdint>

// Button order of ButtonState and KeyMap.
enum Button : uint32_t { ButtonA, ButtonB, ButtonSelect, ButtonStart, ButtonUp, ButtonDown, ButtonLeft, ButtonRight };
constexpr uint32_t ButtonCount = 8;

using ButtonState = std::array<uint32_t, ButtonCount>;  // 1 while held
inline ButtonState buttonState{};
inline ButtonState scriptedButtons{};  // held by an input script; a read sees them ORed with the keys
inline int32_t controllerReadIndex = 0;  // port reads since the last port write
inline ButtonState gamepadButtons{};     // held on the first gamepad; ORed into controller 1

// Controller 2, behind 0x4017 reads; a write to 0x4016 restarts both controllers.
inline ButtonState secondButtonState{};       // held on the second gamepad
inline int32_t secondControllerReadIndex = 0;  // 0x4017 reads since the last 0x4016 write
inline bool secondControllerPresent = false;   // without it, 0x4017 reads as an open port (0)

class StateIo;
// The controller ports in a save state: the read index of each controller (the buttons held are the
// player's, not saved).
using ControllerReadIndices = std::array<int32_t, 2>;
void controllerStateFields(StateIo& io, ControllerReadIndices& readIndices);

void controllerPortWrite(uint8_t value);
uint8_t controllerPortRead();
uint8_t secondControllerPortRead();

// A key press or release: every button whose KeyMap entry is `key` takes the new state. An entry of
// NoKey matches nothing.
void applyKeyEvent(uint32_t key, bool pressed);
