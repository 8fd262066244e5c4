#include "app/sound_fifo.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr double FillSmoothing = 1.0 / 32;  // per frame
constexpr uint32_t FifoMask = FifoCapacity - 1;
// The most device samples one frame can give: 882 (a frame at 50 a second) x 1.005 and a rounding.
constexpr uint32_t MaxFrameOutput = 896;

}  // namespace

double resampleRatio(double fill)
{
    const double error = std::clamp((FifoTarget - fill) / RateControlSpan, -1.0, 1.0);
    return 1.0 + MaxRateAdjustment * error;
}

uint32_t fifoFill()
{
    const uint64_t read = soundFifo.readPosition.load(std::memory_order_acquire);
    return static_cast<uint32_t>(soundFifo.writePosition.load(std::memory_order_relaxed) - read);
}

void writeFifo(const int16_t* samples, uint32_t count)
{
    SoundFifo& fifo = soundFifo;
    count = std::min(count, FifoCapacity - FifoLimit);
    const uint64_t write = fifo.writePosition.load(std::memory_order_relaxed);
    uint64_t read = fifo.readPosition.load(std::memory_order_acquire);
    if (write + count - read > FifoLimit) {
        // Drop the oldest samples: move the read position on, unless the callback just did.
        // Keep the target and the new samples, as the fill would be right after a frame on time.
        const uint64_t keepFrom = write - std::min<uint64_t>(FifoTarget, write - read);
        while (read < keepFrom && !fifo.readPosition.compare_exchange_weak(read, keepFrom, std::memory_order_acq_rel))
        {
        }
        if (read < keepFrom) {
            fifo.overruns.fetch_add(1, std::memory_order_relaxed);
            fifo.droppedSamples.fetch_add(keepFrom - read, std::memory_order_relaxed);
        }
    }
    // A callback that copied from the freed places before the drop sees its read position moved
    // and copies again: the release stores (and its acquire loads) make sure that it cannot see
    // a new sample without also seeing the moved position.
    for (uint32_t k = 0; k < count; ++k)
        fifo.samples[(write + k) & FifoMask].store(samples[k], std::memory_order_release);
    fifo.writePosition.store(write + count, std::memory_order_release);
}

void feedSoundDevice(const int16_t* samples, uint32_t count)
{
    RateControl& rc = rateControl;
    const double fill = fifoFill();
    rc.averageFill = rc.started ? rc.averageFill + FillSmoothing * (fill - rc.averageFill) : fill;
    if (!rc.started) {
        rc.started = true;
        rc.phase = 1.0;  // the first output is the first sample
        rc.previous = count > 0 ? samples[0] : 0;
    }
    rc.ratio = resampleRatio(rc.averageFill);

    // Linear interpolation: outputs at stream positions phase, phase + 1/ratio, ... counted from
    // the previous sample; stream sample k of this frame lies at k + 1.
    std::array<int16_t, MaxFrameOutput> out;
    uint32_t made = 0;
    const double step = 1.0 / rc.ratio;
    double position = rc.phase;
    for (uint32_t k = 0; k < count; ++k) {
        const double before = k == 0 ? rc.previous : samples[k - 1];
        while (position <= k + 1.0 && made < out.size()) {
            const double fraction = position - k;
            out[made++] = static_cast<int16_t>(std::lround(before + (samples[k] - before) * fraction));
            position += step;
        }
    }
    if (count > 0) {
        rc.phase = position - count;
        rc.previous = samples[count - 1];
    }
    writeFifo(out.data(), made);

    const uint32_t after = fifoFill();
    ++rc.framesWritten;
    rc.fillSum += after;
    rc.maxFill = std::max(rc.maxFill, after);
}

uint32_t readFifo(int16_t* out, uint32_t count)
{
    SoundFifo& fifo = soundFifo;
    for (;;) {
        uint64_t read = fifo.readPosition.load(std::memory_order_acquire);
        const uint64_t available = fifo.writePosition.load(std::memory_order_acquire) - read;
        const auto taken = static_cast<uint32_t>(std::min<uint64_t>(count, available));
        for (uint32_t k = 0; k < taken; ++k)
            out[k] = fifo.samples[(read + k) & FifoMask].load(std::memory_order_acquire);
        if (fifo.readPosition.compare_exchange_strong(read, read + taken, std::memory_order_acq_rel))
            return taken;
        // The producer dropped old samples meanwhile: copy again from the new position.
    }
}

void takeDeviceSamples(int16_t* out, uint32_t count)
{
    SoundFifo& fifo = soundFifo;
    DeviceOutput& device = deviceOutput;
    uint32_t done = 0;
    if (!device.playing && fifoFill() >= static_cast<uint32_t>(FifoTarget)) {
        device.playing = true;
        device.fadeIn = 0;
    }
    if (device.playing) {
        done = readFifo(out, count);
        for (uint32_t k = 0; k < done && device.fadeIn < FadeSamples; ++k, ++device.fadeIn)
            out[k] = static_cast<int16_t>(out[k] * device.fadeIn / FadeSamples);
        if (done > 0)
            device.lastSample = out[done - 1];
        if (done < count) {
            fifo.underruns.fetch_add(1, std::memory_order_relaxed);
            device.playing = false;
            // Fade from the last sample played to silence instead of jumping there.
            for (int32_t k = 1; k <= FadeSamples && done < count; ++k)
                out[done++] = static_cast<int16_t>(device.lastSample * (FadeSamples - k) / FadeSamples);
            device.lastSample = 0;
        }
    }
    std::fill(out + done, out + count, int16_t{0});
}

void fillAudioStream(uint8_t* stream, int32_t len)
{
    constexpr uint32_t Chunk = 512;
    std::array<int16_t, Chunk> samples;
    int32_t at = 0;
    while (len - at >= 2) {
        const auto count = std::min<uint32_t>(Chunk, static_cast<uint32_t>((len - at) / 2));
        takeDeviceSamples(samples.data(), count);
        for (uint32_t k = 0; k < count; ++k) {
            const auto value = static_cast<uint16_t>(samples[k]);
            stream[at++] = static_cast<uint8_t>(value & 0xFF);
            stream[at++] = static_cast<uint8_t>(value >> 8);
        }
    }
    if (at < len)
        stream[at] = 0;
}

std::string soundReport(double deviceRate)
{
    const RateControl& rc = rateControl;
    std::ostringstream line;
    line << "Sound: " << soundFifo.underruns.load() << " underruns, " << soundFifo.overruns.load() << " overruns";
    if (deviceRate > 0)
        line << "; the device took " << std::lround(deviceRate) << " samples a second";
    if (rc.framesWritten > 0) {
        // A frame's last sample waits for the FIFO ahead of it and for the part of the device's
        // buffer still playing: half a buffer on average, a whole one at most.
        const double meanFill = rc.fillSum / static_cast<double>(rc.framesWritten);
        line << "; the sound trails the picture by " << std::lround((meanFill + DeviceBufferSamples / 2.0) * 1000 / 44100)
             << " ms (at most " << std::lround((rc.maxFill + DeviceBufferSamples) * 1000.0 / 44100) << " ms)";
    }
    line << ".";
    return line.str();
}

void resetSoundFifo()
{
    for (auto& sample : soundFifo.samples)
        sample.store(0, std::memory_order_relaxed);
    soundFifo.writePosition = 0;
    soundFifo.readPosition = 0;
    soundFifo.underruns = 0;
    soundFifo.overruns = 0;
    soundFifo.droppedSamples = 0;
    soundFifo.deviceOpen = false;
    deviceOutput = DeviceOutput{};
    rateControl = RateControl{};
}
