#pragma once
// The user's folders after the XDG base directory rules.
//
// Threads: safe from any thread (reads the environment, which the program does
// not change while running).

#include <filesystem>

namespace platform {

// $HOME, or the home folder of the user database when HOME is not set.
std::filesystem::path HomeDirectory();
// $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
std::filesystem::path ConfigHome();
// $XDG_DATA_HOME when it is an absolute path, otherwise ~/.local/share.
std::filesystem::path DataHome();
// The user's documents folder, where files the user asked for go: the
// XDG_DOCUMENTS_DIR entry of $XDG_CONFIG_HOME/user-dirs.dirs (what
// `xdg-user-dir DOCUMENTS` prints) when that folder exists, otherwise the
// home folder.
std::filesystem::path DocumentsDirectory();

}  // namespace platform
