#include "support/cpu_harness.h"

#include <cstdio>

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

void startInRam(const std::vector<uint8_t>& code)
{
    loadProgram();
    placeCode(TestCodeAddress, code);
}

bool loadRomFile(const std::filesystem::path& path)
{
    if (loadImageBytes(fileBytes(path)) != LoadResult::Loaded)
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
    forgetCodeWindow();  // as a CPU run does: the test may have changed the page maps or codes
    for (uint32_t i = 0; i < count; ++i)
        stepInstruction();
    return cpu.cycleCounter - start;
}

CpuRegisters cpuRegisters() { return {cpu.pc, cpu.a, cpu.x, cpu.y, cpu.p, cpu.s}; }

std::string traceLine(const CpuRegisters& r)
{
    char line[48];
    std::snprintf(line, sizeof line, "%04X A:%02X X:%02X Y:%02X P:%02X SP:%02X", r.pc, r.a, r.x, r.y, r.p, r.s);
    return line;
}
