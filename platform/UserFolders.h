#pragma once

#include <string>
#include <string_view>

namespace strikeline {

// The per-user folders of the program, after the XDG base directory rules:
// data in $XDG_DATA_HOME/Strikeline (default ~/.local/share/Strikeline),
// settings in $XDG_CONFIG_HOME/Strikeline (default ~/.config/Strikeline).
// A relative XDG_* value is ignored, as the rules require.

// The data folder, created (with its parents) when missing; a failure to create it is
// not reported here, the first file operation in it reports it. Empty when the user has
// no home folder at all.
std::string DataFolder();

// The settings file, "settings.reg" in the config folder. The folder is created on demand.
std::string SettingsFilePath();

// The user's config folder itself ($XDG_CONFIG_HOME, default ~/.config), where desktops keep
// their own settings files; empty without a home folder.
std::string UserConfigFolder();

// A file in a folder: "<folder>/<name>", or the bare name (the current folder) when the
// folder is empty, so that a missing home never sends files to the root folder.
std::string PathInFolder(const std::string& folder, std::string_view name);

// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

} // namespace strikeline
