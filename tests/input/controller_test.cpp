// The controller port at 0x4016 and key events through the key map.
#include <gtest/gtest.h>

#include "app/machine.h"
#include "bus/cpu_bus.h"
#include "input/controller.h"
#include "input/keymap.h"

namespace {

constexpr uint32_t KeySpace = 0x20, KeyLeft = 0x114, KeyRight = 0x113;

// The bits of the next n port reads.
std::vector<uint8_t> readPort(int n)
{
    std::vector<uint8_t> bits;
    for (int i = 0; i < n; ++i)
        bits.push_back(cpuRead(0x4016));
    return bits;
}

TEST(Controller, ReadSequence)
{
    resetMachine();
    keyMap = {0x7A, 0x78, 0x12F, 0x0D, 0x111, 0x112, KeyLeft, KeyRight};
    applyKeyEvent(0x7A, true);  // A
    EXPECT_EQ(readPort(2), (std::vector<uint8_t>{1, 0})) << "reads without any write start at A";
    applyKeyEvent(0x7A, false);
    applyKeyEvent(KeyLeft, true);
    applyKeyEvent(KeyRight, true);  // opposite directions are not filtered
    cpuWrite(0x4016, 0x80);  // any write restarts the sequence
    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 1, 1,  // A ... right
                                           0, 0, 0, 0, 0, 0, 0, 0,  // reads 9-16
                                           1, 1, 1, 1,              // reads 17-20
                                           0, 0, 0, 0};
    EXPECT_EQ(readPort(24), expected);
    EXPECT_EQ(readPort(1000), std::vector<uint8_t>(1000, 0)) << "every read from the 21st on is 0";
    cpuWrite(0x4016, 1);
    EXPECT_EQ(readPort(8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 1, 1})) << "reads advance after writing 1, too";
    EXPECT_EQ(cpuMemory[0x4016], 0) << "nothing is stored";
}

TEST(Controller, KeyEventsThroughTheKeyMap)
{
    resetMachine();
    keyMap = {KeySpace, 0x78, 0x12F, KeySpace, 0x111, 0x112, KeyLeft, KeyRight};
    applyKeyEvent(KeySpace, true);
    applyKeyEvent(0x61, true);  // unmapped keys change nothing
    EXPECT_EQ(buttonState, (ButtonState{1, 0, 0, 1, 0, 0, 0, 0})) << "a key on two buttons presses both";
    applyKeyEvent(0x61, false);
    applyKeyEvent(KeySpace, false);
    EXPECT_EQ(buttonState, (ButtonState{}));

    keyMap = {KeySpace, 0, 0, 0, 0, 0, 0, 0};  // as a short keymap.cfg leaves it
    applyKeyEvent(0, true);  // a key SDL cannot name
    EXPECT_EQ(buttonState, (ButtonState{})) << "an entry of 0 is no key";
}

}  // namespace
