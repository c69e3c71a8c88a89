#pragma once
// A queue shared by the main thread and the engine thread. Each entry has a
// counter slot (the tolerate flag of a queued command, the failure count of
// a queued message part) and an identity of its own, so that the engine
// changes or removes the entry it worked on and never another one that took
// its place meanwhile (the caller may clear the queue and append new entries
// at any time). Every operation is one short locked step, so the two threads
// never see a half-done change.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace modem {

template <typename Value>
class SharedQueue {
 public:
  struct Entry {
    Value value;
    std::intptr_t object = 0;
    std::uint64_t id = 0;  // unique within the queue
  };

  void Append(Value value, std::intptr_t object = 0) {
    std::lock_guard lock(mutex_);
    entries_.push_back({std::move(value), object, ++lastId_});
  }
  // Inserts before position `index`; an index past the end appends.
  void Insert(size_t index, Value value, std::intptr_t object = 0) {
    std::lock_guard lock(mutex_);
    if (index > entries_.size()) index = entries_.size();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), {std::move(value), object, ++lastId_});
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
  // Removes the first entry when it is the entry `id`; false when it is not.
  bool RemoveFirstIf(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    if (entries_.empty() || entries_.front().id != id) return false;
    entries_.pop_front();
    return true;
  }
  // Adds `delta` to the object slot of the first entry when it is the entry
  // `id`, and returns the new value; nothing when the first entry is another.
  std::optional<std::intptr_t> AddToFirstObjectIf(std::uint64_t id, std::intptr_t delta) {
    std::lock_guard lock(mutex_);
    if (entries_.empty() || entries_.front().id != id) return std::nullopt;
    return entries_.front().object += delta;
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
  std::vector<Value> Values() const {
    std::lock_guard lock(mutex_);
    std::vector<Value> values;
    values.reserve(entries_.size());
    for (const Entry& e : entries_) values.push_back(e.value);
    return values;
  }
  std::vector<Entry> Entries() const {
    std::lock_guard lock(mutex_);
    return {entries_.begin(), entries_.end()};
  }

 protected:
  // Replaces every entry by `values`, in one step.
  void Replace(std::vector<Value> values) {
    std::lock_guard lock(mutex_);
    entries_.clear();
    for (Value& value : values) entries_.push_back({std::move(value), 0, ++lastId_});
  }

 private:
  mutable std::mutex mutex_;
  std::deque<Entry> entries_;
  std::uint64_t lastId_ = 0;
};

}  // namespace modem
