#include "app/sdl/audio_device.h"

#include <SDL.h>

#include <atomic>
#include <chrono>

#include "app/sound_fifo.h"
#include "apu/apu_state.h"

namespace {

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

void openDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = StreamRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = DeviceBufferSamples;
    wanted.callback = audioCallback;
    wanted.userdata = nullptr;
    // No obtained format: SDL converts to the one asked for.
    if (SDL_OpenAudio(&wanted, nullptr) >= 0) {
        soundFifo.deviceOpen = true;
        SDL_PauseAudio(0);
    }
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

AudioDevice::AudioDevice() : opener_(openDevice) {}

AudioDevice::~AudioDevice() { stop(); }

void AudioDevice::stop()
{
    if (!opener_.joinable())
        return;
    opener_.join();
    // Stopped while the FIFO still holds the last frames, so the end of the run is no underrun.
    if (soundFifo.deviceOpen)
        SDL_PauseAudio(1);
}
