#pragma once
// Test support: received messages made by an independent SMS coder
// (python3-gammu, tests/testdata/gammu_oracle.py), as a modem passes them on.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/test_folder.h"

namespace modem {

struct GammuMessage {
  std::string sender;
  std::string utf8Text;
  bool ucs2 = false;
};

// The SMS-DELIVER PDUs of each message, its parts in order; sent through
// +48601000310 at 2024-03-05 14:07:09. Fails the test when gammu cannot run.
inline std::vector<std::vector<std::string>> GammuDeliver(const std::vector<GammuMessage>& messages) {
  platform::TestFolder folder;
  {
    std::ofstream in(folder / "in");
    for (const GammuMessage& message : messages) {
      std::string hex;
      for (unsigned char c : message.utf8Text) {
        static const char* digits = "0123456789ABCDEF";
        hex += digits[c >> 4];
        hex += digits[c & 15];
      }
      in << (message.ucs2 ? "ucs2" : "7bit") << "\t-1\t" << hex << '\t' << message.sender << '\n';
    }
  }
  const std::string command = std::string(TALVANE_PYTHON) + " " + TALVANE_SOURCE_DIR +
                              "/tests/testdata/gammu_oracle.py deliver < " + (folder / "in").string() + " > " +
                              (folder / "out").string() + " 2> " + (folder / "err").string();
  const int status = std::system(command.c_str());
  std::ifstream out(folder / "out");
  std::ifstream err(folder / "err");
  const std::string errors{std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>()};
  EXPECT_EQ(status, 0) << "gammu could not make the messages: " << errors;
  std::vector<std::vector<std::string>> pdus(messages.size());
  for (std::string line; std::getline(out, line);) {
    std::istringstream fields(line);
    size_t index = 0;
    std::string pdu;
    if (fields >> index >> pdu && index < pdus.size()) pdus[index].push_back(pdu);
  }
  return pdus;
}

// The one PDU of a short message.
inline std::string GammuPdu(const std::string& sender, const std::string& utf8Text) {
  const auto pdus = GammuDeliver({{sender, utf8Text}});
  return pdus.empty() || pdus[0].empty() ? std::string() : pdus[0][0];
}

}  // namespace modem
