#include "app/machine.h"

#include <algorithm>

#include "apu/channels.h"
#include "app/options.h"
#include "app/scheduler.h"
#include "app/video.h"
#include "bus/cartridge.h"
#include "bus/cpu_bus.h"
#include "bus/mappers.h"
#include "bus/page_maps.h"
#include "bus/save_memory.h"
#include "cpu/cpu_state.h"
#include "input/controller.h"
#include "input/gamepad.h"
#include "input/keymap.h"
#include "ppu/ppu_state.h"

void resetMachine()
{
    emulationRunning = 0;
    options = EmulatorOptions{};
    cheatTable = CheatTable{};
    scheduler = SchedulerState{};
    cpu = CpuState{};
    cpuMemory.fill(0);

    // The cartridge arrays are 2 MB: cleared in place rather than through a temporary.
    cartridge.magic.fill(0);
    cartridge.prgKb = cartridge.chrKb = 0;
    cartridge.flags6 = cartridge.flags7 = cartridge.mirroring = cartridge.mapperNumber = 0;
    cartridge.prgRom.fill(0);
    cartridge.chrMemory.fill(0);
    prgPageMap.fill(0);
    forgetCodeWindow();
    chrPageMap.fill(0);
    nametableMap.fill(0);
    mapperState = MapperState{};
    saveMemoryState.lastSaved.fill(0);

    ppu = PpuState{};
    frameBuffer.fill(0);
    resetApu();

    buttonState.fill(0);
    scriptedButtons.fill(0);
    controllerReadIndex = 0;
    gamepadButtons.fill(0);
    secondButtonState.fill(0);
    secondControllerReadIndex = 0;
    secondControllerPresent = false;
    resetGamepads();
    keyMap.fill(0);
}
