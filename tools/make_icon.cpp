// Draws Tallowby's application icon from the controller picture of the key-configuration screen:
// the controller cut out of its black surround, scaled to a square of SIZE pixels with its
// surround transparent, and written as an RGBA PNG. Run by the build: make_icon SIZE FILE
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/controller_picture.h"
#include "app/file_io.h"
#include "ppu/frame_buffer.h"
#include "ppu/palette.h"

namespace {

// The part of the picture that shows the controller and its cord.
constexpr uint32_t CropLeft = 20;
constexpr uint32_t CropRight = 235;
constexpr uint32_t CropTop = 0;
constexpr uint32_t CropBottom = 95;
constexpr uint32_t CropWidth = CropRight - CropLeft + 1;
constexpr uint32_t CropHeight = CropBottom - CropTop + 1;
constexpr uint8_t Surround = 0x0D;  // the black the controller lies on

// Which pixels of the cut-out belong to the surround: the black reached from its edges.
std::vector<bool> surroundMask()
{
    std::vector<bool> mask(CropWidth * CropHeight, false);
    std::vector<uint32_t> pending;
    const auto visit = [&](uint32_t x, uint32_t y) {
        const uint32_t at = y * CropWidth + x;
        if (!mask[at] && ControllerPicture[(CropTop + y) * PictureWidth + CropLeft + x] == Surround) {
            mask[at] = true;
            pending.push_back(at);
        }
    };
    for (uint32_t x = 0; x < CropWidth; ++x)
        visit(x, 0), visit(x, CropHeight - 1);
    for (uint32_t y = 0; y < CropHeight; ++y)
        visit(0, y), visit(CropWidth - 1, y);
    while (!pending.empty()) {
        const uint32_t at = pending.back();
        pending.pop_back();
        const uint32_t x = at % CropWidth, y = at / CropWidth;
        if (x > 0) visit(x - 1, y);
        if (x + 1 < CropWidth) visit(x + 1, y);
        if (y > 0) visit(x, y - 1);
        if (y + 1 < CropHeight) visit(x, y + 1);
    }
    return mask;
}

// The icon as RGBA bytes: each icon pixel averages the cut-out's pixels that it covers (weighted
// by how much of each it covers), colours weighted by their opacity so no dark fringe appears.
std::vector<uint8_t> drawIcon(uint32_t size)
{
    const std::vector<bool> surround = surroundMask();
    const double scale = static_cast<double>(size) / CropWidth;  // icon pixels per picture pixel
    const double top = (size - CropHeight * scale) / 2;           // centred from top to bottom
    std::vector<uint8_t> rgba(size * size * 4, 0);
    for (uint32_t iy = 0; iy < size; ++iy)
        for (uint32_t ix = 0; ix < size; ++ix) {
            const double x0 = ix / scale, x1 = (ix + 1) / scale;
            const double y0 = (iy - top) / scale, y1 = (iy + 1 - top) / scale;
            std::array<double, 4> sum{};  // opacity-weighted red, green, blue; opacity
            double area = 0;
            for (auto py = static_cast<int32_t>(std::floor(y0)); py < y1; ++py)
                for (auto px = static_cast<int32_t>(std::floor(x0)); px < x1; ++px) {
                    const double w = (std::min<double>(x1, px + 1) - std::max<double>(x0, px)) *
                                     (std::min<double>(y1, py + 1) - std::max<double>(y0, py));
                    if (w <= 0)
                        continue;
                    area += w;
                    if (py < 0 || py >= static_cast<int32_t>(CropHeight) || px >= static_cast<int32_t>(CropWidth) ||
                        surround[py * CropWidth + px])
                        continue;
                    const uint32_t colour =
                        colourOf(ControllerPicture[(CropTop + py) * PictureWidth + CropLeft + px]);
                    sum[0] += w * (colour >> 16 & 0xFF);
                    sum[1] += w * (colour >> 8 & 0xFF);
                    sum[2] += w * (colour & 0xFF);
                    sum[3] += w;
                }
            uint8_t* out = &rgba[(iy * size + ix) * 4];
            if (sum[3] > 0)
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<uint8_t>(sum[c] / sum[3] + 0.5);
            out[3] = static_cast<uint8_t>(255 * sum[3] / area + 0.5);
        }
    return rgba;
}

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

bool encodePng(uint32_t size, std::vector<uint8_t>& rgba, std::vector<uint8_t>& file)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_bytep> rows(size);
    for (uint32_t y = 0; y < size; ++y)
        rows[y] = &rgba[y * size * 4];
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &file, appendBytes, nullptr);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const long size = argc == 3 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (size < 16 || size > 1024) {
        std::cerr << "Usage: make_icon SIZE FILE   (SIZE from 16 to 1024 pixels)\n";
        return 1;
    }
    std::vector<uint8_t> rgba = drawIcon(static_cast<uint32_t>(size));
    std::vector<uint8_t> file;
    if (!encodePng(static_cast<uint32_t>(size), rgba, file) || !writeFileAtomically(argv[2], file)) {
        std::cerr << "make_icon: " << argv[2] << " could not be written\n";
        return 1;
    }
    return 0;
}
