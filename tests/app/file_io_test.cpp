#include "app/file_io.h"
#include "app/user_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "support/harness.h"

namespace fs = std::filesystem;

TEST(FileIo, ReadsOnlyRegularFilesWithinTheLimit)
{
    TempFile file({1, 2, 3, 4});
    const fs::path fifo = file.folder() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    // Path, size limit, then the result and the bytes read.
    const std::tuple<std::string, size_t, FileRead, size_t> cases[] = {
        {file.path(), 4, FileRead::Ok, 4},
        {file.path(), 3, FileRead::TooLarge, 0},
        {(file.folder() / "missing").string(), 4, FileRead::Missing, 0},
        {file.folder().string(), 4, FileRead::NotRegular, 0},
        {fifo.string(), 4, FileRead::NotRegular, 0},  // refused without waiting for a writer
        {"/dev/zero", 4, FileRead::NotRegular, 0},
    };
    for (const auto& [path, limit, expected, size] : cases) {
        std::vector<uint8_t> bytes{9};
        EXPECT_EQ(readRegularFile(path, limit, bytes), expected) << path;
        EXPECT_EQ(bytes.size(), size) << path;
    }
}

TEST(FileIo, WritesAtOnceAndKeepsPermissions)
{
    TempFile file({1, 2, 3});
    ASSERT_EQ(::chmod(file.path().c_str(), 0640), 0);
    const std::vector<uint8_t> replacement{7, 8};
    ASSERT_TRUE(writeFileAtomically(file.path(), replacement));

    std::vector<uint8_t> bytes;
    ASSERT_EQ(readRegularFile(file.path(), 16, bytes), FileRead::Ok);
    EXPECT_EQ(bytes, replacement);
    struct stat info {};
    ASSERT_EQ(::stat(file.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // Where it cannot write, it fails and leaves neither the old file changed nor a temporary one.
    EXPECT_FALSE(writeFileAtomically((file.folder() / "no" / "such").string(), replacement));
    EXPECT_FALSE(writeFileAtomically(file.folder().string(), replacement)) << "a folder is not replaced";
    EXPECT_EQ(std::distance(fs::directory_iterator(file.folder()), fs::directory_iterator{}), 1);
}

// Where keymap.cfg is looked for, from the environment and the working folder's contents.
TEST(UserFiles, TheWorkingFoldersFileElseTheConfigurationFolder)
{
    const TempFile here({0}, "gamepad.cfg");  // the working folder holds a gamepad.cfg only
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(here.folder());
    // $XDG_CONFIG_HOME and $HOME (nullptr: unset), the file's name, and where it is looked for.
    const std::tuple<const char*, const char*, std::string, std::string> cases[] = {
        {"/cfg", "/home/p", "keymap.cfg", "/cfg/tallowby/keymap.cfg"},
        {"cfg", "/home/p", "keymap.cfg", "/home/p/.config/tallowby/keymap.cfg"},  // relative: not valid
        {nullptr, "/home/p", "keymap.cfg", "/home/p/.config/tallowby/keymap.cfg"},
        {nullptr, nullptr, "keymap.cfg", "keymap.cfg"},  // no home at all: the working folder
        {"/cfg", "/home/p", "gamepad.cfg", "gamepad.cfg"},  // already in the working folder
    };
    const auto set = [](const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); };
    for (const auto& [configHome, home, name, expected] : cases) {
        set("XDG_CONFIG_HOME", configHome);
        set("HOME", home);
        EXPECT_EQ(configFilePath(name), expected) << (configHome ? configHome : "-") << " " << name;
    }
    std::filesystem::current_path(before);
}
