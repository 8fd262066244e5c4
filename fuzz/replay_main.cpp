// Replays saved inputs through a fuzz target without libFuzzer: every file named on the command
// line, or found in a folder named there, is fed to LLVMFuzzerTestOneInput once. A sanitizer
// report or a crash ends the program; otherwise it prints how many inputs ran.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr size_t MaxInputBytes = 4 * 1024 * 1024;

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (std::filesystem::is_directory(argv[i], error)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (std::filesystem::exists(argv[i], error)) {
            files.emplace_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());

    std::vector<uint8_t> bytes;
    for (const auto& file : files) {
        if (readRegularFile(file.string(), MaxInputBytes, bytes) != FileRead::Ok) {
            std::cerr << "Cannot read " << file.string() << "\n";
            return 1;
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::cout << files.size() << " inputs replayed\n";
    return files.empty() ? 1 : 0;
}
