// instr_test-v5 singles through the 0x6000 protocol: the outcome of each ROM and why.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/options.h"
#include "app/scheduler.h"
#include "support/cpu_harness.h"
#include "support/harness.h"

namespace {

constexpr uint8_t Passed = 0;
constexpr uint8_t Failed = 1;
constexpr uint32_t FrameLimit = 1200;
constexpr uint64_t InstructionLimit = 50'000'000;

// Every single checks its results through a status byte pushed with PHP, which this CPU pushes
// as p holds it (B clear, bit 5 not forced), so on this CPU every one of them reports a failure.
// The second status is the outcome when the test imitates the console's pushed status byte
// (B and bit 5 set by PHP and BRK, B never kept in p): what is left then is explained by the
// rest of this CPU's definition (see explainedFailure).
struct SingleRom {
    const char* file;
    uint8_t status;              // 0x6000 at the end, run by frames
    uint8_t statusWithConsoleP;  // 0x6000 at the end with the console's pushed status byte
    const char* why;
};

void PrintTo(const SingleRom& rom, std::ostream* out) { *out << rom.file; }

constexpr SingleRom singles[] = {
    {"01-basics.nes", 3, Passed, "#3: PHP should set bits 4 and 5 on the stack"},
    {"02-implied.nes", Failed, Failed, "1A 3A 5A 7A DA FA are INC A, DEC A, PHY, PLY, PHX and PLX here"},
    {"03-immediate.nes", Failed, Failed, "decimal ADC/SBC; 80 89 are BRA and BIT #; unofficial opcodes are no-operations"},
    {"04-zero_page.nes", Failed, Failed, "decimal ADC/SBC; 04 64 are TSB and STZ; unofficial opcodes"},
    {"05-zp_xy.nes", Failed, Failed, "decimal ADC/SBC; 14 34 74 are TRB, BIT and STZ; unofficial opcodes"},
    {"06-absolute.nes", Failed, Failed, "decimal ADC/SBC; 0C is TSB; unofficial opcodes"},
    {"07-abs_xy.nes", Failed, Failed, "decimal ADC/SBC; 1C 3C 7C 9C 9E are TRB, BIT, JMP, STZ; unofficial opcodes"},
    {"08-ind_x.nes", Failed, Failed, "(zp,X) pointer 0xFF takes its high byte from 0x0100; unofficial opcodes"},
    {"09-ind_y.nes", Failed, Failed, "(zp),Y pointer 0xFF takes its high byte from 0x0100; unofficial opcodes"},
    {"10-branches.nes", Failed, Passed, "the pushed status byte only"},
    {"11-stack.nes", Failed, Passed, "the pushed status byte only"},
    {"12-jmp_jsr.nes", Failed, Passed, "the pushed status byte only"},
    {"13-rts.nes", Failed, Passed, "the pushed status byte only"},
    {"14-rti.nes", Failed, Passed, "the pushed status byte only"},
    {"15-brk.nes", Failed, Passed, "the pushed status byte only (PHP and BRK)"},
    {"16-special.nes", 3, 3, "#3: JMP ($6FF) takes its high byte from 0x0700, not 0x0600"},
};

// The opcodes of the console's CPU, marked '*'; row = high nibble.
constexpr std::string_view consoleOpcodes[16] = {
    "**...**.***..**.", "**...**.**...**.", "**..***.***.***.", "**...**.**...**.",
    "**...**.***.***.", "**...**.**...**.", "**...**.***.***.", "**...**.**...**.",
    ".*..***.*.*.***.", "**..***.***..*..", "***.***.***.***.", "**..***.***.***.",
    "**..***.***.***.", "**...**.**...**.", "**..***.***.***.", "**...**.**...**.",
};

// A failure that this CPU's definition explains: an opcode the console's CPU lacks (this CPU has
// its own instruction or a no-operation there), ADC or SBC (decimal when D is set), or a
// zero-page pointer mode (pointer 0xFF takes its high byte from 0x0100).
bool explainedFailure(uint32_t opcode)
{
    const bool consoleOpcode = consoleOpcodes[opcode >> 4][opcode & 15] == '*';
    const uint32_t row = opcode >> 4;
    const bool adcOrSbc = (row == 0x6 || row == 0x7 || row == 0xE || row == 0xF) && (opcode & 3) == 1;
    const bool zeroPagePointer = (opcode & 0x1F) == 0x01 || (opcode & 0x1F) == 0x11;
    return !consoleOpcode || adcOrSbc || zeroPagePointer;
}

bool finished()
{
    return peek(0x6001) == 0xDE && peek(0x6002) == 0xB0 && peek(0x6003) == 0x61 && peek(0x6000) < 0x80;
}

// The zero-terminated text the ROM leaves at 0x6004.
std::string resultText()
{
    std::string text;
    for (uint32_t a = 0x6004; a < 0x7000 && peek(a) != 0; ++a)
        text += static_cast<char>(peek(a));
    return text;
}

std::string report() { return "0x6000 = " + std::to_string(peek(0x6000)) + ", text:\n" + resultText(); }

class InstrTestSingle : public ::testing::TestWithParam<SingleRom> {
protected:
    void SetUp() override
    {
        const auto rom = findTestRom(std::string("instr_test-v5/rom_singles/") + GetParam().file);
        if (rom.empty())
            GTEST_SKIP() << "instr_test-v5 singles not found below " << testRomFolder();
        ASSERT_TRUE(loadRomFile(rom));
    }
};

TEST_P(InstrTestSingle, RunByFramesReportsItsExpectedStatus)
{
    const SingleRom& single = GetParam();
    options.frameSkip = 1000;  // frames after the first are run without drawing
    uint32_t frames = 0;
    for (; frames < FrameLimit && !finished(); ++frames) {
        runFrame();
        ++scheduler.frameCounter;
    }
    ASSERT_TRUE(finished()) << "no final status after " << frames << " frames; " << report();
    EXPECT_EQ(peek(0x6000), single.status) << single.why << "\n" << report();
}

// One instruction with the console's pushed status byte: PHP and BRK push B and bit 5 set, and
// B is not kept in p.
void stepWithConsoleStatusByte()
{
    if (const uint8_t opcode = cpuRead(cpu.pc); opcode == 0x08 || opcode == 0x00)
        cpu.p |= FlagB | FlagUnused;
    runInstructions(1);
    cpu.p &= ~FlagB;
}

TEST_P(InstrTestSingle, WithTheConsoleStatusByteOnlyExplainedOpcodesFail)
{
    const SingleRom& single = GetParam();
    for (uint64_t i = 0; i < InstructionLimit && !finished(); ++i)
        stepWithConsoleStatusByte();
    ASSERT_TRUE(finished()) << "no final status after " << InstructionLimit << " instructions; " << report();
    EXPECT_EQ(peek(0x6000), single.statusWithConsoleP) << single.why << "\n" << report();

    // Failed opcodes are listed one per line as "XX NAME mode".
    std::istringstream text(resultText());
    std::string line;
    while (std::getline(text, line)) {
        uint32_t opcode = 0;
        if (line.size() > 3 && line[2] == ' ' && std::sscanf(line.c_str(), "%2x", &opcode) == 1) {
            EXPECT_TRUE(explainedFailure(opcode)) << "unexplained failure: " << line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Singles, InstrTestSingle, ::testing::ValuesIn(singles),
                         [](const auto& info) { return testName(info.param.file); });

}  // namespace
