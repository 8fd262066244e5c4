// The controller port at 0x4016: the serial read of the buttons held.
#include <gtest/gtest.h>

#include "bus/cpu_bus.h"
#include "console/machine.h"
#include "input/controller.h"

namespace {

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
    buttonState = {1, 0, 0, 0, 0, 0, 0, 0};  // A
    EXPECT_EQ(readPort(2), (std::vector<uint8_t>{1, 0})) << "reads without any write start at A";
    buttonState = {0, 0, 0, 0, 0, 0, 1, 1};  // opposite directions are not filtered
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

}  // namespace
