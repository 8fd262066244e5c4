#include "app/user_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The configuration folder, or an empty path when the environment names none. A relative
// XDG_CONFIG_HOME is not a valid setting and is passed over, as the convention asks.
fs::path configFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/')
        return fs::path(configHome) / "tallowby";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return fs::path(home) / ".config" / "tallowby";
    return {};
}

}  // namespace

std::string configFilePath(const std::string& name)
{
    std::error_code error;
    const fs::path folder = configFolder();
    if (folder.empty() || fs::symlink_status(name, error).type() != fs::file_type::not_found)
        return name;
    return (folder / name).string();
}

std::string makeFolderOf(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        return {};
    // One level at a time, so that each new folder gets the owner-only mode.
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0 || errno == EEXIST)
            continue;
        return "The folder " + partial.string() + " could not be created (" + std::strerror(errno) + ")";
    }
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return "The folder " + folder.string() + " could not be created (" + std::strerror(ENOTDIR) + ")";
    return {};
}

std::string installedDemoPath()
{
    std::error_code error;
    const fs::path binary = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const fs::path demo = binary.parent_path().parent_path() / "share" / "tallowby" / "demo.nes";
    return fs::is_regular_file(demo, error) ? demo.string() : std::string();
}
