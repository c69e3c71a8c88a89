#pragma once
// Test support: a test whose code must raise no message box. Boxes go to a
// RecordingDialogs while the test runs; any box shown fails the test.
//
// Threads: main thread only (set up and torn down by the test runner).

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/recording_dialogs.h"

namespace platform::testing {

class NoBoxesTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallDialogs(&dialogs_); }
  void TearDown() override {
    InstallDialogs(nullptr);
    EXPECT_TRUE(dialogs_.Texts().empty()) << dialogs_.Texts().front();
  }

  RecordingDialogs dialogs_;
};

}  // namespace platform::testing
