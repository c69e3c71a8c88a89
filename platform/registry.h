#pragma once
// The user's settings store, after the Windows registry's HKEY_CURRENT_USER:
// keys are backslash paths ("software\Talvane\GSM", a leading backslash is
// allowed), values are typed (String = REG_SZ, Dword = REG_DWORD). Key paths
// and value names compare without regard to case. The store is a text file in
// the .reg export format; every write rewrites it atomically (temporary file
// and rename), every read sees the file as it is on disk.
//
// Threads: every read and write may come from any thread; the operations on the
// store are serialised by one lock in the process. Install the process-wide
// store on the main thread before other threads use it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

enum class RegistryStatus {
  Ok,
  KeyNotFound,
  ValueNotFound,
  WrongType,  // the value exists with another type
  IoError,    // the file cannot be read or written, or is malformed
};

class Registry {
 public:
  // $XDG_CONFIG_HOME/talvane/registry.reg (default ~/.config/talvane/registry.reg).
  static std::filesystem::path DefaultFile();

  explicit Registry(std::filesystem::path file = DefaultFile());

  const std::filesystem::path& File() const { return file_; }

  bool KeyExists(std::string_view key) const;
  RegistryStatus CreateKey(std::string_view key);

  RegistryStatus ReadString(std::string_view key, std::string_view name, std::string& value) const;
  RegistryStatus ReadDword(std::string_view key, std::string_view name, std::uint32_t& value) const;

  // Create the key when it is missing, then write the value.
  RegistryStatus WriteString(std::string_view key, std::string_view name, std::string_view value);
  RegistryStatus WriteDword(std::string_view key, std::string_view name, std::uint32_t value);

  RegistryStatus DeleteValue(std::string_view key, std::string_view name);

 private:
  std::filesystem::path file_;
};

// The process-wide store; tests install one on a temporary file.
Registry& CurrentRegistry();
void InstallRegistry(Registry* registry);  // not owned; nullptr restores the default

}  // namespace platform
