#include "apu/channel_levels.h"

#include <algorithm>

#include "apu/apu_state.h"

namespace {

uint8_t envelopeLevel(const Envelope& envelope) { return envelope.constant ? envelope.volume : envelope.decay; }

}  // namespace

uint32_t channelLevels(uint8_t chips, ChannelLevels& levels)
{
    uint32_t count = 0;
    const auto add = [&](std::string_view name, uint32_t level) { levels[count++] = {name, static_cast<uint8_t>(std::min(level, 15u))}; };
    const auto square = [](const SquareChannel& s) { return s.enabled && s.length > 0 && s.period != 0 ? envelopeLevel(s.envelope) : 0; };
    add("Pulse 1", square(apu.square1));
    add("Pulse 2", square(apu.square2));
    const TriangleChannel& t = apu.triangle;
    add("Triangle", t.enabled && t.length > 0 && t.linearCounter > 0 && t.period != 0 ? 15 : 0);
    add("Noise", apu.noise.enabled && apu.noise.length > 0 ? envelopeLevel(apu.noise.envelope) : 0);
    add("Sample", apu.sample.silent ? 0 : apu.sample.output >> 3);

    const ExpansionSoundState& e = apu.expansion;
    if (chips & SoundChipBit::Vrc6) {
        add("VRC6 pulse 1", e.vrc6.pulses[0].enabled ? e.vrc6.pulses[0].control & 15 : 0);
        add("VRC6 pulse 2", e.vrc6.pulses[1].enabled ? e.vrc6.pulses[1].control & 15 : 0);
        add("VRC6 saw", e.vrc6.saw.enabled ? e.vrc6.saw.rate * 15u / 42 : 0);
    }
    if (chips & SoundChipBit::Vrc7) {
        static constexpr std::string_view Names[] = {"VRC7 FM 1", "VRC7 FM 2", "VRC7 FM 3", "VRC7 FM 4", "VRC7 FM 5", "VRC7 FM 6"};
        for (uint32_t k = 0; k < 6; ++k) {
            const float attenuation = e.vrc7.carriers.attenuation[k] + 3.0f * (e.vrc7.registers[0x30 + k] & 15);
            add(Names[k], e.vrc7.carriers.stage[k] == Vrc7OperatorOff ? 0 : static_cast<uint32_t>(std::max(0.0f, 15.5f - attenuation / 3)));
        }
    }
    if (chips & SoundChipBit::Mmc5) {
        for (const Mmc5Pulse& pulse : e.mmc5.pulses)
            add(&pulse == &e.mmc5.pulses[0] ? "MMC5 pulse 1" : "MMC5 pulse 2", pulse.enabled && pulse.length > 0 ? envelopeLevel(pulse.envelope) : 0);
        add("MMC5 PCM", e.mmc5.pcm >> 4);
    }
    if (chips & SoundChipBit::Namco163) {
        static constexpr std::string_view Names[] = {"N163 1", "N163 2", "N163 3", "N163 4", "N163 5", "N163 6", "N163 7", "N163 8"};
        const uint32_t active = ((e.namco163.ram[0x7F] >> 4) & 7) + 1;
        for (uint32_t k = 0; k < active; ++k)  // channel 8 first: the chip's first in turn
            add(Names[k], e.namco163.silenced ? 0 : e.namco163.ram[0x7F - 8 * k] & 15);
    }
    if (chips & SoundChipBit::Sunsoft5b) {
        static constexpr std::string_view Names[] = {"5B tone A", "5B tone B", "5B tone C"};
        const auto& r = e.sunsoft5b.registers;
        for (uint32_t k = 0; k < 3; ++k) {
            const bool heard = (r[7] & (9u << k)) != (9u << k);  // its tone or the noise on
            add(Names[k], !heard ? 0 : (r[8 + k] & 0x10) ? 15 : r[8 + k] & 15);
        }
    }
    return count;
}
