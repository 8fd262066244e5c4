// The sound unit where the -wav tests (tests/e2e/sound_test.cpp) do not look: the IRQ line,
// the noise register's width, the sweep's two adders, the sample channel's address wrap, a silent
// run, and the steps across the wrap of totalCycles. Then the cartridges' sound chips: their
// channels' waveforms, and their place in the mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/automation.h"
#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "apu/mixer.h"
#include "bus/cpu_bus.h"
#include "console/machine.h"
#include "console/console.h"
#include "console/save_state.h"
#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"
#include "cpu/opcode_table.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

class Apu : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMachine();
        apuRunning = true;
        cpu.p = FlagI;  // IRQs are held, not taken
    }

    // Two-cycle instructions, each followed by the APU's look, as the interpreter runs them.
    static void runCycles(uint32_t cycles)
    {
        for (uint32_t done = 0; done < cycles; done += 2) {
            cpu.totalCycles += 2;
            apuTickWhenDue();
        }
    }
};

// The frame IRQ held while I is set is the APU's own: clearing its flag drops it, not the board's.
TEST_F(Apu, TheFrameIrqIsHeldAsTheApusAndClearedByTheStatusRead)
{
    cpu.irqPending = IrqFromBoard;
    runCycles(4 * FrameStepCycles + 10);  // step 4 of the 4-step sequence
    EXPECT_EQ(cpu.irqPending, IrqFromBoard | IrqFromApu);
    EXPECT_EQ(apuStatusRead() & 0x40, 0x40);  // and clears it (sound_frame_irq.s in tests/e2e/sound_test.cpp)
    EXPECT_EQ(cpu.irqPending, IrqFromBoard);
}

TEST_F(Apu, NoiseRegisterHas15BitsAndASilentRunStepsNothing)
{
    apuRegisterWrite(0x4015, 0x08);
    apuRegisterWrite(0x400C, 0x3F);  // halted, constant volume 15
    apuRegisterWrite(0x400E, 0x03);  // 32 cycles
    apuRegisterWrite(0x400F, 0x08);
    runCycles(44);  // one step of 32 cycles, seen by the first mix
    EXPECT_EQ(apu.noise.shiftRegister, 0x4000) << "feedback 1 enters at bit 14";

    apuRunning = false;
    runCycles(20000);
    EXPECT_EQ(apu.noise.shiftRegister, 0x4000);
    EXPECT_EQ(apu.noise.length, 254) << "nothing counts down either";
}

TEST_F(Apu, Square1SweepsDownByOneMore)
{
    SquareChannel square{};
    square.timer = 0x100;
    square.sweepShift = 2;
    square.sweepNegate = 1;
    EXPECT_EQ(std::pair(sweepTarget(square, true), sweepTarget(square, false)), std::pair(0xBF, 0xC0));
}

// (The level the bytes move, the IRQ and 0x4015's bits: sound_dmc.s in tests/e2e/sound_test.cpp.)
TEST_F(Apu, TheSampleChannelWrapsTo8000)
{
    cartridge.prgKb = 32;
    apuRegisterWrite(0x4010, 0x0F);  // 54 cycles a bit
    apuRegisterWrite(0x4012, 0xFF);  // 0xFFC0
    apuRegisterWrite(0x4013, 0x04);  // 65 bytes: 0xFFC0-0xFFFF, then 0x8000
    apuRegisterWrite(0x4015, 0x10);
    runCycles(66 * 8 * 54);  // a silent byte's time, then 65 bytes
    EXPECT_EQ(apu.sample.address, 0x8001) << "the 65th byte came from 0x8000";
    EXPECT_EQ(apuStatusRead() & 0x10, 0x00) << "no bytes left";
}

TEST_F(Apu, StepsKeepTheirScheduleAcrossTheWrapOfTotalCycles)
{
    cpu.totalCycles = 0xFFFFF000u;
    wakeApu();
    apuRegisterWrite(0x4015, 0x01);
    apuRegisterWrite(0x4000, 0x3F);
    apuRegisterWrite(0x4002, 0x1F);  // 2 x 32 = 64 cycles a step
    apuRegisterWrite(0x4003, 0x08);
    runCycles(2);
    const uint32_t start = apu.square1.lastStepCycle;
    runCycles(64 * 100 + 2);  // past the wrap
    apuTick();                // every step up to the present
    EXPECT_EQ(apu.square1.lastStepCycle - start, 64u * 100) << "each step a period after the one before";
    EXPECT_EQ(apu.square1.dutyStep, 100 % 8);
}

