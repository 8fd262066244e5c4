// The frame scheduler: cycle budgets, overshoot, frame skip, NMI point and MMC3 clocking.
#include <gtest/gtest.h>

#include "app/options.h"
#include "app/scheduler.h"
#include "app/video.h"
#include "bus/cpu_bus.h"
#include "bus/mappers.h"
#include "cpu/cpu_state.h"
#include "cpu/opcode_table.h"
#include "ppu/ppu_state.h"
#include "support/harness.h"

namespace {

// Loads a program at 0x8000 (mapper `mapper`), with an NMI handler at 0x9000 that counts NMIs in
// 0x0010, then resets the CPU.
void loadProgram(const std::vector<uint8_t>& program, uint8_t mapper = 0)
{
    InesImage image(2, 1, static_cast<uint8_t>(mapper << 4));
    image.put(0x8000, program);
    image.put(0x9000, {0xE6, 0x10, 0x40});  // INC $10; RTI
    image.setVectors(0x8000, 0x9000);
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
    initOpcodeTable();
}

const std::vector<uint8_t> Spin = {0x4C, 0x00, 0x80};                                // JMP $8000
const std::vector<uint8_t> ShowBoth = {0xA9, 0x18, 0x8D, 0x01, 0x20, 0x4C, 0x05, 0x80};  // $2001 = $18; spin

// Runs one frame and counts it, as the frame loop does; returns the instruction cycles it took.
int64_t frame()
{
    const uint32_t before = cpu.totalCycles;
    const int32_t carriedIn = cpu.cycleCounter;
    runFrame();
    ++scheduler.frameCounter;
    // Budgets consumed = cycles executed - overshoot carried out + overshoot carried in.
    return int64_t{cpu.totalCycles - before} - cpu.cycleCounter + carriedIn;
}

TEST(Scheduler, CycleBudgetsOfEachKindOfFrame)
{
    loadProgram(Spin);
    options.scanlineMode = true;
    EXPECT_EQ(frame(), 29982) << "scanline mode";
    options.scanlineMode = false;
    EXPECT_EQ(frame(), 30222) << "pixel mode";
    options.frameSkip = 2;
    EXPECT_EQ(frame(), 30222) << "frame 2 is rendered with frame skip 2";
    EXPECT_EQ(frame(), 29982) << "frame 3 is skipped";

    // ROR $0200,X (7 cycles) in a loop: runs end mid-instruction and carry the rest.
    loadProgram({0x7E, 0x00, 0x02, 0x4C, 0x00, 0x80});
    for (int n = 0; n < 5; ++n) {
        frame();
        EXPECT_TRUE(cpu.cycleCounter >= 1 && cpu.cycleCounter <= 7) << "overshoot " << cpu.cycleCounter;
    }
}

TEST(Scheduler, FrameSkipRendersEveryNthFrameOnly)
{
    // Sprite 0 opaque on line 11: the hit is set only in rendered frames, and skipped frames keep
    // the previous picture.
    loadProgram(ShowBoth);
    cartridge.chrMemory[16] = 0xFF;  // tile 1, row 0 opaque
    ppu.oam = {10, 1, 0, 20};
    options.frameSkip = 3;
    options.autoFrameSkip = false;
    std::vector<int> hits, backdrops;
    for (uint8_t n = 0; n < 7; ++n) {
        ppu.memory[0x3F00] = n;
        frame();
        hits.push_back(ppu.spriteZeroHit);
        backdrops.push_back(frameBuffer[100 * 256]);
    }
    EXPECT_EQ(hits, (std::vector<int>{1, 0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(backdrops, (std::vector<int>{0, 0, 0, 3, 3, 3, 6}));

    // A headless run of a year counts on past 2^31 frames.
    scheduler.frameCounter = 2147483647;
    frame();
    EXPECT_TRUE(scheduler.frameCounter > 2147483647 && !isRenderedFrame()) << "2^31 is not a multiple of 3";
}

TEST(Scheduler, NmiComesOnlyWhereVerticalBlankBegins)
{
    // Waits for the vblank flag, then enables NMIs: that frame gets none, later frames one each.
    loadProgram({0x2C, 0x02, 0x20,              // BIT $2002
                 0x10, 0xFB,                    // BPL back
                 0xA9, 0x80, 0x8D, 0x00, 0x20,  // LDA #$80; STA $2000
                 0x4C, 0x0A, 0x80});
    std::vector<int> nmis;
    for (int n = 0; n < 3; ++n) {
        frame();
        nmis.push_back(cpuMemory[0x10]);
    }
    EXPECT_EQ(nmis, (std::vector<int>{0, 1, 2})) << "enabled during vertical blank: no NMI in that frame";
    EXPECT_EQ(ppu.vblankFlag, 1) << "the scheduler never clears the vblank flag";
}

TEST(Scheduler, Mmc3CounterIsClockedOncePerVisibleLineOfARenderedFrame)
{
    for (const bool rendering : {true, false}) {
        loadProgram(rendering ? ShowBoth : Spin, 4);
        mapperState.mmc3IrqReload = 255;
        frame();
        EXPECT_EQ(mapperState.mmc3IrqCounter, rendering ? 255u - 240 : 255u);
    }
    loadProgram(ShowBoth, 4);
    options.frameSkip = 2;
    mapperState.mmc3IrqReload = 255;
    frame();
    frame();
    EXPECT_EQ(mapperState.mmc3IrqCounter, 255u - 240) << "not clocked in the skipped frame";
}

}  // namespace

// A status bar the way games make one: once sprite 0 has hit on line 100, the program writes 0x34A0
// to 0x2006 (nametable 1, coarse Y 5, fine Y 3, coarse X 0). From line 101 on, in both modes, the
// background shows that row with the fine X (3) of the last 0x2005 write: tile 2 of nametable 1's
// row 5, column 1 appears at columns 5-12 of lines 101-105. Each frame starts from the scroll that
// vertical blank wrote.
TEST(Scheduler, SecondAddressWriteOnAVisibleLineMovesThePictureFromTheNextLine)
{
    const std::vector<uint8_t> program = {
        0xAD, 0x02, 0x20, 0x10, 0xFB, 0xA9, 0x00, 0x8D, 0x00, 0x20,  // wait for vblank; 0x2000 = 0
        0xA9, 0x03, 0x8D, 0x05, 0x20, 0xA9, 0x00, 0x8D, 0x05, 0x20,  // scroll 3, 0
        0xA9, 0x0A, 0x8D, 0x01, 0x20,                                // background on
        0x2C, 0x02, 0x20, 0x70, 0xFB, 0x2C, 0x02, 0x20, 0x50, 0xFB,  // wait for a new sprite-0 hit
        0xA9, 0x34, 0x8D, 0x06, 0x20, 0xA9, 0xA0, 0x8D, 0x06, 0x20, 0x4C, 0x00, 0x80};
    const std::pair<uint32_t, uint32_t> tile2[] = {{5, 101}, {12, 101}, {5, 105}};
    const std::pair<uint32_t, uint32_t> backdrop[] = {{4, 101}, {13, 101}, {5, 106}, {5, 239}};
    for (const bool scanlineMode : {false, true}) {
        loadProgram(program);
        std::fill_n(&cartridge.chrMemory[0], 0x30, uint8_t{0});  // tile 0 blank
        std::fill_n(&cartridge.chrMemory[0x10], 8, uint8_t{0xFF});  // tile 1: value 1
        std::fill_n(&cartridge.chrMemory[0x28], 8, uint8_t{0xFF});  // tile 2: value 2
        nametableMap = {0x2000, 0x2400, 0x2000, 0x2400};
        std::fill_n(&ppu.memory[0x2000], 960, uint8_t{1});
        ppu.memory[0x2400 + 5 * 32 + 1] = 2;
        std::copy_n(std::begin({0x01, 0x11, 0x22}), 3, &ppu.memory[0x3F00]);
        ppu.oam = {99, 1, 0, 200};  // sprite 0 hits on line 100
        options.scanlineMode = scanlineMode;
        for (int n = 0; n < 3; ++n)
            frame();
        const auto at = [](const std::pair<uint32_t, uint32_t>& p) {
            return frameBuffer[p.second * FrameWidth + p.first];
        };
        EXPECT_EQ(at({5, 100}), 0x11) << "nametable 0 above the split";
        for (const auto& p : tile2)
            EXPECT_EQ(at(p), 0x22) << p.first << "," << p.second << (scanlineMode ? " scanline" : " pixel");
        for (const auto& p : backdrop)
            EXPECT_EQ(at(p), 0x01) << p.first << "," << p.second << (scanlineMode ? " scanline" : " pixel");
    }
}
