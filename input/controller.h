// The controller ports: 0x4016 reads controller 1, 0x4017 reads controller 2, each a serial read
// of its eight buttons. What the buttons hold is the front end's to set before each frame.
#pragma once

#include <array>
#include <cstdint>

// Button order of ButtonState.
enum Button : uint32_t { ButtonA, ButtonB, ButtonSelect, ButtonStart, ButtonUp, ButtonDown, ButtonLeft, ButtonRight };
constexpr uint32_t ButtonCount = 8;

using ButtonState = std::array<uint32_t, ButtonCount>;  // 1 while held

inline ButtonState buttonState{};        // controller 1
inline int32_t controllerReadIndex = 0;  // 0x4016 reads since the last 0x4016 write

// Controller 2, behind 0x4017 reads; a write to 0x4016 restarts both controllers.
inline ButtonState secondButtonState{};
inline int32_t secondControllerReadIndex = 0;  // 0x4017 reads since the last 0x4016 write
inline bool secondControllerPresent = false;   // without it, 0x4017 reads as an open port (0x40)

class StateIo;
// The controller ports in a save state: the read index of each controller (the buttons held are the
// player's, not saved).
using ControllerReadIndices = std::array<int32_t, 2>;
void controllerStateFields(StateIo& io, ControllerReadIndices& readIndices);

void controllerPortWrite(uint8_t value);
uint8_t controllerPortRead();
uint8_t secondControllerPortRead();
