// The audio device: the start-up thread that opens it and the callback that feeds it.
#pragma once

#include <cstdint>

// Starts the audio thread (audioThreadMain). Call once during start-up, unless -silent.
void startAudioThread();

// Wakes the audio thread and waits for it to end. Call before SDL_Quit on every exit path
// taken after startAudioThread; does nothing when no thread was started.
void stopAudioThread();

// The audio thread's body: switches the APU on, opens and starts the device, then waits
// until emulationRunning drops (or stopAudioThread asks it to end).
void audioThreadMain();

// The device callback: plays the sound FIFO as signed 16-bit samples.
void audioCallback(void* userdata, uint8_t* stream, int len);

// Samples a second the device has taken, from the callback's calls so far; 0 before the second call.
double deviceSampleRate();