// apu_test from the third-party ROMs: the length counter, its table and the frame IRQ flag pass;
// 4-8 time the frame steps and the sample channel's bytes with delay loops counted in the console's
// cycles (and its sample-byte stall), which this CPU does not share.
TEST(ApuTestRoms, ReportTheirExpectedOutcomes)
{
    const std::filesystem::path folder = findTestRom("apu_test/rom_singles");
    if (folder.empty())
        GTEST_SKIP() << "apu_test not found below " << testRomFolder();
    for (const auto& [name, status] : {std::pair{"1-len_ctr", 0}, {"2-len_table", 0}, {"3-irq_flag", 0}, {"4-jitter", 2},
                                       {"5-len_timing", 2}, {"6-irq_flag_timing", 2}, {"7-dmc_basics", 7},
                                       {"8-dmc_rates", 2}}) {
        ASSERT_TRUE(loadRomFile(folder / (std::string(name) + ".nes")));
        setSoundEmulated(true);
        for (uint32_t frame = 0; frame < 1200 && !readTestRomResult(); ++frame)
            runFrames(1);
        const auto result = readTestRomResult();
        ASSERT_TRUE(result) << name;
        EXPECT_EQ(result->status, status) << name << "\n" << result->text;
    }
}

// A cartridge of `mapper` (VRC6: 24, or 26 with address lines 0 and 1 swapped; Sunsoft 5B: 69)
// whose program spins at 0xE000.
void loadCartridge(uint8_t mapper = 24)
{
    InesImage image(8, 16, static_cast<uint8_t>((mapper & 0x0F) << 4), mapper & 0xF0);
    image.put(0xE000, {0x4C, 0x00, 0xE0});
    image.setVectors(0xE000);
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
    initOpcodeTable();
}

// The chip's levels (in console level steps) at `count` moments `spacing` cycles apart.
std::vector<int32_t> levels(uint32_t count, uint32_t spacing)
{
    std::vector<int32_t> seen;
    for (uint32_t k = 0; k < count; ++k, cpu.totalCycles += spacing)
        seen.push_back(expansionSound->levelAt(cpu.totalCycles) / MixUnitsPerLevel);
    return seen;
}

// VRC6: a pulse of duty D is high D + 1 of its 16 steps of P + 1 cycles (all 16 with bit 7); the
// sawtooth climbs by its rate every second step of 14 and shows the accumulator / 8, so a rate of 42
// peaks at 31 and 43 wraps; 0x9003 divides the periods by 16 (bit 1) or halts the channels (bit 0).
TEST(Vrc6Sound, PulsesSawtoothAndFrequencyControl)
{
    struct Case {
        uint8_t mapper;
        std::vector<std::pair<uint32_t, uint8_t>> writes;
        uint32_t spacing;  // cycles between looks: one step
        std::array<std::ptrdiff_t, 2> levelCounts;  // over 16 looks: how many at 0, and how many at the channel's top
        int32_t top;
    };
    const Case cases[] = {
        {24, {{0x9000, 0x7F}, {0x9001, 9}, {0x9002, 0x80}}, 10, {8, 8}, 15},            // duty 7: 8 of 16
        {24, {{0xA000, 0x2A}, {0xA001, 9}, {0xA002, 0x80}}, 10, {13, 3}, 10},           // duty 2: 3 of 16
        {24, {{0x9000, 0xF5}, {0x9001, 9}, {0x9002, 0x80}}, 10, {0, 16}, 5},            // bit 7: always
        {26, {{0x9000, 0x7F}, {0x9002, 9}, {0x9001, 0x80}}, 10, {8, 8}, 15},            // 26: 1 and 2 swapped
        {24, {{0x9003, 2}, {0x9000, 0x7F}, {0x9001, 159}, {0x9002, 0x80}}, 10, {8, 8}, 15},  // period / 16
        {24, {{0x9003, 1}, {0x9000, 0x7F}, {0x9001, 9}, {0x9002, 0x80}}, 10, {0, 16}, 15},   // halted
        {24, {{0xB000, 42}, {0xB001, 4}, {0xB002, 0x80}}, 5, {4, 2}, 31},               // saw 0, 5, 10 ... 31
        {24, {{0xB000, 43}, {0xB001, 4}, {0xB002, 0x80}}, 5, {6, 0}, 31},               // 43 wraps to 2: 0 at its top
    };
    for (const Case& c : cases) {
        loadCartridge(c.mapper);
        for (const auto& [address, value] : c.writes)
            cpuWrite(address, value);
        cpu.totalCycles += c.spacing / 2;  // between two steps
        const std::vector<int32_t> seen = levels(16, c.spacing);
        EXPECT_EQ((std::array{std::ranges::count(seen, 0), std::ranges::count(seen, c.top)}), c.levelCounts) << c.writes.front().second;
    }
}

