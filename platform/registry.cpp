#include "platform/registry.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/read_file.h"
#include "platform/codepage.h"
#include "platform/text_case.h"
#include "platform/user_dirs.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

// The file in memory. Paths, names and data are the file's UTF-8 text; data is
// what follows "=" on a value line ("\"text\"", "dword:0000002a", or any other
// type, kept as it is).
struct Value {
  std::string name;  // empty for the default value ("@")
  std::string data;
};
struct Key {
  std::string path;  // full path, root included
  std::vector<Value> values;
};
using Store = std::vector<Key>;

// Writes of every Registry object of this process go one at a time.
std::mutex& FileMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string FullPath(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  if (key.empty()) return std::string(kRoot);
  return std::string(kRoot) + "\\" + AnsiToUtf8(key);
}

std::string QuoteString(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': quoted += "\\\\"; break;
      case '"': quoted += "\\\""; break;
      case '\n': quoted += "\\n"; break;  // a line break would end the value line
      case '\r': quoted += "\\r"; break;
      default: quoted += c;
    }
  }
  return quoted + "\"";
}

// The text of a quoted string starting at text[0] == '"'; `end` gets the
// position after the closing quote. Nothing when the quote is not closed.
std::optional<std::string> UnquoteString(std::string_view text, size_t& end) {
  std::string result;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      end = i + 1;
      return result;
    }
    if (c == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      result += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    } else {
      result += c;
    }
  }
  return std::nullopt;
}

std::optional<std::uint32_t> ParseDword(std::string_view data) {
  if (!StartsWithNoCase(data, "dword:")) return std::nullopt;
  data.remove_prefix(6);
  if (data.empty() || data.size() > 8 || data.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(std::stoul(std::string(data), nullptr, 16));
}

bool ParseValueLine(std::string_view line, Value& value) {
  size_t end = 0;
  if (line.front() == '@') {
    end = 1;  // the key's default value
  } else {
    auto name = UnquoteString(line, end);
    if (!name) return false;
    value.name = *name;
  }
  line.remove_prefix(end);
  if (line.empty() || line.front() != '=') return false;
  value.data = std::string(TrimBlanks(line.substr(1)));
  return !value.data.empty();
}

std::optional<Store> Parse(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Store store;
  bool headerSeen = false;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string line(TrimLine(text.substr(0, newline)));
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    // Binary and other values may run over several lines ending in "\".
    while (!line.empty() && line.back() == '\\' && line.find("=\"") == std::string::npos && !text.empty()) {
      const size_t next = text.find('\n');
      line.pop_back();
      line += TrimLine(text.substr(0, next));
      text.remove_prefix(next == std::string_view::npos ? text.size() : next + 1);
    }
    if (line.empty() || line.front() == ';') continue;
    if (!headerSeen) {
      if (line != kHeader && line != "REGEDIT4") return std::nullopt;
      headerSeen = true;
    } else if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3 || line[1] == '-') return std::nullopt;
      store.push_back(Key{line.substr(1, line.size() - 2), {}});
    } else {
      Value value;
      if (store.empty() || !ParseValueLine(line, value)) return std::nullopt;
      store.back().values.push_back(std::move(value));
    }
  }
  return store;
}

std::string Serialize(const Store& store) {
  std::string text = std::string(kHeader) + "\n";
  for (const Key& key : store) {
    text += "\n[" + key.path + "]\n";
    for (const Value& value : key.values) {
      text += (value.name.empty() ? std::string("@") : QuoteString(value.name)) + "=" + value.data + "\n";
    }
  }
  return text;
}

Key* FindKey(Store& store, std::string_view path) {
  for (Key& key : store) {
    if (EqualsNoCase(key.path, path)) return &key;
  }
  return nullptr;
}

Value* FindValue(Key& key, std::string_view name) {
  for (Value& value : key.values) {
    if (EqualsNoCase(value.name, name)) return &value;
  }
  return nullptr;
}

// The key and every missing ancestor, as an export lists them.
Key& EnsureKey(Store& store, const std::string& path) {
  size_t separator = path.find('\\');
  for (;;) {
    const std::string prefix = path.substr(0, separator);
    if (!FindKey(store, prefix)) store.push_back(Key{prefix, {}});
    if (separator == std::string::npos) break;
    separator = path.find('\\', separator + 1);
  }
  return *FindKey(store, path);
}

// One operation on the file: holds the process-wide lock, reads the file as
// it is now and, for writes, puts it back atomically.
class RegistryFile {
 public:
  explicit RegistryFile(const std::filesystem::path& file) : file_(file), lock_(FileMutex()) {
    std::string error;
    const std::optional<std::string> text = ReadWholeFile(file_, &error);
    if (!error.empty()) return;
    store_ = text ? Parse(*text) : Store{};
  }
  bool Readable() const { return store_.has_value(); }
  Store& Contents() { return *store_; }
  RegistryStatus Save() {
    return WriteFileAtomically(file_, Serialize(*store_), nullptr, true) ? RegistryStatus::Ok
                                                                         : RegistryStatus::IoError;
  }

