#include "app/palette_file.h"

#include <array>
#include <vector>

#include "app/file_io.h"
#include "ppu/palette.h"

namespace {

constexpr size_t Triplets = 64, EmphasisTriplets = 8 * 64;

std::array<uint32_t, EmphasisTriplets> chosen{};
size_t chosenCount = 0;  // 0: the console's own colours

}  // namespace

std::string loadPaletteFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    switch (readRegularFile(path, 3 * EmphasisTriplets, bytes)) {
    case FileRead::Ok: break;
    case FileRead::TooLarge: return "The palette " + path + " is not a palette file: it is larger than 1536 bytes.";
    case FileRead::NotRegular: return "The palette " + path + " is not a file: a folder, FIFO, device or socket.";
    case FileRead::Missing:
    case FileRead::Unreadable: return "Cannot read the palette " + path + ".";
    }
    if (bytes.size() != 3 * Triplets && bytes.size() != 3 * EmphasisTriplets)
        return "The palette " + path + " is not a palette file: it holds " + std::to_string(bytes.size()) +
               " bytes, not 192 (64 colours) or 1536 (512).";
    chosenCount = bytes.size() / 3;
    for (size_t k = 0; k < chosenCount; ++k)
        chosen[k] = static_cast<uint32_t>(bytes[3 * k] << 16 | bytes[3 * k + 1] << 8 | bytes[3 * k + 2]);
    return {};
}

void forgetPaletteFile() { chosenCount = 0; }

uint32_t screenColour(uint8_t index, uint8_t emphasis)
{
    if (chosenCount == 0 || index == 64 || index == 65)
        return colourOf(index, emphasis);
    const uint32_t colour = index % 64;
    return chosenCount == EmphasisTriplets ? chosen[(emphasis & 7) * 64u + colour] : emphasised(chosen[colour], emphasis);
}
