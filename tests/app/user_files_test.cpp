#include "app/user_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/harness.h"

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
