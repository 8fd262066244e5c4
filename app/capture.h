// What a run leaves behind on request: the last frame as PNG and the sound as WAV.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Writes the FrameBuffer (256x240, in the colours of SystemPalette) to `path` as a PNG image.
bool writeScreenshot(const std::string& path);

// The most sample bytes a WAV file can hold: its sizes are 32-bit and count the header's 36 bytes.
constexpr uint32_t WavMaxDataBytes = (0xFFFFFFFFu - 36) & ~1u;

// A mono, signed 16-bit, 44100 Hz WAV file. Each write brings the header up to date, so the file
// is complete whenever and however the program ends.
class WavRecorder {
public:
    bool open(const std::string& path, uint32_t maxDataBytes = WavMaxDataBytes);
    bool isOpen() const { return file_ != nullptr; }
    // Appends samples and rewrites the header's sizes. Once the file is full it takes the samples
    // that fit, closes the file and returns false (also when no file is open).
    bool write(const int16_t* samples, uint32_t count);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    uint32_t dataBytes_ = 0;
    uint32_t maxDataBytes_ = WavMaxDataBytes;
};
