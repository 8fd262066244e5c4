// The controller port at 0x4016 and the states of the eight buttons.
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

class StateIo;
// The controller port in a save state: the read index (the buttons held are the player's, not saved).
void controllerStateFields(StateIo& io, int32_t& readIndex);

void controllerPortWrite(uint8_t value);
uint8_t controllerPortRead();

// A key press or release: every button whose KeyMap entry is `key` takes the new state.
void applyKeyEvent(uint32_t key, bool pressed);
