#include "platform/program_dir.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/user_dirs.h"

namespace platform {

std::filesystem::path ProgramFile() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::filesystem::path ProgramDirectory() {
  std::error_code ec;
  if (const char* forced = std::getenv("TALVANE_PROGRAM_DIR"); forced && forced[0] != '\0') {
    std::filesystem::create_directories(forced, ec);
    return forced;
  }
  const std::filesystem::path data = DataHome() / "talvane";
  std::filesystem::create_directories(data, ec);
  return data;
}

bool IsAdministrator() { return ::geteuid() == 0; }

}  // namespace platform
