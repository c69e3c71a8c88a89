#pragma once
// The component's own log file: one line per reported error, the local date
// and time, " > ", then the error text.
//
// Threads: the component appends on the main thread; each line goes out in
// one appending write, so another instance writing the same log never splits
// it.

#include <filesystem>
#include <string_view>

#include "platform/clock.h"

namespace modem {

// Appends the line for `errorText` (Windows-1250) to the file, creating it
// when missing; the file is written in UTF-8 with LF line ends. False when the
// file cannot be written.
bool AppendLogLine(const std::filesystem::path& file, std::string_view errorText, platform::SystemTime when);

}  // namespace modem
