#pragma once
// Where the program keeps its own files ("ReferenceNumbers.ini",
// "manual_out.xls", the INI placement file).
//
// Threads: safe from any thread.

#include <filesystem>

namespace platform {

// The running executable (/proc/self/exe).
std::filesystem::path ProgramFile();

// The executable's folder when it is writable (a build tree, a portable
// install); otherwise $XDG_DATA_HOME/talvane (default ~/.local/share/talvane),
// created on demand. TALVANE_PROGRAM_DIR, when set, overrides both (tests).
std::filesystem::path ProgramDirectory();

// Effective user id 0: the counterpart of membership of the Administrators group.
bool IsAdministrator();

}  // namespace platform
