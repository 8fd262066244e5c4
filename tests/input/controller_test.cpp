// The controller port at 0x4016 and key events through the key map.
#include <gtest/gtest.h>

#include "app/machine.h"
#include "bus/cpu_bus.h"
#include "input/controller.h"
#include "input/keymap.h"

namespace {

constexpr uint32_t KeyReturn = 0x0D;
constexpr uint32_t KeySpace = 0x20;
constexpr uint32_t KeyLeft = 0x114;
constexpr uint32_t KeyRight = 0x113;
// Z, X, right shift, Return and the arrow keys.
constexpr KeyMap TestKeys = {0x7A, 0x78, 0x12F, KeyReturn, 0x111, 0x112, KeyLeft, KeyRight};

class Controller : public testing::Test {
protected:
    void SetUp() override
    {
        resetMachine();
        keyMap = TestKeys;
    }

    // The bits of the next n port reads.
    static std::vector<uint8_t> readPort(int n)
    {
        std::vector<uint8_t> bits;
        for (int i = 0; i < n; ++i)
            bits.push_back(cpuRead(0x4016));
        return bits;
    }
};

TEST_F(Controller, ReadSequenceAfterAWrite)
{
    applyKeyEvent(KeyRight, true);
    cpuWrite(0x4016, 1);
    cpuWrite(0x4016, 0);
    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 1,   // A ... right
                                           0, 0, 0, 0, 0, 0, 0, 0,   // reads 9-16
                                           1, 1, 1, 1,               // reads 17-20
                                           0, 0, 0, 0};
    EXPECT_EQ(readPort(24), expected);
    EXPECT_EQ(readPort(1000), std::vector<uint8_t>(1000, 0)) << "every read from the 21st on is 0";
}

TEST_F(Controller, EachReadAdvancesWhateverWasWritten)
{
    applyKeyEvent(TestKeys[ButtonA], true);
    cpuWrite(0x4016, 1);
    EXPECT_EQ(readPort(3), (std::vector<uint8_t>{1, 0, 0}));
    cpuWrite(0x4016, 0x80);
    EXPECT_EQ(readPort(1), std::vector<uint8_t>{1}) << "any write restarts the sequence";
    EXPECT_EQ(cpuMemory[0x4016], 0) << "nothing is stored";
}

TEST_F(Controller, AKeyOnTwoButtonsPressesAndReleasesBoth)
{
    keyMap[ButtonA] = KeySpace;
    keyMap[ButtonStart] = KeySpace;
    applyKeyEvent(KeySpace, true);
    EXPECT_EQ(buttonState, (ButtonState{1, 0, 0, 1, 0, 0, 0, 0}));
    applyKeyEvent(KeySpace, false);
    EXPECT_EQ(buttonState, (ButtonState{}));
}

TEST_F(Controller, OppositeDirectionsAreNotFiltered)
{
    applyKeyEvent(KeyLeft, true);
    applyKeyEvent(KeyRight, true);
    cpuWrite(0x4016, 0);
    EXPECT_EQ(readPort(8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 1, 1}));
}

TEST_F(Controller, UnmappedKeysChangeNothing)
{
    applyKeyEvent(KeyReturn, true);  // start in the default map
    applyKeyEvent(0x61, true);
    applyKeyEvent(0x61, false);
    EXPECT_EQ(buttonState, (ButtonState{0, 0, 0, 1, 0, 0, 0, 0}));
}

TEST_F(Controller, ReadsWithoutAnyWriteStartAtA)
{
    applyKeyEvent(TestKeys[ButtonA], true);
    EXPECT_EQ(readPort(2), (std::vector<uint8_t>{1, 0}));
}

}  // namespace
