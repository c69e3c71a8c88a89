#pragma once
// INI files as the Windows profile functions see them: sections and keys
// compare without regard to case; writing a key keeps every other section,
// key, comment and blank line of the file as it was. Save() rewrites the file
// atomically (temporary file in the same folder, then rename).
//
// Threads: an IniFile object belongs to one thread at a time; the file itself
// may be read and saved from any thread (each Save replaces it whole).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
 public:
  // Loads the file when it exists; a missing file is an empty INI file.
  explicit IniFile(std::filesystem::path path);

  const std::filesystem::path& Path() const { return path_; }
  bool Existed() const { return existed_; }  // the file was there when loaded

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The leading decimal integer of the value (as the profile functions read
  // it), or `fallback` when the key is missing or holds no number.
  long long ReadInteger(std::string_view section, std::string_view key, long long fallback) const;
  bool HasKey(std::string_view section, std::string_view key) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, long long value);

  // Writes the file; false with `error` filled when it cannot be written.
  bool Save(std::string* error = nullptr) const;

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);
  // The first section of a name: its header line and the line after its last.
  struct Section {
    size_t header = kNone;
    size_t end = 0;
  };
  Section FindSection(std::string_view section) const;
  // The line of a key inside the section (kNone when missing); `value` gets its trimmed value.
  size_t FindKey(const Section& section, std::string_view key, std::string_view* value) const;

  std::filesystem::path path_;
  bool existed_ = false;
  std::vector<std::string> lines_;  // the file's lines, kept as they are
  std::string lineEnd_ = "\n";      // CR LF when the file had it
};

}  // namespace platform
