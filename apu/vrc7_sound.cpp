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

enum Stage : uint8_t { Off = Vrc7OperatorOff, Attack, Decay, Sustain, Release };

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

// The amplitude of an attenuation, in steps of 1/32 dB up to silence (the last step, and beyond: 0).
constexpr int32_t AmplitudeSteps = 32;
const std::array<float, 48 * AmplitudeSteps + 1> Amplitudes = [] {
    std::array<float, 48 * AmplitudeSteps + 1> table{};
    for (size_t k = 0; k + 1 < table.size(); ++k)
        table[k] = static_cast<float>(std::pow(10.0, -static_cast<double>(k) / AmplitudeSteps / 20.0));
    return table;
}();

// Every part of an attenuation is 0 or more. Without a branch: the index is clamped to the table's.
float amplitudeOf(float attenuation)
{
    constexpr auto Last = static_cast<float>(Amplitudes.size() - 1);
    return Amplitudes[static_cast<uint32_t>(std::min(attenuation * AmplitudeSteps + 0.5f, Last))];
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

// What a channel's registers make of each operator, worked out again after any register write (and
// after a state is read), so that an update only adds, compares and looks up.
struct OperatorSetup {
    uint32_t step;               // the phase step, 2^32 a cycle, wrapping as the phase does
    uint64_t wholeStep;          // the same unwrapped, for the vibrato
    float level;                 // dB: key scaling, and the modulator's level or the channel's volume
    float attack;                // dB an update; a negative value: instant
    float decay, sustainLevel;
    float sustained;             // dB an update while at its sustain level: 0, or a percussive decay
    float release;
    float lowest;                // the lowest output: 0 when half-wave rectified, else -1
    bool vibrato, tremolo;
};

struct ChannelSetup {
    std::array<OperatorSetup, 2> operators;
    float feedbackCycles;        // the modulator's own last two outputs bend its phase this far
};

std::array<ChannelSetup, 6> setups{};
bool setupsStale = true;

void setUpChannels()
{
    const uint8_t* regs = chip().registers.data();
    for (uint32_t k = 0; k < 6; ++k) {
        ChannelSetup& setup = setups[k];
        const uint8_t instrument = regs[0x30 + k] >> 4;
        const uint8_t* patch = instrument == 0 ? regs : Instruments[instrument - 1];
        const uint32_t fnumber = regs[0x10 + k] | (regs[0x20 + k] & 1) << 8;
        const uint32_t octave = (regs[0x20 + k] >> 1) & 7;
        const bool keyOn = (regs[0x20 + k] & 0x10) != 0, channelSustain = (regs[0x20 + k] & 0x20) != 0;
        const uint32_t keyScale = octave << 1 | fnumber >> 8;
        const float pitchOctaves = static_cast<float>(octave) + static_cast<float>(fnumber) / 512.0f;
        setup.feedbackCycles = FeedbackCycles[patch[3] & 7];
        for (uint32_t which = 0; which < 2; ++which) {
            OperatorSetup& op = setup.operators[which];
            const uint8_t traits = patch[which], rates = patch[4 + which], levels = patch[6 + which];
            const uint32_t scale = (traits & 0x10) ? keyScale : keyScale >> 2;
            const uint32_t releaseRate = !keyOn && channelSustain ? 5 : levels & 0x0F;
            op.wholeStep = uint64_t{fnumber << octave} * MultipleHalves[traits & 0x0F] * 4096;
            op.step = static_cast<uint32_t>(op.wholeStep);
            op.level = KeyScaleDbPerOctave[patch[2 + which] >> 6] * std::max(0.0f, pitchOctaves - 1.0f) +
                       (which == 0 ? 0.75f * (patch[2] & 0x3F) : 3.0f * (regs[0x30 + k] & 0x0F));
            op.attack = (rates >> 4) == 15 ? -1.0f : dbPerUpdate(AttackRates, rates >> 4, scale);
            op.decay = dbPerUpdate(DecayRates, rates & 0x0F, scale);
            op.sustainLevel = 3.0f * (levels >> 4);
            op.release = dbPerUpdate(DecayRates, releaseRate, scale);
            op.sustained = (traits & 0x20) ? 0.0f : op.release;  // a percussive sound decays on at the release rate
            op.vibrato = (traits & 0x40) != 0;
            op.tremolo = (traits & 0x80) != 0;
            op.lowest = (patch[3] & (which == 0 ? 0x08 : 0x10)) != 0 ? 0.0f : -1.0f;
        }
    }
    setupsStale = false;
}

[[gnu::always_inline]] inline void updateEnvelope(Vrc7Operator& op, const OperatorSetup& setup)
{
    switch (op.stage) {
    case Attack:
        op.attenuation = setup.attack < 0 ? 0 : op.attenuation - setup.attack;
        if (op.attenuation <= 0) {
            op.attenuation = 0;
            op.stage = Decay;
        }
        break;
    case Decay:
        op.attenuation += setup.decay;
        if (op.attenuation >= setup.sustainLevel) {
            op.attenuation = setup.sustainLevel;
            op.stage = Sustain;
        }
        break;
    case Sustain: op.attenuation += setup.sustained; break;
    case Release: op.attenuation += setup.release; break;
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

// One operator's update: its envelope, its phase, and its output with its phase bent by
// `offsetCycles`; 0 once it is silent (its phase then no longer matters: a key-on restarts it).
[[gnu::always_inline]] inline float updateOperator(Vrc7Operator& op, const OperatorSetup& setup, float offsetCycles, float tremolo, float vibrato)
{
    updateEnvelope(op, setup);
    if (op.stage == Off)
        return 0;
    op.phase += setup.vibrato ? static_cast<uint32_t>(static_cast<uint64_t>(static_cast<double>(setup.wholeStep) * vibrato)) : setup.step;
    const float attenuation = op.attenuation + setup.level + (setup.tremolo ? tremolo : 0.0f);
    const int32_t offsetSteps = static_cast<int32_t>(offsetCycles * 1024.0f + MostOffsetSteps) - static_cast<int32_t>(MostOffsetSteps);
    return std::max(Sine[((op.phase >> 22) + static_cast<uint32_t>(offsetSteps)) & 1023] * amplitudeOf(attenuation), setup.lowest);
}

void update()
{
    Vrc7Sound& c = chip();
    if (setupsStale)
        setUpChannels();
    // The tremolo's 3.7 and the vibrato's 6.4 periods a second, 256 steps each: updates x rate x 256
    // / UpdateRate steps, in 32-bit fractions.
    constexpr auto stepsPerUpdate = [](double rate) { return static_cast<uint64_t>(rate * 256 / UpdateRate * 4294967296.0); };
    const float tremolo = Tremolo[(c.updates * stepsPerUpdate(3.7)) >> 32 & 255];
    const float vibrato = Vibrato[(c.updates * stepsPerUpdate(6.4)) >> 32 & 255];
    ++c.updates;
    // The modulators first, then the carriers: each pass's channels do not wait on one another.
    std::array<bool, 6> sounding{};
    for (uint32_t k = 0; k < 6; ++k) {
        Vrc7Channel& channel = c.channels[k];
        Vrc7Operator& modulator = channel.operators[0];
        sounding[k] = modulator.stage != Off || channel.operators[1].stage != Off;
        if (!sounding[k]) {
            channel.feedback = modulator.output = channel.operators[1].output = 0;  // silent until a key-on
            continue;
        }
        const float lastTwo = modulator.output + channel.feedback;  // the modulator's last two outputs
        channel.feedback = modulator.output;
        modulator.output = updateOperator(modulator, setups[k].operators[0], lastTwo / 2 * setups[k].feedbackCycles, tremolo, vibrato);
    }
    for (uint32_t k = 0; k < 6; ++k) {
        if (!sounding[k])
            continue;
        Vrc7Channel& channel = c.channels[k];
        channel.operators[1].output =
            updateOperator(channel.operators[1], setups[k].operators[1], 2.0f * channel.operators[0].output, tremolo, vibrato);
    }
}

void runTo(uint32_t now)
{
    Vrc7Sound& c = chip();
    const uint32_t updates = stepsSince(c.lastUpdate, UpdateCycles, now);
    if (c.silenced)
        return;
    const bool keyedOff = std::ranges::all_of(c.channels, [](const Vrc7Channel& channel) {
        return channel.operators[0].stage == Off && channel.operators[1].stage == Off;
    });
    if (keyedOff) {  // every operator silent until a key-on: only the clock moves on
        for (Vrc7Channel& channel : c.channels)
            channel.feedback = 0;
        c.updates += updates;
        return;
    }
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
    setupsStale = true;
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
    setupsStale = true;
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
    setupsStale = true;  // a state read brings registers of its own
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
