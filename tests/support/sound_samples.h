// The samples of a sound recording and the periods of the wave they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

// Little-endian 16-bit samples from `skipBytes` on (44 for a WAV file's header); every other one
// when `stereo` (SDL may give the device two identical channels).
std::vector<int16_t> readSamples(const std::filesystem::path& path, size_t skipBytes, bool stereo = false);

// The wave periods (between rises through the middle level) in [from, to): the mean of those
// within 3 samples of the median, how many were not (a repeated or missing stretch, a gap), and
// how many there were in all.
struct Periods {
    double mean = 0;
    size_t irregular = 0;
    size_t count = 0;
};

Periods measurePeriods(const std::vector<int16_t>& samples, size_t from, size_t to);
