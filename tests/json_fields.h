#pragma once
// The fields of the JSON lines talvane-cli prints, read the simple way its
// flat lines allow.
//
// Threads: pure functions.

#include <string>

namespace e2e {

// The value of "key":"..." or "key":N in a JSON line; empty when absent.
inline std::string JsonField(const std::string& line, const std::string& key) {
  const std::string tag = "\"" + key + "\":";
  size_t at = line.find(tag);
  if (at == std::string::npos) return {};
  at += tag.size();
  if (line[at] == '"') return line.substr(at + 1, line.find('"', at + 1) - at - 1);
  return line.substr(at, line.find_first_of(",}", at) - at);
}

}  // namespace e2e
