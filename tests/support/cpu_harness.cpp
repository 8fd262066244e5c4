#include "support/cpu_harness.h"

#include <cctype>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "app/machine.h"
#include "bus/cpu_bus.h"
#include "cpu/interpreter.h"
#include "cpu/opcode_table.h"
#include "support/harness.h"

void loadProgram(const std::vector<ProgramBlock>& blocks)
{
    InesImage image(2, 1);
    for (const ProgramBlock& block : blocks)
        image.put(block.address, block.bytes);
    image.setVectors(blocks.empty() ? 0x8000 : blocks.front().address, TestNmiHandler, TestIrqHandler);
    loadImage(image);
    initOpcodeTable();
}

void loadProgram(const std::vector<uint8_t>& code, uint16_t origin) { loadProgram({{origin, code}}); }

void startInRam(const std::vector<uint8_t>& code)
{
    loadProgram();
    placeCode(TestCodeAddress, code);
}

bool loadRomFile(const std::filesystem::path& path)
{
    resetMachine();
    std::ostringstream console;
    if (loadCartridge(path.string(), console) != LoadResult::Loaded)
        return false;
    initOpcodeTable();
    return true;
}

void placeCode(uint32_t address, const std::vector<uint8_t>& code)
{
    for (size_t i = 0; i < code.size(); ++i)
        poke(address + static_cast<uint32_t>(i), code[i]);
    cpu.pc = address;
}

int32_t runInstructions(uint32_t count)
{
    const int32_t start = cpu.cycleCounter;
    for (uint32_t i = 0; i < count; ++i)
        stepInstruction();
    return cpu.cycleCounter - start;
}

uint8_t peek(uint32_t address) { return cpuMemory[address & 0xFFFF]; }

void poke(uint32_t address, uint8_t value) { cpuMemory[address & 0xFFFF] = value; }

std::string peekText(uint32_t address, uint32_t limit)
{
    std::string text;
    for (uint32_t i = 0; i < limit && peek(address + i) != 0; ++i)
        text += static_cast<char>(peek(address + i));
    return text;
}

CpuRegisters cpuRegisters() { return {cpu.pc, cpu.a, cpu.x, cpu.y, cpu.p, cpu.s}; }

std::string traceLine(const CpuRegisters& r)
{
    char line[48];
    std::snprintf(line, sizeof line, "%04X A:%02X X:%02X Y:%02X P:%02X SP:%02X", r.pc, r.a, r.x, r.y, r.p, r.s);
    return line;
}

std::string traceLine() { return traceLine(cpuRegisters()); }

void PrintTo(const InstructionCase& c, std::ostream* out) { *out << c.name; }

void expectInstruction(const InstructionCase& c)
{
    startInRam(c.code);
    cpu.a = c.before.a;
    cpu.x = c.before.x;
    cpu.y = c.before.y;
    cpu.p = c.before.p;
    cpu.s = static_cast<uint8_t>(c.before.s);
    EXPECT_EQ(runInstructions(1), c.cycles);
    CpuRegisters expected = c.after;
    expected.pc = TestCodeAddress + static_cast<uint32_t>(c.code.size());
    EXPECT_EQ(traceLine(), traceLine(expected));
}

std::string testName(const std::string& description)
{
    std::string name;
    for (const char c : description)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}
