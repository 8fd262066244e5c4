// The stack: pushes and pulls with wrap-around, PHP/PLP and the B bit, JSR/RTS, BRK and RTI.
#include <gtest/gtest.h>

#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;

TEST(Stack, PushAndPullWrapWithinPageOne)
{
    startInRam({0x48, 0x68});  // PHA, PLA
    cpu.s = 0x00;
    cpu.a = 0x80;
    runInstructions(1);
    EXPECT_EQ(peek(0x0100), 0x80);
    EXPECT_EQ(cpu.s, 0xFF);

    cpu.a = 0x00;
    runInstructions(1);
    EXPECT_EQ(cpu.a, 0x80u);
    EXPECT_EQ(cpu.s, 0x00);
    EXPECT_EQ(cpu.p, P | FlagN);
}

TEST(Stack, IndexRegistersPushAndPullWithFlags)
{
    startInRam({0xDA, 0x5A, 0xFA, 0x7A});  // PHX, PHY, PLX, PLY
    cpu.x = 0x00;
    cpu.y = 0x90;
    EXPECT_EQ(runInstructions(2), 6);
    EXPECT_EQ(peek(0x01FF), 0x00);
    EXPECT_EQ(peek(0x01FE), 0x90);
    EXPECT_EQ(runInstructions(1), 4);  // PLX takes the 0x90
    EXPECT_EQ(cpu.x, 0x90u);
    EXPECT_EQ(cpu.p, P | FlagN);
    EXPECT_EQ(runInstructions(1), 4);  // PLY takes the 0x00
    EXPECT_EQ(cpu.y, 0x00u);
    EXPECT_EQ(cpu.p, P | FlagZ);
    EXPECT_EQ(cpu.s, 0xFF);
}

TEST(Stack, PhpPushesTheStatusAsItIs)
{
    startInRam({0x08, 0x08});  // PHP, PHP
    runInstructions(1);
    EXPECT_EQ(peek(0x01FF), 0x20);  // after reset: neither B nor I
    cpu.p = 0xFF & ~FlagUnused;
    runInstructions(1);
    EXPECT_EQ(peek(0x01FE), 0xDF);  // bit 5 is not forced either
}

TEST(Stack, PlpForcesBitFiveAndKeepsThePulledB)
{
    startInRam({0x28, 0x28});  // PLP, PLP
    poke(0x0100, 0x00);
    poke(0x0101, 0x10);
    cpu.s = 0xFF;
    cpu.p = 0xFF;
    runInstructions(1);
    EXPECT_EQ(cpu.p, P);
    runInstructions(1);
    EXPECT_EQ(cpu.p, P | FlagB);
}

TEST(Stack, JsrPushesItsLastByteAndRtsResumesAfterIt)
{
    loadProgram({{0xC000, {0x20, 0x00, 0xD0, 0xEA}}, {0xD000, {0x60}}});  // JSR 0xD000; NOP / RTS
    EXPECT_EQ(runInstructions(1), 6);
    EXPECT_EQ(cpu.pc, 0xD000u);
    EXPECT_EQ(cpu.s, 0xFD);
    EXPECT_EQ(peek(0x01FF), 0xC0);
    EXPECT_EQ(peek(0x01FE), 0x02);
    EXPECT_EQ(runInstructions(1), 6);
    EXPECT_EQ(cpu.pc, 0xC003u);
    EXPECT_EQ(cpu.s, 0xFF);
}

TEST(Stack, BrkPushesPcPlusTwoAndTheStatusThenSetsBAndI)
{
    loadProgram({{0xC000, {0x00, 0xFF}}, {TestIrqHandler, {0x08}}});  // BRK / PHP
    EXPECT_EQ(runInstructions(1), 7);
    EXPECT_EQ(peek(0x01FF), 0xC0);
    EXPECT_EQ(peek(0x01FE), 0x02);
    EXPECT_EQ(peek(0x01FD), 0x20);
    EXPECT_EQ(cpu.p, 0x34u);
    EXPECT_EQ(cpu.pc, TestIrqHandler);
    EXPECT_EQ(cpu.s, 0xFC);

    runInstructions(1);  // a PHP after BRK pushes B set
    EXPECT_EQ(peek(0x01FC), 0x34);
}

TEST(Stack, RtiRestoresStatusWithBitFiveAndReturnsWithoutAddingOne)
{
    startInRam({0x40});
    cpu.s = 0xFC;
    poke(0x01FD, 0x03);
    poke(0x01FE, 0x34);
    poke(0x01FF, 0x12);
    EXPECT_EQ(runInstructions(1), 6);
    EXPECT_EQ(cpu.p, P | FlagC | FlagZ);
    EXPECT_EQ(cpu.pc, 0x1234u);
    EXPECT_EQ(cpu.s, 0xFF);
}

}  // namespace
