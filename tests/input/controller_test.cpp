// The controller ports at 0x4016 and 0x4017: the serial read of the buttons held.
#include <gtest/gtest.h>

#include "bus/cpu_bus.h"
#include "console/machine.h"
#include "input/controller.h"

namespace {

// The bits of the next n reads of a port; bits 5-7 must be the open bus's 0x40, bits 1-4 clear.
std::vector<uint8_t> readPort(uint32_t port, int n)
{
    std::vector<uint8_t> bits;
    for (int i = 0; i < n; ++i) {
        const uint8_t value = cpuRead(port);
        EXPECT_EQ(value & 0xFE, 0x40) << std::hex << port;
        bits.push_back(value & 1);
    }
    return bits;
}

// The 24 reads after a write: the buttons A ... right, reads 9-16 give 0, reads 17-20 give 1, then 0.
std::vector<uint8_t> sequence(const ButtonState& held)
{
    std::vector<uint8_t> bits(held.begin(), held.end());
    bits.insert(bits.end(), {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0});
    return bits;
}

TEST(Controllers, SerialReadsOfBothPorts)
{
    resetMachine();
    buttonState = {1, 0, 0, 0, 0, 0, 0, 0};  // A
    EXPECT_EQ(readPort(0x4016, 2), (std::vector<uint8_t>{1, 0})) << "reads without any write start at A";
    buttonState = {0, 0, 0, 0, 0, 0, 1, 1};  // opposite directions are not filtered
    secondButtonState = {0, 1, 0, 0, 1, 0, 0, 1};
    secondControllerPresent = true;
    readPort(0x4017, 3);
    cpuWrite(0x4016, 0x80);  // any write restarts both sequences
    std::vector<uint8_t> first, second;  // read in turn: each port keeps its own count
    for (int i = 0; i < 24; ++i) {
        second.push_back(readPort(0x4017, 1)[0]);
        first.push_back(readPort(0x4016, 1)[0]);
    }
    EXPECT_EQ(first, sequence(buttonState));
    EXPECT_EQ(second, sequence(secondButtonState));
    EXPECT_EQ(readPort(0x4016, 1000), std::vector<uint8_t>(1000, 0)) << "every read from the 21st on is 0";
    cpuWrite(0x4016, 1);
    EXPECT_EQ(readPort(0x4016, 8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 1, 1})) << "reads advance after writing 1, too";
    EXPECT_EQ(cpuMemory[0x4016], 0) << "nothing is stored";

    secondButtonState.fill(1);
    secondControllerPresent = false;
    EXPECT_EQ(readPort(0x4017, 24), std::vector<uint8_t>(24, 0)) << "no controller behind the port: nothing is read";
}

}  // namespace
