// instr_test-v5 singles through the 0x6000 protocol, run frame by frame: the outcome of each ROM and why.
#include <gtest/gtest.h>

#include <string>

#include "app/automation.h"
#include "app/options.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

constexpr uint8_t Failed = 1;
constexpr uint32_t FrameLimit = 1200;

// Every single checks its results through a status byte pushed with PHP, which this CPU pushes
// as p holds it (B clear, bit 5 not forced), so every one of them reports a failure. `why` names
// what would still fail with the console's pushed status byte (B and bit 5 set by PHP and BRK):
// 10-15 would pass, the others fail for the rest of this CPU's definition.
struct SingleRom {
    const char* file;
    uint8_t status;  // 0x6000 at the end
    const char* why;
};

void PrintTo(const SingleRom& rom, std::ostream* out) { *out << rom.file; }

constexpr SingleRom singles[] = {
    {"01-basics.nes", 3, "#3: PHP should set bits 4 and 5 on the stack"},
    {"02-implied.nes", Failed, "1A 3A 5A 7A DA FA are INC A, DEC A, PHY, PLY, PHX and PLX here"},
    {"03-immediate.nes", Failed, "decimal ADC/SBC; 80 89 are BRA and BIT #; unofficial opcodes are no-operations"},
    {"04-zero_page.nes", Failed, "decimal ADC/SBC; 04 64 are TSB and STZ; unofficial opcodes"},
    {"05-zp_xy.nes", Failed, "decimal ADC/SBC; 14 34 74 are TRB, BIT and STZ; unofficial opcodes"},
    {"06-absolute.nes", Failed, "decimal ADC/SBC; 0C is TSB; unofficial opcodes"},
    {"07-abs_xy.nes", Failed, "decimal ADC/SBC; 1C 3C 7C 9C 9E are TRB, BIT, JMP, STZ; unofficial opcodes"},
    {"08-ind_x.nes", Failed, "(zp,X) pointer 0xFF takes its high byte from 0x0100; unofficial opcodes"},
    {"09-ind_y.nes", Failed, "(zp),Y pointer 0xFF takes its high byte from 0x0100; unofficial opcodes"},
    {"10-branches.nes", Failed, "the pushed status byte only"},
    {"11-stack.nes", Failed, "the pushed status byte only"},
    {"12-jmp_jsr.nes", Failed, "the pushed status byte only"},
    {"13-rts.nes", Failed, "the pushed status byte only"},
    {"14-rti.nes", Failed, "the pushed status byte only"},
    {"15-brk.nes", Failed, "the pushed status byte only (PHP and BRK)"},
    {"16-special.nes", 3, "#3: JMP ($6FF) takes its high byte from 0x0700, not 0x0600"},
};

class InstrTestSingle : public ::testing::TestWithParam<SingleRom> {};

TEST_P(InstrTestSingle, ReportsItsExpectedStatus)
{
    const SingleRom& single = GetParam();
    const auto rom = findTestRom(std::string("instr_test-v5/rom_singles/") + single.file);
    if (rom.empty())
        GTEST_SKIP() << "instr_test-v5 singles not found below " << testRomFolder();
    ASSERT_TRUE(loadRomFile(rom));
    options.frameSkip = 1000;  // frames after the first are run without drawing
    for (uint32_t frames = 0; frames < FrameLimit && !readTestRomResult(); ++frames)
        runFrames(1);
    const auto result = readTestRomResult();
    ASSERT_TRUE(result) << "no final status after " << FrameLimit << " frames";
    EXPECT_EQ(result->status, single.status) << single.why << "\n" << result->text;
}

INSTANTIATE_TEST_SUITE_P(Singles, InstrTestSingle, ::testing::ValuesIn(singles),
                         [](const auto& info) { return testName(info.param.file); });

}  // namespace
