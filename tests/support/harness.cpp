#include "support/harness.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "console/machine.h"

InesImage::InesImage(uint8_t prgBanks, uint8_t chrBanks, uint8_t flags6, uint8_t flags7)
    : header{'N', 'E', 'S', 0x1A, prgBanks, chrBanks, flags6, flags7, 0, 0, 0, 0, 0, 0, 0, 0},
      prg(prgBanks * 16384u), chr(chrBanks * 8192u)
{
    for (size_t i = 0; i < prg.size(); ++i)
        prg[i] = static_cast<uint8_t>(i / 16384 + 1);
    for (size_t i = 0; i < chr.size(); ++i)
        chr[i] = static_cast<uint8_t>(i / 8192 + 1);
}

void InesImage::put(uint32_t address, const std::vector<uint8_t>& bytes)
{
    std::copy(bytes.begin(), bytes.end(), prg.end() - 0x10000 + address);  // the last 32 KB from 0x8000
}

void InesImage::setVectors(uint16_t reset, uint16_t nmi, uint16_t irq)
{
    put(0xFFFA, {static_cast<uint8_t>(nmi), static_cast<uint8_t>(nmi >> 8), static_cast<uint8_t>(reset),
                 static_cast<uint8_t>(reset >> 8), static_cast<uint8_t>(irq), static_cast<uint8_t>(irq >> 8)});
}

std::vector<uint8_t> InesImage::bytes() const
{
    std::vector<uint8_t> all(header);
    all.insert(all.end(), prg.begin(), prg.end());
    all.insert(all.end(), chr.begin(), chr.end());
    return all;
}

TempFile::TempFile(const std::vector<uint8_t>& contents, const std::string& name)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tallowby-test-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    path_ = (folder_ / name).string();
    std::ofstream file(path_, std::ios::binary);
    file.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
}

TempFile::~TempFile()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::vector<uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

LoadResult loadImageBytes(const std::vector<uint8_t>& bytes, std::string* console)
{
    resetMachine();
    std::ostringstream out;
    const LoadResult result = loadCartridgeImage(bytes, out);
    if (console)
        *console = out.str();
    return result;
}

LoadResult loadImage(const InesImage& image, std::string* console) { return loadImageBytes(image.bytes(), console); }

std::filesystem::path testRomFolder()
{
    const char* fromEnvironment = std::getenv("TALLOWBY_TEST_ROMS");
    return (fromEnvironment && *fromEnvironment) ? fromEnvironment : TALLOWBY_DEFAULT_TEST_ROMS;
}

std::filesystem::path findTestRom(const std::string& relative)
{
    const std::filesystem::path path = testRomFolder() / relative;
    return std::filesystem::exists(path) ? path : std::filesystem::path();
}

std::filesystem::path builtRom(const std::string& name)
{
    return std::filesystem::path(TALLOWBY_BUILT_ROMS) / (name + ".nes");
}

std::vector<uint8_t> builtRomFor(const std::string& name, uint16_t mapper, uint8_t variant)
{
    std::vector<uint8_t> image = fileBytes(builtRom(name));
    if (image.size() >= InesHeaderSize + 0x8000) {
        image[6] = static_cast<uint8_t>((image[6] & 0x0F) | (mapper & 0x0F) << 4);
        image[7] = static_cast<uint8_t>((image[7] & 0x0F) | (mapper & 0xF0));
        image[InesHeaderSize + 0x7FF9] = variant;
    }
    return image;
}

std::filesystem::path tallowbyBinary() { return TALLOWBY_BINARY; }