// With the chip, the mix makes room for it: the chip's loudest output and the console's together
// fit the samples, so the console's channels come out quieter by 2148 / (2148 + 1220).
TEST(Vrc6Sound, TheMixMakesRoomForTheChip)
{
    loadCartridge();
    setSoundEmulated(true);
    for (const auto& [address, value] : {std::pair(0x9000u, 0xFF), std::pair(0x9002u, 0x80), std::pair(0xA000u, 0xFF),
                                        std::pair(0xA002u, 0x80)})
        cpuWrite(address, static_cast<uint8_t>(value));
    runFrames(2);
    const auto samples = frameSamples();
    ASSERT_EQ(samples.size(), 735u);
    const int32_t expected = static_cast<int32_t>(30 * 256 * 2148.0 / (2148 + 1220) + 0.5);  // two pulses at 15
    EXPECT_EQ(samples.front(), expected);
    EXPECT_EQ(samples.back(), expected);
}

// Sunsoft 5B: a tone of period P toggles every 16 P cycles; fixed volumes fall 3 dB a step (15: the
// full tone of 36 console levels = 720 units, 14: 0.708 of it, 1: 0.008), and a register select
// with bits 4-7 set blocks the data writes; each envelope shape gives its ramps (at steps 0, 31, 32
// and 63 of the envelope's 16-cycle steps, where the level is 0 or 31).
TEST(Sunsoft5bSound, TonesVolumesAndEnvelopeShapes)
{
    const auto write = [](uint8_t reg, uint8_t value) {
        cpuWrite(0xC000, reg);
        cpuWrite(0xE000, value);
    };
    loadCartridge(69);
    write(0, 100);
    write(7, 0x3E);  // tone A on; B, C and the noise off
    write(8, 15);
    cpu.totalCycles += 800;
    EXPECT_EQ(levels(6, 1600), (std::vector<int32_t>{0, 36, 0, 36, 0, 36}));
    const std::pair<uint8_t, int32_t> volumes[] = {{15, 720}, {14, 510}, {1, 6}};
    write(7, 0x3F);  // every tone and noise off: the level itself
    for (const auto& [volume, units] : volumes) {
        write(8, volume);
        EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), units) << int{volume};
    }
    write(0x18, 15);  // blocked
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), 6);

    const std::array<int32_t, 4> shapes[] = {
        {31, 0, 0, 0},   {31, 0, 0, 0},  {31, 0, 0, 0},   {31, 0, 0, 0},  {0, 31, 0, 0},  {0, 31, 0, 0},
        {0, 31, 0, 0},   {0, 31, 0, 0},  {31, 0, 31, 0},  {31, 0, 0, 0},  {31, 0, 0, 31}, {31, 0, 31, 31},
        {0, 31, 0, 31},  {0, 31, 31, 31}, {0, 31, 31, 0}, {0, 31, 0, 0},
    };
    write(8, 0x10);  // channel A on the envelope
    write(11, 1);    // a step every 16 cycles
    write(12, 0);
    for (uint8_t shape = 0; shape < 16; ++shape) {
        write(13, shape);
        const uint32_t start = cpu.totalCycles;
        std::array<int32_t, 4> seen{};
        for (uint32_t k = 0; k < 4; ++k) {
            cpu.totalCycles = start + 16 * std::array{0u, 31u, 32u, 63u}[k] + 8;
            seen[k] = expansionSound->levelAt(cpu.totalCycles) == 720 ? 31 : expansionSound->levelAt(cpu.totalCycles) == 0 ? 0 : -1;
        }
        EXPECT_EQ(seen, shapes[shape]) << int{shape};
    }
}

