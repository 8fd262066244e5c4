#include "support/sound_samples.h"

#include <algorithm>
#include <cmath>

#include "support/process.h"

std::vector<int16_t> readSamples(const std::filesystem::path& path, size_t skipBytes, bool stereo)
{
    const std::vector<uint8_t> bytes = fileBytes(path);
    std::vector<int16_t> samples;
    for (size_t at = skipBytes; at + 1 < bytes.size(); at += stereo ? 4 : 2)
        samples.push_back(static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8));
    return samples;
}

Periods measurePeriods(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    to = std::min(to, samples.size());
    if (from >= to)
        return {};
    const auto [low, high] = std::minmax_element(samples.begin() + static_cast<ptrdiff_t>(from),
                                                 samples.begin() + static_cast<ptrdiff_t>(to));
    const double middle = (*low + *high) / 2.0;
    std::vector<double> periods;
    for (size_t k = from + 1, last = 0; k < to; ++k) {
        if (samples[k - 1] < middle && samples[k] >= middle) {
            if (last > 0)
                periods.push_back(static_cast<double>(k - last));
            last = k;
        }
    }
    if (periods.empty())
        return {};
    std::vector<double> sorted = periods;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double median = sorted[sorted.size() / 2];
    Periods result;
    result.count = periods.size();
    double sum = 0;
    for (const double period : periods)
        std::abs(period - median) > 3 ? ++result.irregular : (sum += period, 0);
    result.mean = sum / static_cast<double>(periods.size() - result.irregular);
    return result;
}
