// Machine-wide state and the reset of every record to its program-start value.
#pragma once

#include <atomic>
#include <cstdint>

// The frame loop's run flag, also polled by the audio start-up thread.
inline std::atomic<uint32_t> emulationRunning{0};

// Puts every emulated record back to its program-start value (used by tests for a fresh machine).
void resetMachine();
