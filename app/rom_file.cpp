#include "app/rom_file.h"

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
