// Opens arbitrary bytes as a compound file, walks its whole tree and reads
// every stream; whatever the reader accepts is then copied into a new file,
// which must open again with the same streams.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/file_storage.h"
#include "xls/cfb/result_codes.h"

using namespace xls::cfb;

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

void ReadEverything(const CompoundFileReader& file) {
  std::vector<EntryId> storages{file.Root()};
  while (!storages.empty()) {
    const EntryId storage = storages.back();
    storages.pop_back();
    std::vector<EntryInfo> children;
    Require(file.Children(storage, children) == kOk);
    for (const EntryInfo& child : children) {
      EntryInfo found;
      Require(file.Find(storage, child.name, found) == kOk);
      if (child.type == EntryType::Storage) {
        storages.push_back(child.id);
        continue;
      }
      std::vector<std::uint8_t> bytes;
      if (file.ReadStream(child.id, bytes) == kOk) Require(bytes.size() == child.size);
    }
  }
}

// Copies the root's streams and storages that read cleanly, then reopens the copy.
void CopyAndReopen(const CompoundFileReader& file) {
  CompoundFileWriter copy;
  std::vector<EntryInfo> children;
  file.Children(file.Root(), children);
  for (const EntryInfo& child : children) {
    if (child.type == EntryType::Storage) {
      xls::TXLSFileStorage storage(child.name);
      if (storage.ReadFrom(file, file.Root()) == kOk) storage.WriteTo(copy, copy.Root());
    } else {
      std::vector<std::uint8_t> bytes;
      if (file.ReadStream(child.id, bytes) == kOk) copy.AddStream(copy.Root(), child.name, bytes);
    }
  }
  std::vector<std::uint8_t> written;
  Require(copy.SaveToBytes(written) == kOk);
  CompoundFileReader reopened;
  Require(reopened.OpenBytes(written) == kOk);
  ReadEverything(reopened);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CompoundFileReader file;
  if (file.OpenBytes({data, size}) != kOk) return 0;
  ReadEverything(file);
  CopyAndReopen(file);
  return 0;
}
