// Where the player's own files live, and where an installed program finds what came with it.
#pragma once

#include <string>

// The file `name` (keymap.cfg, gamepad.cfg, ...) to read and to write: the one in the working
// folder when something of that name is there, so that existing setups keep working; otherwise
// `name` in the configuration folder, $XDG_CONFIG_HOME/tallowby (by default ~/.config/tallowby).
// Without either variable it is the working folder's.
std::string configFilePath(const std::string& name);

// Creates the folders that `path` lies in, when missing (new ones readable by the owner alone).
// On failure, returns a line that says which folder could not be made and why; empty on success.
std::string makeFolderOf(const std::string& path);

// The demo cartridge installed with the program: share/tallowby/demo.nes beside the bin folder
// that holds the running binary. Empty when there is none.
std::string installedDemoPath();
