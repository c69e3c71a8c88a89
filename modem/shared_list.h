#pragma once
// A string list shared by the main thread and the engine thread. Each line
// has an object slot (an integer: the tolerate flag of a queued command, the
// failure count of a queued message part). Every operation is one short
// locked step, so the two threads never see a half-done change.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modem/text_lines.h"

namespace modem {

class SharedList {
 public:
  struct Entry {
    std::string text;
    std::intptr_t object = 0;
  };

  void Append(std::string text, std::intptr_t object = 0) {
    std::lock_guard lock(mutex_);
    entries_.push_back({std::move(text), object});
  }
  // Inserts before position `index`; an index past the end appends.
  void Insert(size_t index, std::string text, std::intptr_t object = 0) {
    std::lock_guard lock(mutex_);
    if (index > entries_.size()) index = entries_.size();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), {std::move(text), object});
  }
  std::optional<Entry> First() const {
    std::lock_guard lock(mutex_);
    if (entries_.empty()) return std::nullopt;
    return entries_.front();
  }
  void RemoveFirst() {
    std::lock_guard lock(mutex_);
    if (!entries_.empty()) entries_.pop_front();
  }
  // Adds `delta` to the object slot of the first line (when there is one).
  void AddToFirstObject(std::intptr_t delta) {
    std::lock_guard lock(mutex_);
    if (!entries_.empty()) entries_.front().object += delta;
  }
  size_t Count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
  }
  bool Empty() const { return Count() == 0; }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }
  std::vector<std::string> Lines() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (const Entry& e : entries_) lines.push_back(e.text);
    return lines;
  }
  std::vector<Entry> Entries() const {
    std::lock_guard lock(mutex_);
    return {entries_.begin(), entries_.end()};
  }
  // Every line followed by CR LF.
  std::string Text() const { return JoinLines(Lines()); }
  // Replaces the whole list by the lines of `text` (split at CR, LF, CR LF).
  void SetText(std::string_view text) {
    std::vector<std::string> lines = SplitLines(text);
    std::lock_guard lock(mutex_);
    entries_.clear();
    for (std::string& line : lines) entries_.push_back({std::move(line), 0});
  }

 private:
  mutable std::mutex mutex_;
  std::deque<Entry> entries_;
};

}  // namespace modem
