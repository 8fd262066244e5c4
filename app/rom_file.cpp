#include "app/rom_file.h"

#include <filesystem>
#include <ostream>
#include <vector>

#include "app/file_io.h"
#include "console/console.h"

LoadResult loadRomFile(const std::string& path, std::ostream& out)
{
    out << "Loading ROM: " << path << "\n";
    std::vector<uint8_t> image;
    switch (readRegularFile(path, MaxImageBytes, image)) {
    case FileRead::Ok:
        return insertCartridge(image, out);
    case FileRead::NotRegular:
        out << "Not a ROM file: a folder, FIFO, device or socket cannot be loaded.\n";
        return LoadResult::NotAFile;
    case FileRead::TooLarge:
        out << "The file is larger than any valid iNES image (" << MaxImageBytes << " bytes).\n";
        return LoadResult::NotAFile;
    case FileRead::Missing:
    case FileRead::Unreadable:
        break;
    }
    out << "File does not exist!\n";
    return LoadResult::FileMissing;
}

Region chosenRegion(const std::string& setting, const std::string& path)
{
    if (setting == "pal")
        return Region::Pal;
    if (setting == "dendy")
        return Region::Dendy;
    if (setting == "ntsc")
        return Region::Ntsc;
    if (const std::optional<Region> named = headerRegion())
        return *named;
    const std::string name = std::filesystem::path(path).filename().string();
    for (const char* tag : {"(E)", "(Europe)", "(PAL)"})
        if (name.find(tag) != std::string::npos)
            return Region::Pal;
    return Region::Ntsc;
}