// Namco 163: a channel steps through its wave by frequency / 65536 samples at each of its updates,
// one every 15 cycles for each active channel; with N channels each is heard at 1/N of its level.
// A wave of 15, 15, 0, 0 at volume 15 swings 225 steps of 2.17 units (488) alone, 61 with eight.
TEST(Namco163Sound, WavesStepAtTheirUpdatesAndShareTheOutput)
{
    for (const uint32_t channels : {1u, 8u}) {
        loadCartridge(19);
        cpuWrite(0xF800, 0x80);  // from 0, stepping on
        for (const uint8_t byte : {0xFF, 0x00})
            cpuWrite(0x4800, byte);
        cpuWrite(0xF800, 0x80 | 0x78);  // channel 7's block: a sample an update, 4 long, from 0
        for (const uint8_t byte : {0x00, 0x00, 0x00, 0x00, 0xFD, 0x00, 0x00})
            cpuWrite(0x4800, byte);
        cpuWrite(0x4800, static_cast<uint8_t>((channels - 1) << 4 | 15));  // 0x7F: N - 1, volume 15
        cpu.totalCycles += 15 * channels * 3 / 2;  // past its first update, between two
        const int32_t top = channels == 1 ? 488 : 61;
        std::vector<int32_t> units;
        for (uint32_t k = 0; k < 8; ++k, cpu.totalCycles += 15 * channels)
            units.push_back(expansionSound->levelAt(cpu.totalCycles));
        EXPECT_EQ(std::ranges::count(units, top), 4) << channels;
        EXPECT_EQ(std::ranges::count(units, 0), 4) << channels;
    }
}

// VRC7: a carrier alone (its modulator at full attenuation) swings 34 console levels each way about
// the middle of the chip's range (6 x 680 units) from its key-on (its pitch and level against a
// console square: tests/e2e/sound_test.cpp); a key-off at release rate 15 silences it, and 0xE000
// bit 6 holds the chip silent.
TEST(Vrc7Sound, ACarrierSoundsUntilReleased)
{
    loadCartridge(85);
    const auto write = [](uint8_t reg, uint8_t value) {
        cpuWrite(0x9010, reg);
        cpuWrite(0x9030, value);
    };
    // The custom instrument: modulator silent; carrier sustained, multiple 1, instant attack, no
    // decay, release 15. Channel 0: F-number 256, octave 4 (4,608 CPU cycles a period).
    for (const auto& [reg, value] : {std::pair(0x00, 0x20), std::pair(0x01, 0x21), std::pair(0x02, 0x3F), std::pair(0x03, 0x00),
                                     std::pair(0x04, 0xF0), std::pair(0x05, 0xF0), std::pair(0x06, 0x0F), std::pair(0x07, 0x0F),
                                     std::pair(0x10, 0x00), std::pair(0x30, 0x00), std::pair(0x20, 0x19)})
        write(static_cast<uint8_t>(reg), static_cast<uint8_t>(value));
    constexpr int32_t Middle = 6 * 680;
    int32_t highest = 0;
    for (uint32_t k = 0; k < 4608 / 36; ++k, cpu.totalCycles += 36)
        highest = std::max(highest, expansionSound->levelAt(cpu.totalCycles));
    EXPECT_NEAR(highest, Middle + 680, 7);
    write(0x20, 0x09);  // key off
    cpu.totalCycles += 4608;
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), Middle);
    write(0x20, 0x19);
    cpuWrite(0xE000, 0x40);
    write(0x20, 0x19);
    cpu.totalCycles += 1000;
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), Middle) << "silenced";
}

