// The VRC7's FM channels, updated 49,716 times a second (every 36 CPU cycles), the six channels at
// once. Each operator's phase (2^32 a cycle) steps by F-number x 2^octave x multiple x 2^13; its
// output is the sine of its phase (the carrier's bent by the modulator's output, the modulator's by
// its own last two with the feedback), at the attenuation of its envelope, level and key scaling, and
// the tremolo. Choices where the chip's documentation stops: a full modulator bends the carrier by
// two cycles (feedback 7 the modulator by two), envelope rates halve the time with each step as in
// the OPL family (48 dB of decay at rate 1 take 19.6 s, an attack at rate 1 2.8 s), the envelopes
// move in steps every 8 updates (the chip's move in steps too), tremolo 4.8 dB deep, vibrato 0.7 %
// wide, and a channel's full sine swings 34 console level steps each way: so a pseudo-square (a 2:1
// modulator at 24 dB, full feedback) is 4.2 times as loud as a console square at 15, the chip's
// measured level.
#include "apu/vrc7_sound.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
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

Vrc7Sound& chip() { return apu.expansion.vrc7; }

// The envelopes move every EnvelopeTick updates (6,215 times a second; the tremolo and vibrato with
// them), each step that many updates' worth.
constexpr uint32_t EnvelopeTick = 8;

// dB a tick at a rate index 4 x rate + key scale (0-63): 48 dB take `seconds` at rate 1 (index 4),
// half as long each rate step.
std::array<float, 64> ratesFor(double seconds)
{
    std::array<float, 64> table{};
    for (size_t index = 4; index < table.size(); ++index)
        table[index] = static_cast<float>(Silent * EnvelopeTick / (seconds * std::pow(2.0, -(static_cast<double>(index) / 4.0 - 1.0)) * UpdateRate));
    return table;
}
const std::array<float, 64> AttackRates = ratesFor(2.826);
const std::array<float, 64> DecayRates = ratesFor(19.64);

float dbPerTick(const std::array<float, 64>& rates, uint32_t rate, uint32_t keyScale)
{
    return rate == 0 ? 0.0f : rates[std::min(4 * rate + keyScale, 63u)];
}

