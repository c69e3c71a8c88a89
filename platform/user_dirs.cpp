#include "platform/user_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace platform {
namespace {

std::filesystem::path FromEnvironment(const char* variable, const std::filesystem::path& fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return fallback;
}

// The value of one entry of user-dirs.dirs: `NAME="$HOME/Folder"` or
// `NAME="/absolute/folder"`; anything else (relative paths, other variables)
// is not a folder the desktop would use either.
std::filesystem::path UserDirsEntry(const std::string& name) {
  std::ifstream file(ConfigHome() / "user-dirs.dirs");
  std::string line;
  const std::string prefix = name + "=\"";
  while (std::getline(file, line)) {
    if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') continue;
    const std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.rfind("$HOME/", 0) == 0) return HomeDirectory() / value.substr(6);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

}  // namespace

std::filesystem::path HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && home[0] != '\0') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->pw_dir;
  return "/tmp";
}

std::filesystem::path ConfigHome() { return FromEnvironment("XDG_CONFIG_HOME", HomeDirectory() / ".config"); }

std::filesystem::path DataHome() { return FromEnvironment("XDG_DATA_HOME", HomeDirectory() / ".local" / "share"); }

std::filesystem::path DocumentsDirectory() {
  const std::filesystem::path documents = UserDirsEntry("XDG_DOCUMENTS_DIR");
  std::error_code ec;
  if (!documents.empty() && std::filesystem::is_directory(documents, ec)) return documents;
  return HomeDirectory();
}

}  // namespace platform
