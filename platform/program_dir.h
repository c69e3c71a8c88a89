#pragma once
// Where the program keeps its own files ("ReferenceNumbers.ini",
// "manual_out.xls", the INI placement file).
//
// Threads: safe from any thread.

#include <filesystem>

namespace platform {

// The running executable (/proc/self/exe).
std::filesystem::path ProgramFile();

// $XDG_DATA_HOME/talvane (default ~/.local/share/talvane), created on
// demand: one place per user, so the window and talvane-cli share their state
// (one message reference counter) wherever the programs are installed.
// TALVANE_PROGRAM_DIR, when set, overrides it (tests).
std::filesystem::path ProgramDirectory();

// Effective user id 0: the counterpart of membership of the Administrators group.
bool IsAdministrator();

}  // namespace platform
