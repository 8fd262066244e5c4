#include "app/capture.h"

#include <png.h>

#include <array>
#include <vector>

#include "app/file_io.h"
#include "app/palette_file.h"
#include "app/player_screen.h"
#include "console/console.h"

namespace {

constexpr uint32_t SampleRate = 44100;
constexpr uint32_t WavHeaderBytes = 44;

// Stores `value` little-endian in `size` bytes at `at`.
void putLittleEndian(std::array<uint8_t, WavHeaderBytes>& header, size_t at, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        header[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::array<uint8_t, WavHeaderBytes> wavHeader(uint32_t dataBytes)
{
    std::array<uint8_t, WavHeaderBytes> header{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                               0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,
                                               0,   0,   0,   0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
    putLittleEndian(header, 4, 36 + dataBytes, 4);
    putLittleEndian(header, 16, 16, 4);              // format chunk size
    putLittleEndian(header, 20, 1, 2);               // PCM
    putLittleEndian(header, 22, 1, 2);               // mono
    putLittleEndian(header, 24, SampleRate, 4);
    putLittleEndian(header, 28, SampleRate * 2, 4);  // bytes per second
    putLittleEndian(header, 32, 2, 2);               // bytes per frame
    putLittleEndian(header, 34, 16, 2);              // bits per sample
    putLittleEndian(header, 40, dataBytes, 4);
    return header;
}

extern "C" void appendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* encoded = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    encoded->insert(encoded->end(), data, data + length);
}

}  // namespace

bool writeScreenshot(const std::string& path)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    const FrameBuffer& shown = shownPicture();
    const LineEmphasis& emphasis = shownEmphasis();
    std::vector<uint8_t> rows(FrameWidth * FrameHeight * 3);
    for (uint32_t i = 0; i < FrameWidth * FrameHeight; ++i) {
        const uint32_t rgb = screenColour(shown[i], emphasis[i / FrameWidth]);
        rows[3 * i] = static_cast<uint8_t>(rgb >> 16);
        rows[3 * i + 1] = static_cast<uint8_t>(rgb >> 8);
        rows[3 * i + 2] = static_cast<uint8_t>(rgb);
    }
    std::array<png_bytep, FrameHeight> rowPointers{};
    for (uint32_t y = 0; y < FrameHeight; ++y)
        rowPointers[y] = &rows[y * FrameWidth * 3];
    // The image is made in memory and then written at once, so a failed write leaves no half file.
    std::vector<uint8_t> encoded;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &encoded, appendPngBytes, nullptr);
    png_set_IHDR(png, info, FrameWidth, FrameHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return writeFileAtomically(path, encoded);
}

bool WavRecorder::open(const std::string& path, uint32_t maxDataBytes)
{
    file_.reset(std::fopen(path.c_str(), "wb"));
    dataBytes_ = 0;
    maxDataBytes_ = maxDataBytes & ~1u;
    if (!file_)
        return false;
    write(nullptr, 0);
    return !std::ferror(file_.get());
}

bool WavRecorder::write(const int16_t* samples, uint32_t count)
{
    if (!file_)
        return false;
    const bool full = count > (maxDataBytes_ - dataBytes_) / 2;
    if (full)
        count = (maxDataBytes_ - dataBytes_) / 2;
    std::vector<uint8_t> bytes;
    bytes.reserve(count * 2);
    for (uint32_t i = 0; i < count; ++i) {
        const auto value = static_cast<uint16_t>(samples[i]);
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    if (!bytes.empty()) {
        std::fseek(file_.get(), static_cast<long>(WavHeaderBytes + dataBytes_), SEEK_SET);
        std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
        dataBytes_ += static_cast<uint32_t>(bytes.size());
    }
    const std::array<uint8_t, WavHeaderBytes> header = wavHeader(dataBytes_);
    std::fseek(file_.get(), 0, SEEK_SET);
    std::fwrite(header.data(), 1, header.size(), file_.get());
    std::fflush(file_.get());
    if (full)
        file_.reset();
    return !full;
}