// One period of the tremolo (4.8 dB deep) and of the vibrato (0.7 % wide), in 256 steps.
constexpr float VibratoDepth = 0.007f;
const std::array<float, 256> Tremolo = [] {
    std::array<float, 256> table{};
    for (size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<float>(4.8 * (1 - std::cos(2 * std::numbers::pi * static_cast<double>(k) / 256)) / 2);
    return table;
}();
const std::array<float, 256> Vibrato = [] {
    std::array<float, 256> table{};
    for (size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<float>(std::sin(2 * std::numbers::pi * static_cast<double>(k) / 256));
    return table;
}();

// The feedback's reach in cycles, for feedback 1-7.
constexpr std::array<float, 8> FeedbackCycles = {0, 1.0f / 32, 1.0f / 16, 1.0f / 8, 1.0f / 4, 1.0f / 2, 1, 2};

// Four lanes worked on at once (the compiler's vector extension: SSE, NEON or plain code), the eight
// in two groups.
constexpr uint32_t Width = 4;
using Floats = float __attribute__((vector_size(4 * Width)));
using Ints = int32_t __attribute__((vector_size(4 * Width)));
using Uints = uint32_t __attribute__((vector_size(4 * Width)));
template <typename T>
using Lanes = std::array<T, Vrc7Lanes>;

template <typename Group, typename T>
Group groupOf(const Lanes<T>& values, uint32_t group)
{
    Group lanes;
    std::memcpy(&lanes, values.data() + group * Width, sizeof lanes);
    return lanes;
}

template <typename Group, typename T>
void keep(Lanes<T>& values, uint32_t group, Group lanes)
{
    std::memcpy(values.data() + group * Width, &lanes, sizeof lanes);
}

Floats absolute(Floats x) { return reinterpret_cast<Floats>(reinterpret_cast<Ints>(x) & 0x7FFFFFFF); }

// A phase's sine times an amplitude, the sine within 0.0011 of its peak: a parabola through its zeros
// and peaks (the bow), bent towards the sine: bow x (3.1 + 3.6 |bow|). The amplitude's product is
// taken beside the bend's, so that an output waits on as few steps as can be: an update's modulator
// waits on the last one's.
Floats sineTimes(Uints phase, Floats amplitude)
{
    const Floats x = __builtin_convertvector(reinterpret_cast<Ints>(phase), Floats) * (1.0f / 2147483648.0f);  // -1 to 1
    const Floats bow = x * (1.0f - absolute(x));
    return (bow * (amplitude * 3.6f)) * (3.1f / 3.6f + absolute(bow));
}

// An attenuation's amplitude (1 at 0 dB; 0 from 48 dB, silence): 2 to the power of -dB / 6.02, its
// fraction's within 0.014 %.
Floats amplitudeOf(Floats db)
{
    const Floats power = 16.0f - db * static_cast<float>(std::numbers::ln10 / 20 / std::numbers::ln2);  // 2^-16 x 2^power
    const Ints whole = __builtin_convertvector(power, Ints);
    const Floats f = power - __builtin_convertvector(whole, Floats);
    const Floats fraction = 1.0f + f * (0.69592847f + f * (0.22494631f + f * 0.07912522f));
    const Floats amplitude = reinterpret_cast<Floats>(reinterpret_cast<Ints>(fraction) + ((whole - 16) << 23));
    return db < Silent ? amplitude : 0.0f;
}

Floats largerOf(Floats a, Floats b) { return a > b ? a : b; }

bool anyLane(Ints mask)
{
    std::array<uint64_t, 2> halves;
    std::memcpy(halves.data(), &mask, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// What the channels' registers make of the operators of one kind, lane by lane, worked out again
// after any register write (and after a state is read); and what the envelope, the tremolo and the
// vibrato make of them, worked out at each envelope tick. An update in between only adds, multiplies
// and compares.
struct OperatorSetup {
    alignas(16) Lanes<uint32_t> step;      // the phase step, 2^32 a cycle, wrapping as the phase does
    alignas(16) Lanes<float> vibratoReach; // the step unwrapped x the vibrato's width; 0 without vibrato
    alignas(16) Lanes<float> level;        // dB: key scaling, and the modulator's level or the channel's volume
    alignas(16) Lanes<float> tremoloShare; // 1 with tremolo, else 0
    alignas(16) Lanes<float> lowest;       // the lowest output: 0 when half-wave rectified, else -1
    alignas(16) Lanes<float> delta;        // the envelope: dB a tick in its stage,
    alignas(16) Lanes<float> upper, lower; // and the attenuations past which its stage ends
    Lanes<float> attack;                   // dB a tick; a negative value: instant
    Lanes<float> decay, sustainLevel;
    Lanes<float> sustained;                // dB a tick while at its sustain level: 0, or a percussive decay
    Lanes<float> release;
    alignas(16) Lanes<uint32_t> stepNow;   // the step with the vibrato of the last tick
    alignas(16) Lanes<float> amplitude;    // of the last tick
};

OperatorSetup modulatorSetup{}, carrierSetup{};
alignas(16) Lanes<float> feedbackReach{};  // the sum of a modulator's last two outputs x this: its phase's bend, 2^-24 cycles
uint32_t soundingChannels = 0;   // a bit a channel with an operator not Off
bool setupsStale = true;

constexpr float Never = 1e9f;

// A lane's envelope bounds in its stage.
void enterStage(OperatorSetup& setup, const Vrc7Operators& ops, uint32_t lane)
{
    float delta = 0, upper = Never, lower = -Never;
    switch (ops.stage[lane]) {
    case Attack:
        delta = setup.attack[lane] < 0 ? -Never : -setup.attack[lane];
        lower = 0;
        break;
    case Decay:
        delta = setup.decay[lane];
        upper = setup.sustainLevel[lane];
        break;
    case Sustain:
        delta = setup.sustained[lane];
        upper = Silent;
        break;
    case Release:
        delta = setup.release[lane];
        upper = Silent;
        break;
    default: break;
    }
    setup.delta[lane] = delta;
    setup.upper[lane] = upper;
    setup.lower[lane] = lower;
}

// The envelopes of one kind a tick on: a lane past its stage's bound enters the next stage. Whether
// one did.
bool tickEnvelopes(OperatorSetup& setup, Vrc7Operators& ops)
{
    Ints ended{};
    for (uint32_t group = 0; group < Vrc7Lanes / Width; ++group) {
        const Floats attenuation = groupOf<Floats>(ops.attenuation, group) + groupOf<Floats>(setup.delta, group);
        keep(ops.attenuation, group, attenuation);
        ended |= (attenuation >= groupOf<Floats>(setup.upper, group)) | (attenuation <= groupOf<Floats>(setup.lower, group));
    }
    if (!anyLane(ended))
        return false;
    for (uint32_t lane = 0; lane < Vrc7Lanes; ++lane) {
        if (ops.attenuation[lane] < setup.upper[lane] && ops.attenuation[lane] > setup.lower[lane])
            continue;
        switch (ops.stage[lane]) {
        case Attack: ops.attenuation[lane] = 0; ops.stage[lane] = Decay; break;
        case Decay: ops.attenuation[lane] = setup.sustainLevel[lane]; ops.stage[lane] = Sustain; break;
        default: ops.attenuation[lane] = Silent; ops.stage[lane] = Off; break;
        }
        enterStage(setup, ops, lane);
    }
    return true;
}

// The tremolo's 3.7 and the vibrato's 6.4 periods a second, 256 steps each: updates x rate x 256 /
// UpdateRate steps, in 32-bit fractions.
constexpr uint64_t stepsPerUpdate(double rate) { return static_cast<uint64_t>(rate * 256 / UpdateRate * 4294967296.0); }

// Each operator's step and amplitude as the envelope, the tremolo and the vibrato leave them at the
// last tick (so that they are the same however the updates since were reached).
void refreshDrives()
{
    Vrc7Sound& c = chip();
    const uint32_t tick = c.updates / EnvelopeTick * EnvelopeTick;
    const float tremolo = Tremolo[(tick * stepsPerUpdate(3.7)) >> 32 & 255];
    const float vibrato = Vibrato[(tick * stepsPerUpdate(6.4)) >> 32 & 255];
    for (auto [setup, ops] : {std::pair(&modulatorSetup, &c.modulators), std::pair(&carrierSetup, &c.carriers)}) {
        for (uint32_t group = 0; group < Vrc7Lanes / Width; ++group) {
            const Ints vibratoSteps = __builtin_convertvector(groupOf<Floats>(setup->vibratoReach, group) * vibrato, Ints);
            keep(setup->stepNow, group, groupOf<Uints>(setup->step, group) + reinterpret_cast<Uints>(vibratoSteps));
            const Floats db = groupOf<Floats>(ops->attenuation, group) + groupOf<Floats>(setup->level, group) +
                              groupOf<Floats>(setup->tremoloShare, group) * tremolo;
            keep(setup->amplitude, group, amplitudeOf(db));
        }
    }
}

// Which channels sound; the outputs of those gone silent cleared.
void noteSounding()
{
    Vrc7Sound& c = chip();
    soundingChannels = 0;
    for (uint32_t k = 0; k < 6; ++k) {
        if (c.modulators.stage[k] != Off || c.carriers.stage[k] != Off)
            soundingChannels |= 1u << k;
        else
            c.feedback[k] = c.modulators.output[k] = c.carriers.output[k] = 0;  // silent until a key-on
    }
}

void setUpChannels()
{
    const uint8_t* regs = chip().registers.data();
    for (uint32_t k = 0; k < 6; ++k) {
        const uint8_t instrument = regs[0x30 + k] >> 4;
        const uint8_t* patch = instrument == 0 ? regs : Instruments[instrument - 1];
        const uint32_t fnumber = regs[0x10 + k] | (regs[0x20 + k] & 1) << 8;
        const uint32_t octave = (regs[0x20 + k] >> 1) & 7;
        const bool keyOn = (regs[0x20 + k] & 0x10) != 0, channelSustain = (regs[0x20 + k] & 0x20) != 0;
        const uint32_t keyScale = octave << 1 | fnumber >> 8;
        const float pitchOctaves = static_cast<float>(octave) + static_cast<float>(fnumber) / 512.0f;
        feedbackReach[k] = FeedbackCycles[patch[3] & 7] / 2 * 16777216.0f;
        for (uint32_t which = 0; which < 2; ++which) {
            OperatorSetup& op = which == 0 ? modulatorSetup : carrierSetup;
            const uint8_t traits = patch[which], rates = patch[4 + which], levels = patch[6 + which];
            const uint32_t scale = (traits & 0x10) ? keyScale : keyScale >> 2;
            const uint32_t releaseRate = !keyOn && channelSustain ? 5 : levels & 0x0F;
            const uint64_t wholeStep = uint64_t{fnumber << octave} * MultipleHalves[traits & 0x0F] * 4096;
            op.step[k] = static_cast<uint32_t>(wholeStep);
            op.vibratoReach[k] = (traits & 0x40) ? static_cast<float>(wholeStep) * VibratoDepth : 0.0f;
            op.level[k] = KeyScaleDbPerOctave[patch[2 + which] >> 6] * std::max(0.0f, pitchOctaves - 1.0f) +
                          (which == 0 ? 0.75f * (patch[2] & 0x3F) : 3.0f * (regs[0x30 + k] & 0x0F));
            op.tremoloShare[k] = (traits & 0x80) ? 1.0f : 0.0f;
            op.lowest[k] = (patch[3] & (which == 0 ? 0x08 : 0x10)) != 0 ? 0.0f : -1.0f;
            op.attack[k] = (rates >> 4) == 15 ? -1.0f : dbPerTick(AttackRates, rates >> 4, scale);
            op.decay[k] = dbPerTick(DecayRates, rates & 0x0F, scale);
            op.sustainLevel[k] = 3.0f * (levels >> 4);
            op.release[k] = dbPerTick(DecayRates, releaseRate, scale);
            op.sustained[k] = (traits & 0x20) ? 0.0f : op.release[k];  // a percussive sound decays on at the release rate
        }
    }
    for (uint32_t lane = 0; lane < Vrc7Lanes; ++lane) {
        enterStage(modulatorSetup, chip().modulators, lane);
        enterStage(carrierSetup, chip().carriers, lane);
    }
    setupsStale = false;
    refreshDrives();
    noteSounding();
}

// The largest bend of a phase, 2 cycles, is 2^25 in units of 2^-24 cycles; those units x 2^8 are the
// phase's.
constexpr float FullModulation = 2 * 16777216.0f;
Uints bend(Floats units) { return reinterpret_cast<Uints>(__builtin_convertvector(units, Ints)) << 8; }

void update()
{
    Vrc7Sound& c = chip();
    if (c.updates % EnvelopeTick == 0) {
        const bool modulatorsMoved = tickEnvelopes(modulatorSetup, c.modulators);
        const bool carriersMoved = tickEnvelopes(carrierSetup, c.carriers);
        refreshDrives();
        if (modulatorsMoved || carriersMoved)
            noteSounding();
    }
    ++c.updates;
    for (uint32_t group = 0; group < Vrc7Lanes / Width; ++group) {
        const auto floats = [group](const Lanes<float>& values) { return groupOf<Floats>(values, group); };
        const Floats lastModulation = floats(c.modulators.output);
        const Floats lastTwo = lastModulation + floats(c.feedback);  // each modulator's last two outputs
        keep(c.feedback, group, lastModulation);
        const Uints modulatorPhase = groupOf<Uints>(c.modulators.phase, group) + groupOf<Uints>(modulatorSetup.stepNow, group);
        keep(c.modulators.phase, group, modulatorPhase);
        const Floats modulation =
            largerOf(sineTimes(modulatorPhase + bend(lastTwo * floats(feedbackReach)), floats(modulatorSetup.amplitude)), floats(modulatorSetup.lowest));
        keep(c.modulators.output, group, modulation);
        const Uints carrierPhase = groupOf<Uints>(c.carriers.phase, group) + groupOf<Uints>(carrierSetup.stepNow, group);
        keep(c.carriers.phase, group, carrierPhase);
        const Floats carrier =
            largerOf(sineTimes(carrierPhase + bend(modulation * FullModulation), floats(carrierSetup.amplitude)), floats(carrierSetup.lowest));
        keep(c.carriers.output, group, carrier);
    }
}

void runTo(uint32_t now)
{
    Vrc7Sound& c = chip();
    const uint32_t updates = stepsSince(c.lastUpdate, UpdateCycles, now);
    if (c.silenced)
        return;
    if (setupsStale)
        setUpChannels();
    if (soundingChannels == 0) {  // every operator silent until a key-on: only the clock moves on
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
    float sum = 6.0f;
    if (!c.silenced)
        for (uint32_t k = 0; k < 6; ++k)
            sum += c.carriers.output[k];
    return static_cast<int32_t>(sum * ChannelUnits + 0.5f);
}

void keyChanged(uint32_t k, bool on)
{
    for (Vrc7Operators* ops : {&chip().modulators, &chip().carriers}) {
        if (on) {
            ops->stage[k] = Attack;
            ops->phase[k] = 0;
        } else if (ops->stage[k] != Off) {
            ops->stage[k] = Release;
        }
    }
}

}  // namespace

const ExpansionSound Vrc7ExpansionSound{levelAt, 12 * ChannelUnits, [] { return true; }};

void startVrc7Sound()
{
    chip() = Vrc7Sound{};
    setupsStale = true;
    chip().modulators.attenuation.fill(Silent);
    chip().carriers.attenuation.fill(Silent);
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
    for (uint32_t k = 0; k < 6; ++k) {
        for (Vrc7Operators* ops : {&state.modulators, &state.carriers}) {
            io.field(ops->phase[k]);
            io.field(ops->stage[k], Off, Release);
            floatField(io, ops->attenuation[k]);
            floatField(io, ops->output[k]);
            io.check(ops->attenuation[k] >= 0 && ops->attenuation[k] <= Silent && ops->output[k] >= -1 && ops->output[k] <= 1);
        }
        floatField(io, state.feedback[k]);
        io.check(state.feedback[k] >= -1 && state.feedback[k] <= 1);
    }
    for (uint32_t lane = 6; lane < Vrc7Lanes; ++lane)  // the unused lanes, silent as from power-on
        state.modulators.attenuation[lane] = state.carriers.attenuation[lane] = Silent;
    io.field(state.updates);
    io.field(state.lastUpdate);
}
static_assert(fieldCount<Vrc7Sound>() == 8 && fieldCount<Vrc7Operators>() == 4,
              "a Vrc7Sound field is missing from vrc7SoundFields");
