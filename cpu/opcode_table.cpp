#include "cpu/opcode_table.h"

#include "cpu/interrupts.h"

void initOpcodeTable() { cpuReset(); }