 private:
  const std::filesystem::path& file_;
  std::lock_guard<std::mutex> lock_;
  std::optional<Store> store_;
};

// Looks a value up; `found` points to it when the status is Ok.
RegistryStatus Lookup(RegistryFile& file, std::string_view key, std::string_view name, Value*& found) {
  if (!file.Readable()) return RegistryStatus::IoError;
  Key* entry = FindKey(file.Contents(), FullPath(key));
  if (!entry) return RegistryStatus::KeyNotFound;
  found = FindValue(*entry, AnsiToUtf8(name));
  return found ? RegistryStatus::Ok : RegistryStatus::ValueNotFound;
}

RegistryStatus StoreValue(RegistryFile& file, std::string_view key, std::string_view name, std::string data) {
  if (!file.Readable()) return RegistryStatus::IoError;
  Key& entry = EnsureKey(file.Contents(), FullPath(key));
  const std::string utf8Name = AnsiToUtf8(name);
  if (Value* value = FindValue(entry, utf8Name)) value->data = std::move(data);
  else entry.values.push_back(Value{utf8Name, std::move(data)});
  return file.Save();
}

}  // namespace

std::filesystem::path Registry::DefaultFile() { return ConfigHome() / "talvane" / "registry.reg"; }

Registry::Registry(std::filesystem::path file) : file_(std::move(file)) {}

bool Registry::KeyExists(std::string_view key) const {
  RegistryFile file(file_);
  if (!file.Readable()) return false;
  const std::string path = FullPath(key);
  for (const Key& entry : file.Contents()) {
    // A key exists as soon as it or a key below it is listed.
    if (EqualsNoCase(entry.path, path) || StartsWithNoCase(entry.path, path + "\\")) return true;
  }
  return false;
}

RegistryStatus Registry::CreateKey(std::string_view key) {
  RegistryFile file(file_);
  if (!file.Readable()) return RegistryStatus::IoError;
  const std::string path = FullPath(key);
  if (FindKey(file.Contents(), path)) return RegistryStatus::Ok;
  EnsureKey(file.Contents(), path);
  return file.Save();
}

RegistryStatus Registry::ReadString(std::string_view key, std::string_view name, std::string& value) const {
  RegistryFile file(file_);
  Value* found = nullptr;
  const RegistryStatus status = Lookup(file, key, name, found);
  if (status != RegistryStatus::Ok) return status;
  size_t end = 0;
  std::optional<std::string> text;
  if (!found->data.empty() && found->data.front() == '"') text = UnquoteString(found->data, end);
  if (!text || end != found->data.size()) return RegistryStatus::WrongType;
  value = Utf8ToAnsi(*text);
  return RegistryStatus::Ok;
}

RegistryStatus Registry::ReadDword(std::string_view key, std::string_view name, std::uint32_t& value) const {
  RegistryFile file(file_);
  Value* found = nullptr;
  const RegistryStatus status = Lookup(file, key, name, found);
  if (status != RegistryStatus::Ok) return status;
  const std::optional<std::uint32_t> number = ParseDword(found->data);
  if (!number) return RegistryStatus::WrongType;
  value = *number;
  return RegistryStatus::Ok;
}

RegistryStatus Registry::WriteString(std::string_view key, std::string_view name, std::string_view value) {
  RegistryFile file(file_);
  return StoreValue(file, key, name, QuoteString(AnsiToUtf8(value)));
}

RegistryStatus Registry::WriteDword(std::string_view key, std::string_view name, std::uint32_t value) {
  char data[16];
  std::snprintf(data, sizeof data, "dword:%08x", value);
  RegistryFile file(file_);
  return StoreValue(file, key, name, data);
}

RegistryStatus Registry::DeleteValue(std::string_view key, std::string_view name) {
  RegistryFile file(file_);
  Value* found = nullptr;
  const RegistryStatus status = Lookup(file, key, name, found);
  if (status != RegistryStatus::Ok) return status;
  Key* entry = FindKey(file.Contents(), FullPath(key));
  entry->values.erase(entry->values.begin() + (found - entry->values.data()));
  return file.Save();
}

namespace {
std::atomic<Registry*> installedRegistry{nullptr};
}  // namespace

Registry& CurrentRegistry() {
  if (Registry* registry = installedRegistry.load()) return *registry;
  static Registry defaultRegistry;
  return defaultRegistry;
}

void InstallRegistry(Registry* registry) { installedRegistry.store(registry); }

}  // namespace platform
