// The VRC7's FM channels, updated 49,716 times a second (every 36 CPU cycles). Each operator's
// phase (2^32 a cycle) steps by F-number x 2^octave x multiple x 2^13; its output is the sine of its phase (the carrier's
// bent by the modulator's output, the modulator's by its own last two with the feedback), at the
// attenuation of its envelope, level and key scaling, and the tremolo. Choices where the chip's
// documentation stops: a full modulator bends the carrier by two cycles (feedback 7 the modulator
// by two), envelope rates halve the time with each step as in the OPL family (48 dB of decay at
// rate 1 take 19.6 s, an attack at rate 1 2.8 s), tremolo 4.8 dB deep, vibrato 0.7 % wide, and a
// channel's full sine swings 34 console level steps each way: so a pseudo-square (a 2:1 modulator
// at 24 dB, full feedback) is 4.2 times as loud as a console square at 15, the chip's measured level.
#include "apu/vrc7_sound.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "apu/apu_state.h"
#include "apu/expansion_sound.h"
#include "cpu/cpu_state.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t UpdateCycles = 36;
constexpr double UpdateRate = 1789773.0 / UpdateCycles;
constexpr float Silent = 48.0f;
constexpr int32_t ChannelUnits = 34 * MixUnitsPerLevel;

enum Stage : uint8_t { Off, Attack, Decay, Sustain, Release };

// The built-in instruments 1-15: registers 0x00-0x07 of each.
constexpr uint8_t Instruments[15][8] = {
    {0x03, 0x21, 0x05, 0x06, 0xE8, 0x81, 0x42, 0x27}, {0x13, 0x41, 0x14, 0x0D, 0xD8, 0xF6, 0x23, 0x12},
    {0x11, 0x11, 0x08, 0x08, 0xFA, 0xB2, 0x20, 0x12}, {0x31, 0x61, 0x0C, 0x07, 0xA8, 0x64, 0x61, 0x27},
    {0x32, 0x21, 0x1E, 0x06, 0xE1, 0x76, 0x01, 0x28}, {0x02, 0x01, 0x06, 0x00, 0xA3, 0xE2, 0xF4, 0xF4},
    {0x21, 0x61, 0x1D, 0x07, 0x82, 0x81, 0x11, 0x07}, {0x23, 0x21, 0x22, 0x17, 0xA2, 0x72, 0x01, 0x17},
    {0x35, 0x11, 0x25, 0x00, 0x40, 0x73, 0x72, 0x01}, {0xB5, 0x01, 0x0F, 0x0F, 0xA8, 0xA5, 0x51, 0x02},
    {0x17, 0xC1, 0x24, 0x07, 0xF8, 0xF8, 0x22, 0x12}, {0x71, 0x23, 0x11, 0x06, 0x65, 0x74, 0x18, 0x16},
    {0x01, 0x02, 0xD3, 0x05, 0xC9, 0x95, 0x03, 0x02}, {0x61, 0x63, 0x0C, 0x00, 0x94, 0xC0, 0x33, 0xF6},
    {0x21, 0x72, 0x0D, 0x00, 0xC1, 0xD5, 0x56, 0x06},
};

// The multiple, in halves: 1/2, 1-10, 10, 12, 12, 15, 15.
constexpr uint8_t MultipleHalves[16] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 20, 24, 24, 30, 30};
constexpr float KeyScaleDbPerOctave[4] = {0.0f, 1.5f, 3.0f, 6.0f};

