// The frame sequencer: 240 steps a second that clock the envelopes and the triangle's linear
// counter (quarter frames), the length counters and the sweeps (half frames), and the frame IRQ.
#pragma once

#include <cstdint>

struct Envelope;
// One clock of an envelope (a quarter frame): with its start flag the decay starts at 15;
// otherwise the divider counts down from the volume, and each time it passes 0 the decay falls by
// one (back to 15 after 0 when looping).
void clockEnvelope(Envelope& envelope);

// One step of the sequence. 4-step mode: quarter frames at steps 1-4, half frames at 2 and 4, the
// frame IRQ flag set at step 4 unless inhibited. 5-step mode: quarter frames at steps 1, 2, 3 and
// 5, half frames at 2 and 5, no IRQ.
void frameSequencerStep();

// A write of 0x4017: bit 7 the mode (5 steps when set), bit 6 the IRQ inhibit (setting it clears
// the frame IRQ flag). The sequence starts again, and with bit 7 set a quarter and a half frame
// are clocked at once.
void writeFrameCounter(uint8_t value);
