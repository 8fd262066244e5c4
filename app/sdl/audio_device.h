// The audio device: opened by a start-up thread, so that a slow sound server never holds up the
// window, and fed by SDL's callback from the sound FIFO. An AudioDevice owns that thread: it is
// joined on every way out, the display's loss included.
#pragma once

#include <cstdint>
#include <thread>

class AudioDevice {
public:
    // Starts the thread that opens the device and starts it playing. Without a device the game
    // runs on silently; the sound stream is still made (for -wav).
    AudioDevice();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Waits for the start-up thread and pauses the device, so that the end of the run is no
    // underrun. Once done, later calls do nothing.
    void stop();

private:
    std::thread opener_;
};

// The device callback: plays the sound FIFO as signed 16-bit samples.
void audioCallback(void* userdata, uint8_t* stream, int len);

// Samples a second the device has taken, from the callback's calls so far; 0 before the second call.
double deviceSampleRate();
