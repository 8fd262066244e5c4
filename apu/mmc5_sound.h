// The MMC5's sound: two pulse channels as the console's squares without their sweeps, and an 8-bit
// PCM output.
#pragma once

#include <array>
#include <cstdint>

#include "apu/envelope.h"

struct Mmc5Pulse {
    uint8_t duty;
    Envelope envelope;
    uint16_t timer;      // a step every 2 (t + 1) CPU cycles, through the 8 steps of the duty
    uint8_t dutyStep;
    uint8_t length;
    uint8_t enabled;     // 0x5015
    uint32_t lastStep;

    bool operator==(const Mmc5Pulse&) const = default;
};

struct Mmc5Sound {
    std::array<Mmc5Pulse, 2> pulses;
    uint32_t lastQuarter;  // totalCycles of the last 240 Hz clock of the envelopes and length counters
    uint8_t pcm;           // 0x5011

    bool operator==(const Mmc5Sound&) const = default;
};

void startMmc5Sound();
// A write to 0x5000-0x5015.
void mmc5SoundWrite(uint32_t address, uint8_t value);
// 0x5015: bits 0 and 1, the pulses' length counters above 0.
uint8_t mmc5SoundStatus();

struct ExpansionSound;
extern const ExpansionSound Mmc5ExpansionSound;

class StateIo;
void mmc5SoundFields(StateIo& io, Mmc5Sound& state);
