#include "app/state_files.h"

#include <ctime>
#include <iostream>
#include <vector>

#include "app/capture.h"
#include "app/file_io.h"
#include "app/movie.h"
#include "app/session.h"
#include "console/save_state.h"

namespace {

// Why reading a state file failed, or empty when it was read and loaded.
std::string readAndLoad(const std::string& path, FileRead& read)
{
    std::vector<uint8_t> bytes;
    read = readRegularFile(path, MaxStateBytes, bytes);
    if (read == FileRead::TooLarge)
        return std::string(refusalText(StateLoad::Damaged));
    if (read != FileRead::Ok)
        return "cannot be read";
    const StateLoad result = loadState(bytes);
    return result == StateLoad::Loaded ? "" : std::string(refusalText(result));
}

}  // namespace

std::string saveSlot(const std::string& romPath, int32_t slot)
{
    static bool toldFallback = false;
    const std::string name = "State " + std::to_string(slot);
    const std::vector<uint8_t> state = saveState();
    if (writeFileAtomically(stateFilePath(romPath, slot), state))
        return name + " saved";
    const std::string fallback = fallbackStateFilePath(romPath, slot);
    if (!writeFileAtomically(fallback, state))
        return name + " could not be saved";
    if (!toldFallback) {
        std::cout << "The ROM's folder cannot be written: states are saved in the working folder.\n";
        toldFallback = true;
    }
    return name + " saved";
}

std::string loadSlot(const std::string& romPath, int32_t slot)
{
    const std::string name = "State " + std::to_string(slot);
    FileRead read = FileRead::Missing;
    std::string why = readAndLoad(stateFilePath(romPath, slot), read);
    if (read == FileRead::Missing)
        why = readAndLoad(fallbackStateFilePath(romPath, slot), read);
    if (read == FileRead::Missing)
        return "No state in slot " + std::to_string(slot);
    return why.empty() ? name + " loaded" : name + " " + why;
}

std::string takeScreenshot(const std::string& romPath)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return writeScreenshot(stampedFileName(romPath, local, ".png")) ? "Screenshot saved" : "Screenshot could not be saved";
}

std::string toggleMovie(const std::string& romPath)
{
    if (movie.recording()) {
        movie.stop();
        return "Movie saved";
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string path = stampedFileName(romPath, local, ".txt");
    // Past the first frame the movie starts from a state of its own, saved beside it.
    const std::string state = framesRun() > 0 ? stampedFileName(romPath, local, ".state") : "";
    if (!state.empty() && !saveStateFile(state).empty())
        return "The movie's state could not be written";
    return movie.start(path, state) ? "Recording " + path : "The movie could not be written";
}

std::string loadStateFile(const std::string& path)
{
    FileRead read = FileRead::Missing;
    const std::string why = readAndLoad(path, read);
    if (read == FileRead::Missing)
        return "The state file " + path + " does not exist.";
    return why.empty() ? "" : "The state file " + path + " " + why + ".";
}

std::string saveStateFile(const std::string& path)
{
    return writeFileAtomically(path, saveState()) ? "" : "Cannot write the state file " + path + ".";
}
