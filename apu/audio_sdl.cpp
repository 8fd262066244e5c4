#include "apu/audio_sdl.h"

#include <SDL.h>

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

}  // namespace

void audioCallback(void*, uint8_t* stream, int len) { fillAudioStream(stream, len); }

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
}
