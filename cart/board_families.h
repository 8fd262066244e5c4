// The functions of each board family, for the table in boards.cpp. A new board is a file of its
// own beside the others, its functions here, and one entry in that table.
#pragma once

#include <cstdint>

// nrom.cpp: no registers; 0x8000 shows the first 16 KB bank, 0xC000 the last (one 16 KB image
// shows at both). Also the power-on mapping of the boards with a switchable bank at 0x8000.
void startFixedLastBank();

// uxrom_cnrom.cpp: one discrete register each, for a 16 KB PRG bank or for CHR.
void writeUxrom(uint32_t address, uint8_t value);
void startFirstBankFixed();
void writeUnromAnd(uint32_t address, uint8_t value);
void startQuattro();
void writeQuattro(uint32_t address, uint8_t value);
void writeCamerica(uint32_t address, uint8_t value);
void writeIremJaleco(uint32_t address, uint8_t value);
void writeCnrom(uint32_t address, uint8_t value);
void startCnromProtected();
void writeCnromProtected(uint32_t address, uint8_t value);
void startCprom();
void writeCprom(uint32_t address, uint8_t value);
void writeJ87(uint32_t address, uint8_t value);
void startSunsoft1();
void writeSunsoft1(uint32_t address, uint8_t value);

// self_flashing.cpp: the homebrew boards whose PRG is a flash chip the game may write (flash.h).
void startUnrom512();
void writeUnrom512(uint32_t address, uint8_t value);
void startGtrom();
void writeGtrom(uint32_t address, uint8_t value);
uint32_t readGtrom(uint32_t address);

// discrete_32k.cpp: boards that switch all 32 KB of PRG at once (and some an 8 KB CHR bank).
void startWhole32k();
void writeAxrom(uint32_t address, uint8_t value);
void writeColorDreams(uint32_t address, uint8_t value);
void writeBnrom(uint32_t address, uint8_t value);
void writeGxrom(uint32_t address, uint8_t value);
void writeNina(uint32_t address, uint8_t value);
void writeJf11(uint32_t address, uint8_t value);

// mmc1.cpp
void startMmc1();
void writeMmc1(uint32_t address, uint8_t value);

// mmc2.cpp: MMC2 and MMC4.
void startMmc2();
void writeMmc2(uint32_t address, uint8_t value);
void mmc2ChrFetch(uint32_t address);
void startMmc4();
void writeMmc4(uint32_t address, uint8_t value);

// namco108.cpp: mappers 206, 88, 95 and 154.
void startNamco108();
void writeNamco108(uint32_t address, uint8_t value);

// action53.cpp
void startAction53();
void writeAction53(uint32_t address, uint8_t value);

// konami_vrc.cpp: VRC2, VRC4, VRC6, and the VRC IRQ counter.
void startKonamiVrc();
void writeKonamiVrc(uint32_t address, uint8_t value);
uint32_t clockVrcIrq(uint32_t now);
void startKonamiVrc6();
void writeKonamiVrc6(uint32_t address, uint8_t value);
void startKonamiVrc7();
void writeKonamiVrc7(uint32_t address, uint8_t value);

// sunsoft_fme7.cpp: FME-7, 5A and 5B.
void startSunsoftFme7();
void writeSunsoftFme7(uint32_t address, uint8_t value);
uint32_t clockSunsoftFme7(uint32_t now);

// cycle_counter_boards.cpp: Sunsoft-3, Irem H3001, Jaleco SS88006.
void startSunsoft3();
void writeSunsoft3(uint32_t address, uint8_t value);
uint32_t clockSunsoft3(uint32_t now);
void startH3001();
void writeH3001(uint32_t address, uint8_t value);
uint32_t clockH3001(uint32_t now);
void startSs88006();
void writeSs88006(uint32_t address, uint8_t value);
uint32_t clockSs88006(uint32_t now);

// taito_tengen.cpp: Taito TC0190 and TC0690, Tengen RAMBO-1.
void startTaito();
void writeTaito(uint32_t address, uint8_t value);
void startRambo1();
void writeRambo1(uint32_t address, uint8_t value);
void rambo1LineEnd();
uint32_t clockRambo1Cycles(uint32_t now);

// sunsoft4.cpp
void startSunsoft4();
void writeSunsoft4(uint32_t address, uint8_t value);

// namco163.cpp
void startNamco163();
void writeNamco163(uint32_t address, uint8_t value);
uint32_t readNamco163(uint32_t address);
uint32_t clockNamco163(uint32_t now);

// bandai_fcg.cpp
void startBandaiFcg();
void writeBandaiFcg(uint32_t address, uint8_t value);
uint32_t readBandaiFcg(uint32_t address);
uint32_t clockBandaiFcg(uint32_t now);

// mmc5.cpp
void startMmc5();
void writeMmc5(uint32_t address, uint8_t value);
uint32_t readMmc5(uint32_t address);
void mmc5FrameStart();
void mmc5LineEnd();

// mmc3.cpp
void startMmc3();
void writeMmc3(uint32_t address, uint8_t value);
// One clock of the scanline counter, at the end of every visible line and of the pre-render line
// (the frame's start), while rendering is on.
void mmc3LineEnd();
// The MMC3's power-on registers: R0-R5 show the first 8 KB of CHR in order, R6/R7 the first two
// 8 KB PRG banks, and every window mapped from them.
void resetMmc3();

// Every nametable window on the 1 KB at `nametable` (0x2000 or 0x2400).
void setOneScreen(uint32_t nametable);
// The mirroring of the many boards that number it 0 vertical, 1 horizontal, 2 one-screen 0x2000,
// 3 one-screen 0x2400.
void setMirroringMode(uint8_t mode);
