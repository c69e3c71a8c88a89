#include "platform/user_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform {
namespace {

std::filesystem::path FromEnvironment(const char* variable, const std::filesystem::path& fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return fallback;
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

}  // namespace platform