const std::array<float, 1024> Sine = [] {
    std::array<float, 1024> table{};
    for (size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<float>(std::sin(2 * std::numbers::pi * static_cast<double>(k) / table.size()));
    return table;
}();

Vrc7Sound& chip() { return apu.expansion.vrc7; }

// The amplitude of an attenuation, in steps of 1/32 dB up to silence (and beyond: 0).
constexpr int32_t AmplitudeSteps = 32;
const std::array<float, 48 * AmplitudeSteps + 2> Amplitudes = [] {
    std::array<float, 48 * AmplitudeSteps + 2> table{};
    for (size_t k = 0; k + 1 < table.size(); ++k)
        table[k] = static_cast<float>(std::pow(10.0, -static_cast<double>(k) / AmplitudeSteps / 20.0));
    return table;
}();

// Every part of an attenuation is 0 or more.
float amplitudeOf(float attenuation)
{
    return attenuation >= Silent ? 0.0f : Amplitudes[static_cast<uint32_t>(attenuation * AmplitudeSteps + 0.5f)];
}

// dB an update at a rate index 4 x rate + key scale (0-63): 48 dB take `seconds` at rate 1 (index
// 4), half as long each rate step.
std::array<float, 64> ratesFor(double seconds)
{
    std::array<float, 64> table{};
    for (size_t index = 4; index < table.size(); ++index)
        table[index] = static_cast<float>(Silent / (seconds * std::pow(2.0, -(static_cast<double>(index) / 4.0 - 1.0)) * UpdateRate));
    return table;
}
const std::array<float, 64> AttackRates = ratesFor(2.826);
const std::array<float, 64> DecayRates = ratesFor(19.64);

float dbPerUpdate(const std::array<float, 64>& rates, uint32_t rate, uint32_t keyScale)
{
    return rate == 0 ? 0.0f : rates[std::min(4 * rate + keyScale, 63u)];
}

// One period of the tremolo (4.8 dB deep) and of the vibrato (0.7 % wide), in 256 steps.
const std::array<float, 256> Tremolo = [] {
    std::array<float, 256> table{};
    for (size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<float>(4.8 * (1 - std::cos(2 * std::numbers::pi * static_cast<double>(k) / 256)) / 2);
    return table;
}();
const std::array<float, 256> Vibrato = [] {
    std::array<float, 256> table{};
    for (size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<float>(1.0 + 0.007 * std::sin(2 * std::numbers::pi * static_cast<double>(k) / 256));
    return table;
}();

// The feedback's reach in cycles, for feedback 1-7.
constexpr std::array<float, 8> FeedbackCycles = {0, 1.0f / 32, 1.0f / 16, 1.0f / 8, 1.0f / 4, 1.0f / 2, 1, 2};

void updateEnvelope(Vrc7Operator& op, const uint8_t* patch, uint32_t which, uint32_t keyScale, bool keyOn, bool channelSustain)
{
    const uint8_t traits = patch[which];
    const uint32_t scale = (traits & 0x10) ? keyScale : keyScale >> 2;
    const uint8_t rates = patch[4 + which], levels = patch[6 + which];
    const float sustainLevel = 3.0f * (levels >> 4);
    const uint32_t releaseRate = !keyOn && channelSustain ? 5 : levels & 0x0F;
    switch (op.stage) {
    case Attack:
        if ((rates >> 4) == 15)
            op.attenuation = 0;
        else
            op.attenuation -= dbPerUpdate(AttackRates, rates >> 4, scale);
        if (op.attenuation <= 0) {
            op.attenuation = 0;
            op.stage = Decay;
        }
        break;
    case Decay:
        op.attenuation += dbPerUpdate(DecayRates, rates & 0x0F, scale);
        if (op.attenuation >= sustainLevel) {
            op.attenuation = sustainLevel;
            op.stage = Sustain;
        }
        break;
    case Sustain:
        if ((traits & 0x20) == 0)  // a percussive sound decays on at the release rate
            op.attenuation += dbPerUpdate(DecayRates, releaseRate, scale);
        break;
    case Release: op.attenuation += dbPerUpdate(DecayRates, releaseRate, scale); break;
    default: break;
    }
    if (op.attenuation >= Silent) {
        op.attenuation = Silent;
        if (op.stage != Attack && op.stage != Decay)
            op.stage = Off;
    }
}

// The largest in cycles of a sine's phase offset: 2 of the modulation, 2 of the feedback.
constexpr float MostOffsetSteps = 4 * 1024;

void update()
{
    Vrc7Sound& c = chip();
    const double seconds = c.updates / UpdateRate;
    const float tremolo = Tremolo[static_cast<uint32_t>(seconds * 3.7 * 256) & 255];
    const float vibrato = Vibrato[static_cast<uint32_t>(seconds * 6.4 * 256) & 255];
    ++c.updates;
    for (uint32_t k = 0; k < 6; ++k) {
        Vrc7Channel& channel = c.channels[k];
        if (channel.operators[0].stage == Off && channel.operators[1].stage == Off) {
            channel.feedback = 0;  // both silent until a key-on, which restarts their phases
            continue;
        }
        const uint8_t* regs = c.registers.data();
        const uint8_t instrument = regs[0x30 + k] >> 4;
        const uint8_t* patch = instrument == 0 ? regs : Instruments[instrument - 1];
        const uint32_t fnumber = regs[0x10 + k] | (regs[0x20 + k] & 1) << 8;
        const uint32_t octave = (regs[0x20 + k] >> 1) & 7;
        const bool keyOn = (regs[0x20 + k] & 0x10) != 0, channelSustain = (regs[0x20 + k] & 0x20) != 0;
        const uint32_t keyScale = octave << 1 | fnumber >> 8;
        float modulation = 0, lastTwo = 0;  // the modulator's last two outputs, summed
        for (uint32_t which = 0; which < 2; ++which) {
            Vrc7Operator& op = channel.operators[which];
            if (which == 0) {
                lastTwo = op.output + channel.feedback;
                channel.feedback = op.output;
            }
            if (op.stage != Off)
                updateEnvelope(op, patch, which, keyScale, keyOn, channelSustain);
            if (op.stage == Off) {  // silent: its phase no longer matters
                op.output = 0;
                continue;
            }
            const uint8_t traits = patch[which];
            // The phase step, 2^32 a cycle, wrapping as the phase does.
            uint64_t step = uint64_t{fnumber << octave} * MultipleHalves[traits & 0x0F] * 4096;
            if (traits & 0x40)
                step = static_cast<uint64_t>(static_cast<double>(step) * vibrato);
            op.phase += static_cast<uint32_t>(step);
            float attenuation = op.attenuation;
            if (const uint32_t keyScaling = patch[2 + which] >> 6; keyScaling != 0)
                attenuation += KeyScaleDbPerOctave[keyScaling] * std::max(0.0f, static_cast<float>(octave) + static_cast<float>(fnumber) / 512.0f - 1.0f);
            if (traits & 0x80)
                attenuation += tremolo;
            float offset = 0;  // in cycles
            if (which == 0) {
                attenuation += 0.75f * (patch[2] & 0x3F);
                if (const uint32_t feedback = patch[3] & 7; feedback != 0)
                    offset = lastTwo / 2 * FeedbackCycles[feedback];
            } else {
                attenuation += 3.0f * (regs[0x30 + k] & 0x0F);
                offset = 2.0f * modulation;
            }
            const int32_t offsetSteps = static_cast<int32_t>(offset * 1024.0f + MostOffsetSteps) - static_cast<int32_t>(MostOffsetSteps);
            float out = Sine[((op.phase >> 22) + static_cast<uint32_t>(offsetSteps)) & 1023] * amplitudeOf(attenuation);
            if (out < 0 && (patch[3] & (which == 0 ? 0x08 : 0x10)))
                out = 0;  // half-wave rectified
            if (which == 0)
                modulation = out;
            op.output = out;
        }
    }
}

void runTo(uint32_t now)
{
    Vrc7Sound& c = chip();
    const uint32_t updates = stepsSince(c.lastUpdate, UpdateCycles, now);
    if (c.silenced)
        return;
    for (uint32_t k = 0; k < updates; ++k)
        update();
}

// Each channel's carrier, offset so that silence is the middle of its swing.
int32_t levelAt(uint32_t now)
{
    runTo(now);
    const Vrc7Sound& c = chip();
    if (c.silenced)
        return 6 * ChannelUnits;
    float sum = 0;
    for (const Vrc7Channel& channel : c.channels)
        sum += channel.operators[1].output;
    return static_cast<int32_t>(std::lround((sum + 6.0f) * ChannelUnits));
}

void keyChanged(uint32_t k, bool on)
{
    for (Vrc7Operator& op : chip().channels[k].operators) {
        if (on) {
            op.stage = Attack;
            op.phase = 0;
        } else if (op.stage != Off) {
            op.stage = Release;
        }
    }
}

}  // namespace

const ExpansionSound Vrc7ExpansionSound{levelAt, 12 * ChannelUnits, [] { return true; }};

void startVrc7Sound()
{
    chip() = Vrc7Sound{};
    for (Vrc7Channel& channel : chip().channels)
        for (Vrc7Operator& op : channel.operators)
            op.attenuation = Silent;
    chip().lastUpdate = cpu.totalCycles;
}

void vrc7SelectRegister(uint8_t value) { chip().select = value; }

void vrc7WriteRegister(uint8_t value)
{
    Vrc7Sound& c = chip();
    const uint8_t reg = c.select;
    const bool known = reg < 8 || ((reg & 0x0F) < 6 && reg >= 0x10 && reg < 0x36);
    if (c.silenced || !known)
        return;
    runTo(cpu.totalCycles);
    const uint8_t before = c.registers[reg];
    c.registers[reg] = value;
    if ((reg & 0xF0) == 0x20 && ((before ^ value) & 0x10))
        keyChanged(reg & 0x0F, (value & 0x10) != 0);
}

void vrc7Silence(bool silenced)
{
    runTo(cpu.totalCycles);
    if (silenced && !chip().silenced) {
        const uint32_t lastUpdate = chip().lastUpdate;
        startVrc7Sound();
        chip().lastUpdate = lastUpdate;
    }
    chip().silenced = silenced ? 1 : 0;
}

namespace {

// A float as its 32 bits.
void floatField(StateIo& io, float& value)
{
    uint32_t bits = std::bit_cast<uint32_t>(value);
    io.field(bits);
    value = std::bit_cast<float>(bits);
}

}  // namespace

void vrc7SoundFields(StateIo& io, Vrc7Sound& state)
{
    io.field(state.registers);
    io.field(state.select);
    io.field(state.silenced, 0, 1);
    for (Vrc7Channel& channel : state.channels) {
        for (Vrc7Operator& op : channel.operators) {
            io.field(op.phase);
            io.field(op.stage, Off, Release);
            floatField(io, op.attenuation);
            floatField(io, op.output);
            io.check(op.attenuation >= 0 && op.attenuation <= Silent && op.output >= -1 && op.output <= 1);
        }
        floatField(io, channel.feedback);
        io.check(channel.feedback >= -1 && channel.feedback <= 1);
    }
    io.field(state.updates);
    io.field(state.lastUpdate);
}
static_assert(fieldCount<Vrc7Sound>() == 6 && fieldCount<Vrc7Channel>() == 2 && fieldCount<Vrc7Operator>() == 4,
              "a Vrc7Sound field is missing from vrc7SoundFields");
