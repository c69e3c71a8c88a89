#pragma once
// Replacing a file's contents all at once: the text goes to a temporary file in
// the same folder, is flushed to disk and renamed over the old file, so readers
// see either the old or the new contents and a crash never leaves half a file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// False with `error` filled when the file cannot be written; the folder is
// created when `createFolder` is true and it is missing.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error,
                         bool createFolder = false);

// The whole file, or nothing when it does not exist; `error` is set when it
// exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error = nullptr);

}  // namespace platform
