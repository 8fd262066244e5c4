#include "console/machine.h"

#include <algorithm>

#include "apu/channels.h"
#include "apu/mixer.h"
#include "bus/cheats.h"
#include "bus/cpu_bus.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cart/save_memory.h"
#include "console/scheduler.h"
#include "cpu/cpu_state.h"
#include "input/controller.h"
#include "ppu/frame_buffer.h"
#include "ppu/ppu_state.h"
#include "ppu/renderer.h"

void resetMachine()
{
    cheats = CheatTable{};
    setRegion(Region::Ntsc);
    scheduler = SchedulerState{};
    cpu = CpuState{};
    cpuMemory.fill(0);

    // The cartridge arrays are 2 MB: cleared in place rather than through a temporary.
    cartridge.magic.fill(0);
    cartridge.prgKb = cartridge.chrKb = 0;
    cartridge.flags6 = cartridge.flags7 = cartridge.mirroring = cartridge.submapper = cartridge.timing = 0;
    cartridge.mapperNumber = 0;
    cartridge.nes2 = cartridge.trainer = false;
    cartridge.workRamBytes = cartridge.batteryRamBytes = cartridge.chrRamBytes = 0;
    cartridge.prgRom.fill(0);
    cartridge.chrMemory.fill(0);
    cartridge.prgRam.fill(0);
    prgPageMap.fill(0);
    forgetCodeWindow();
    chrPageMap.fill(0);
    nametableMap.fill(0);
    prgRamWindow = PrgRamWindow{};
    mapperState = MapperState{};
    saveMemoryState.lastSaved.fill(0);

    ppu = PpuState{};
    frameBuffer.fill(0);
    pixelLine = PixelLine{};
    resetApu();

    buttonState.fill(0);
    controllerReadIndex = 0;
    secondButtonState.fill(0);
    secondControllerReadIndex = 0;
    secondControllerPresent = false;
}
