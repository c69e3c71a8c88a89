#pragma once
// What the window tests share: a private settings store, program folder and
// recorded message boxes, so that no test touches the user's home.

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/recording_dialogs.h"
#include "platform/registry.h"
#include "platform/test_folder.h"

namespace app::testing {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = ::getenv(name)) previous_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (previous_) {
      ::setenv(name_, previous_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

class TestEnvironment {
 public:
  TestEnvironment()
      : config_("XDG_CONFIG_HOME", (folder / "config").string()),
        programDir_("TALVANE_PROGRAM_DIR", (folder / "program").string()),
        registry(folder / "config" / "talvane" / "registry.reg") {
    std::filesystem::create_directories(folder / "program");
    platform::InstallRegistry(&registry);
    platform::InstallDialogs(&dialogs);
  }
  ~TestEnvironment() {
    platform::InstallDialogs(nullptr);
    platform::InstallRegistry(nullptr);
  }
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;

  std::filesystem::path ProgramDir() const { return folder / "program"; }

  platform::TestFolder folder;

 private:
  ScopedEnv config_;
  ScopedEnv programDir_;

 public:
  platform::Registry registry;
  platform::RecordingDialogs dialogs;
};

}  // namespace app::testing
