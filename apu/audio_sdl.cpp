#include "apu/audio_sdl.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/machine.h"
#include "apu/apu_state.h"
#include "apu/mixer.h"
#include "apu/sound_fifo.h"

namespace {

std::thread audioThread;
std::mutex wakeLock;
std::condition_variable wakeSignal;
bool stopRequested = false;  // guarded by wakeLock

// Waits until the emulation has stopped or the thread is asked to end. The timed wait is a
// safety net for a run flag cleared without stopAudioThread.
void waitForEmulationEnd()
{
    std::unique_lock lock(wakeLock);
    while (emulationRunning.load() != 0 && !stopRequested)
        wakeSignal.wait_for(lock, std::chrono::milliseconds(100));
}

// The device's own pace, measured by the callback: bytes asked for since its first call.
std::atomic<uint64_t> deviceBytes{0};
std::atomic<int64_t> firstCallNanoseconds{0};
std::atomic<int64_t> lastCallNanoseconds{0};
// Bytes of the first call, which come before the measured time.
std::atomic<uint64_t> firstCallBytes{0};

int64_t nanosecondsNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void audioCallback(void*, uint8_t* stream, int len)
{
    fillAudioStream(stream, len);
    const int64_t now = nanosecondsNow();
    if (deviceBytes.load(std::memory_order_relaxed) == 0) {
        firstCallNanoseconds.store(now, std::memory_order_relaxed);
        firstCallBytes.store(static_cast<uint64_t>(len), std::memory_order_relaxed);
    }
    lastCallNanoseconds.store(now, std::memory_order_relaxed);
    deviceBytes.fetch_add(static_cast<uint64_t>(len), std::memory_order_release);
}

double deviceSampleRate()
{
    const uint64_t bytes = deviceBytes.load(std::memory_order_acquire) - firstCallBytes.load(std::memory_order_relaxed);
    const int64_t span = lastCallNanoseconds.load(std::memory_order_relaxed) -
                         firstCallNanoseconds.load(std::memory_order_relaxed);
    return span > 0 ? static_cast<double>(bytes) / 2 * 1e9 / static_cast<double>(span) : 0.0;
}

void audioThreadMain()
{
    apuRunning = true;

    SDL_AudioSpec wanted{};
    wanted.freq = StreamRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = DeviceBufferSamples;
    wanted.callback = audioCallback;
    wanted.userdata = nullptr;
    // No obtained format: SDL converts to the one asked for. Without a device the game runs on
    // silently; the sound stream is still made (for -wav).
    if (SDL_OpenAudio(&wanted, nullptr) >= 0) {
        soundFifo.deviceOpen = true;
        SDL_PauseAudio(0);
    }

    waitForEmulationEnd();
}

void startAudioThread()
{
    {
        const std::lock_guard lock(wakeLock);
        stopRequested = false;
    }
    audioThread = std::thread(audioThreadMain);
}

void stopAudioThread()
{
    if (!audioThread.joinable())
        return;
    {
        const std::lock_guard lock(wakeLock);
        stopRequested = true;
    }
    wakeSignal.notify_all();
    audioThread.join();
    // Stopped while the FIFO still holds the last frames, so the end of the run is no underrun.
    if (soundFifo.deviceOpen)
        SDL_PauseAudio(1);
}
