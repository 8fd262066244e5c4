// Shared test helpers: iNES images built in the test, a fresh machine, third-party ROM lookup.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cart/cartridge.h"

// An iNES image assembled in memory. PRG bank k (16 KB) and CHR bank k (8 KB) are filled with
// the byte k + 1 unless a test writes something else, so a read tells which bank is mapped.
struct InesImage {
    std::vector<uint8_t> header;
    std::vector<uint8_t> prg;
    std::vector<uint8_t> chr;

    InesImage(uint8_t prgBanks, uint8_t chrBanks, uint8_t flags6 = 0, uint8_t flags7 = 0);

    // Writes `bytes` at CPU address `address` of the last 32 KB of PRG, as NROM maps it at 0x8000-0xFFFF.
    void put(uint32_t address, const std::vector<uint8_t>& bytes);
    // Sets the reset, NMI and IRQ vectors in the last PRG bank.
    void setVectors(uint16_t reset, uint16_t nmi = 0, uint16_t irq = 0);

    std::vector<uint8_t> bytes() const;
};

// A file in a fresh temporary folder, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& contents, const std::string& name = "image.nes");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

// The bytes of a file; empty when it cannot be read.
std::vector<uint8_t> fileBytes(const std::filesystem::path& path);

// Resets every emulated record, then loads `image` through the real loader. The loader's
// console lines go to `console` when given.
LoadResult loadImage(const InesImage& image, std::string* console = nullptr);
LoadResult loadImageBytes(const std::vector<uint8_t>& bytes, std::string* console = nullptr);

// The folder of third-party test ROMs ($TALLOWBY_TEST_ROMS, by default ../shared/roms).
std::filesystem::path testRomFolder();
// A file below that folder, or an empty path when it is not there (the test then skips).
std::filesystem::path findTestRom(const std::string& relative);
// A ROM assembled by the build from tests/roms/NAME.s.
std::filesystem::path builtRom(const std::string& name);
// The bytes of that 32 KB ROM with `mapper` in its header and `variant` at 0xFFF9, where the ROMs
// built for several boards find which one they run on.
std::vector<uint8_t> builtRomFor(const std::string& name, uint16_t mapper, uint8_t variant);

// The tallowby executable of this build.
std::filesystem::path tallowbyBinary();