// MMC5: a pulse as the console's square, not muted by a period below 8, its length counter clocked
// at 240 Hz (a length of 10 lasts 10 x 7,457 cycles); the PCM output takes any byte but 0 (full
// scale as loud as a console square at 15); 0x5015 reads the lengths above 0.
TEST(Mmc5Sound, PulsesLengthsAndPcm)
{
    loadCartridge(5);
    cpuWrite(0x5015, 0x01);
    cpuWrite(0x5000, 0x9F);  // duty 2, no halt, constant volume 15
    cpuWrite(0x5002, 4);     // a step every 10 cycles
    cpuWrite(0x5003, 0x00);  // length 10
    cpu.totalCycles += 5;
    EXPECT_EQ(levels(8, 10), (std::vector<int32_t>{0, 15, 15, 15, 15, 0, 0, 0}));
    EXPECT_EQ(cpuRead(0x5015) & 3, 1);
    cpu.totalCycles += 10 * 7457;
    EXPECT_EQ(levels(8, 10), std::vector<int32_t>(8, 0));
    EXPECT_EQ(cpuRead(0x5015) & 3, 0);
    cpuWrite(0x5011, 255);
    cpuWrite(0x5011, 0);
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), 300);
}

// MMC5 read mode: the PCM takes each byte the CPU reads from 0x8000-0xBFFF, instructions included,
// and ignores 0x5011; a 0 byte leaves it and raises the PCM's IRQ (0x5010 bit 7, cleared by reading).
TEST(Mmc5Sound, ReadModeTakesTheBytesReadFromRom)
{
    InesImage image(8, 16, 0x50);
    image.put(0x8000, {0x00, 0x4C, 0x01, 0x80, 0x99});  // 0x8001: JMP $8001
    image.put(0xC000, {0x77});
    image.setVectors(0x8001);
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
    initOpcodeTable();
    cpuWrite(0x5114, 0x8C);  // the image's last 32 KB at 0x8000
    cpuWrite(0x5115, 0x8E);
    cpuWrite(0x5010, 0x81);  // read mode, IRQ enabled
    cpuWrite(0x5011, 0x40);
    cpuRead(0xC000);
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), 0);
    cpuRead(0x8004);
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), 0x99 * 300 / 255);
    cpuRead(0x8000);
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), 0x99 * 300 / 255);
    EXPECT_TRUE(cpu.irqPending & IrqFromBoard);
    EXPECT_EQ(cpuRead(0x5010), 0x81);
    EXPECT_FALSE(cpu.irqPending & IrqFromBoard);
    cpuRead(0x8000);
    cpuRead(0x8004);  // the flag falls again, but the IRQ raised is taken after the instruction
    EXPECT_EQ(std::pair(cpuRead(0x5010), cpu.irqPending & IrqFromBoard), std::pair(uint8_t{0x01}, int{IrqFromBoard}));
    runFrames(1);  // the loop's last byte read: JMP's 0x80
    EXPECT_EQ(expansionSound->levelAt(cpu.totalCycles), 0x80 * 300 / 255);
}

// Every chip playing (tests/roms/chip_notes.s, its crowd: eight Namco 163 channels, a VRC7 chord)
// through a save state: the frames after loading it sound as they did after saving it.
TEST(ExpansionSound, SaveStatesRoundTripWithEachChipPlaying)
{
    const std::pair<uint16_t, uint8_t> chips[] = {{24, 0}, {5, 1}, {69, 2}, {19, 3}, {85, 4}};
    for (const auto& [mapper, chip] : chips) {
        ASSERT_EQ(loadImageBytes(builtRomFor("chip_notes", mapper, chip | 0x40)), LoadResult::Loaded);
        initOpcodeTable();
        setSoundEmulated(true);
        runFrames(20);
        const std::vector<uint8_t> state = saveState();
        const auto play = [] {
            std::vector<int16_t> heard;
            for (uint32_t frame = 0; frame < 10; ++frame) {
                runFrames(1);
                heard.insert(heard.end(), frameSamples().begin(), frameSamples().end());
            }
            return heard;
        };
        const std::vector<int16_t> first = play();
        ASSERT_EQ(loadState(state), StateLoad::Loaded);
        EXPECT_EQ(play(), first) << mapper;
        EXPECT_GT(std::ranges::max(first) - std::ranges::min(first), 1000) << mapper << " plays";
    }
}

}  // namespace
