// Where the program keeps per-user state: the configuration and data folders of the desktop.
#pragma once

#include <string>

// The program's configuration folder, "$XDG_CONFIG_HOME/vostrel" (default "~/.config/vostrel").
// The folder is not created here. Callable from any thread.
std::string GetUserConfigDir();

// The user's data home, "$XDG_DATA_HOME" (default "~/.local/share"), without a trailing "/".
// Callable from any thread.
std::string GetUserDataHome();

// The user's home folder: $HOME, else the password database entry. Callable from any thread.
std::string GetUserHomeDir();

// Creates a folder and its missing parents with the given mode; true when it exists afterwards.
// Callable from any thread.
bool MakeDirectories(const std::string& path, unsigned mode);
