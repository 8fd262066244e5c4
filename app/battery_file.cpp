#include "app/battery_file.h"

#include <filesystem>
#include <ostream>
#include <vector>

#include "app/file_io.h"
#include "console/console.h"

namespace {

// A change is stored once it is this old, so that a burst of writes makes one file write and a
// crash loses at most this long plus a frame.
constexpr auto StoreDelay = std::chrono::seconds(1);

// Moves a damaged save file to GAME.sav.bad (or GAME.sav.bad2, ... when that exists), never over
// another file. Returns the new name, or an empty string when it could not be moved.
std::string moveAside(const std::string& path)
{
    for (int n = 1; n < 100; ++n) {
        const std::string target = path + ".bad" + (n == 1 ? "" : std::to_string(n));
        std::error_code error;
        if (std::filesystem::symlink_status(target, error).type() != std::filesystem::file_type::not_found)
            continue;
        std::filesystem::rename(path, target, error);
        return error ? std::string() : target;
    }
    return {};
}

void store(BatteryFile& battery, std::ostream& out)
{
    if (writeFileAtomically(battery.path, saveMemory())) {
        markSaveMemorySaved();
        battery.changedSince.reset();
        return;
    }
    if (!battery.reportedUnwritable)
        out << "Cannot write the save file " << battery.path << ": the game goes on, but its progress is not saved.\n"
            << std::flush;
    battery.reportedUnwritable = true;
}

}  // namespace

std::string saveFilePath(const std::string& romPath)
{
    return std::filesystem::path(romPath).replace_extension(".sav").string();
}

void openBatteryFile(BatteryFile& battery, const std::string& romPath, std::ostream& out)
{
    battery = BatteryFile{};
    if (!hasBattery())
        return;
    const std::string path = saveFilePath(romPath);
    std::vector<uint8_t> bytes;
    const size_t size = saveMemory().size();
    const FileRead read = readRegularFile(path, size, bytes);
    if (read == FileRead::Ok && bytes.size() == size) {
        loadSaveMemory(bytes);
        out << "Save memory loaded from " << path << ".\n";
    } else if (read != FileRead::Missing) {
        const std::string problem = read == FileRead::Ok || read == FileRead::TooLarge
                                        ? "is not " + std::to_string(size) + " bytes long"
                                        : "cannot be read";
        const std::string moved = moveAside(path);
        if (moved.empty()) {
            out << "The save file " << path << " " << problem
                << " and cannot be moved aside: the game starts with empty save memory and is not saved.\n";
            return;
        }
        out << "The save file " << path << " " << problem << ": moved to " << moved
            << "; the game starts with empty save memory.\n";
    }
    battery.path = path;
}

void checkBatteryFile(BatteryFile& battery, std::chrono::steady_clock::time_point now, std::ostream& out)
{
    if (battery.path.empty())
        return;
    if (!battery.changedSince) {
        if (saveMemoryChanged())
            battery.changedSince = now;
    } else if (now - *battery.changedSince >= StoreDelay) {
        store(battery, out);
        if (battery.changedSince)  // not stored: try again a second later
            battery.changedSince = now;
    }
}

void closeBatteryFile(BatteryFile& battery, std::ostream& out)
{
    if (!battery.path.empty() && saveMemoryChanged())
        store(battery, out);
}
