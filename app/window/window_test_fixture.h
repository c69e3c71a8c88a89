#pragma once
// The main window on memory views with a private settings store and program
// folder, for the tests of the window's features; the result workbook read
// back by an independent reader (python3-xlrd).

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/window/frm_main.h"
#include "app/window/testing/memory_view.h"
#include "app/window/test_support.h"
#include "platform/headless_main_loop.h"

namespace app::testing {

class WindowTest : public ::testing::Test {
 protected:
  ~WindowTest() override { Stop(); }

  void Start() {
    telList = std::make_unique<TfrmTelList>(tel.View());
    form = std::make_unique<TfrmMain>(loop, view.View(), *telList, "/opt/talvane/Talvane.exe");
    view.frmMain.Show();
    form->ApplicationIdle();
  }
  void Stop() {
    form.reset();
    telList.reset();
  }
  // The user clicks, then the window becomes idle.
  bool Click(MemoryButton& button) {
    const bool clicked = button.Click();
    form->ApplicationIdle();
    return clicked;
  }
  // Runs the window until `done` holds (the idle rule applied after events).
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    return loop.RunUntil(
        [&] {
          form->ApplicationIdle();
          return done();
        },
        timeout);
  }

  TestEnvironment env;
  platform::HeadlessMainLoop loop;
  MemoryMainView view;
  MemoryTelListView tel;
  std::unique_ptr<TfrmTelList> telList;
  std::unique_ptr<TfrmMain> form;
};

// Column A of a result workbook as python3-xlrd reads it: "value<TAB>fill"
// per row (fill: green, red, none, ...).
inline std::vector<std::string> ResultRows(const std::filesystem::path& file) {
  const std::string command = std::string(TALVANE_PYTHON) + " " + TALVANE_SOURCE_DIR +
                              "/app/window/testdata/result_rows.py '" + file.string() + "' 2>&1";
  std::vector<std::string> rows;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return rows;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    rows.push_back(text);
  }
  ::pclose(pipe);
  return rows;
}

}  // namespace app::testing
