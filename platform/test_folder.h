#pragma once
// A fresh temporary folder for one test, removed with everything in it.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace platform {

class TestFolder {
 public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvane-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace platform
