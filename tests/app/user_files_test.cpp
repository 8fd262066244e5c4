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
    const struct {
        const char* configHome;  // nullptr: unset
        const char* home;
        std::string name;
        std::string expected;
    } cases[] = {
        {"/cfg", "/home/p", "keymap.cfg", "/cfg/tallowby/keymap.cfg"},
        {"cfg", "/home/p", "keymap.cfg", "/home/p/.config/tallowby/keymap.cfg"},  // relative: not valid
        {nullptr, "/home/p", "keymap.cfg", "/home/p/.config/tallowby/keymap.cfg"},
        {nullptr, nullptr, "keymap.cfg", "keymap.cfg"},  // no home at all: the working folder
        {"/cfg", "/home/p", "gamepad.cfg", "gamepad.cfg"},  // already in the working folder
    };
    for (const auto& c : cases) {
        const auto set = [](const char* name, const char* value) {
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        };
        set("XDG_CONFIG_HOME", c.configHome);
        set("HOME", c.home);
        EXPECT_EQ(configFilePath(c.name), c.expected) << (c.configHome ? c.configHome : "-") << " " << c.name;
    }
    std::filesystem::current_path(before);
}
