#pragma once
// The one way the program reads a file whole (the workbook, the settings
// store, INI files), and appends to one (the component log). Every call goes
// through platform::FileSystem(). Safe from any thread.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The whole file, or nothing when it does not exist or cannot be read;
// `error` ("<path>: <reason>") is set when it exists but cannot be read. Only
// a regular file is read (a folder or a pipe is an error, and never blocks).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error = nullptr);
// The same as bytes (workbooks).
std::optional<std::vector<std::uint8_t>> ReadWholeFileBytes(const std::filesystem::path& path,
                                                            std::string* error = nullptr);

// The last byte of the file; nothing when it is empty, missing or unreadable.
std::optional<char> LastByteOfFile(const std::filesystem::path& path);

// Appends `text` at the end of the file, which is created when missing.
// False with `error` set when not all of it could be written.
bool AppendToFile(const std::filesystem::path& path, std::string_view text, std::string* error = nullptr);

}  // namespace platform
