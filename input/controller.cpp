#include "input/controller.h"

#include "input/keymap.h"
#include "state/state_io.h"

void controllerPortWrite(uint8_t) { controllerReadIndex = 0; }

uint8_t controllerPortRead()
{
    uint8_t result = 0;
    if (controllerReadIndex < static_cast<int32_t>(ButtonCount))
        result = static_cast<uint8_t>((buttonState[controllerReadIndex] | scriptedButtons[controllerReadIndex]) & 1);
    else if (controllerReadIndex >= 16 && controllerReadIndex <= 19)
        result = 1;
    // Every read from the 21st on returns 0; stop counting there so the index never overflows.
    if (controllerReadIndex < 20)
        ++controllerReadIndex;
    return result;
}

void applyKeyEvent(uint32_t key, bool pressed)
{
    for (uint32_t i = 0; i < ButtonCount; ++i)
        if (keyMap[i] == key)
            buttonState[i] = pressed ? 1 : 0;
}

void controllerStateFields(StateIo& io, int32_t& readIndex) { io.field(readIndex, 0, 20); }
