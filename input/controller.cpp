#include "input/controller.h"

#include "state/state_io.h"

namespace {

// One serial read: the buttons in order, eight 0s, four 1s, then 0. `held` tells whether button i is down.
template <typename Held>
uint8_t serialRead(int32_t& readIndex, Held held)
{
    uint8_t result = 0;
    if (readIndex < static_cast<int32_t>(ButtonCount))
        result = held(static_cast<uint32_t>(readIndex)) ? 1 : 0;
    else if (readIndex >= 16 && readIndex <= 19)
        result = 1;
    // Every read from the 21st on returns 0; stop counting there so the index never overflows.
    if (readIndex < 20)
        ++readIndex;
    return result;
}

}  // namespace

void controllerPortWrite(uint8_t)
{
    controllerReadIndex = 0;
    secondControllerReadIndex = 0;
}

uint8_t controllerPortRead()
{
    return serialRead(controllerReadIndex, [](uint32_t i) { return (buttonState[i] & 1) != 0; });
}

uint8_t secondControllerPortRead()
{
    return serialRead(secondControllerReadIndex, [](uint32_t i) { return (secondButtonState[i] & 1) != 0; });
}

void controllerStateFields(StateIo& io, ControllerReadIndices& readIndices)
{
    for (int32_t& index : readIndices)
        io.field(index, 0, 20);
}
