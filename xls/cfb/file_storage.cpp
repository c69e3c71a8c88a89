#include "xls/cfb/file_storage.h"

#include <new>

#include "xls/cfb/result_codes.h"

namespace xls {

int TXLSFileStream::ReadFrom(const cfb::CompoundFileReader& file, cfb::EntryId parent) {
  data_.clear();
  cfb::EntryInfo info;
  if (file.Find(parent, Name(), info) != cfb::kOk || info.type != cfb::EntryType::Stream) return cfb::kCopyFailed;
  size_ = info.size;
  return file.ReadStream(info.id, data_) == cfb::kOk ? cfb::kOk : cfb::kCopyFailed;
}

int TXLSFileStream::WriteTo(cfb::CompoundFileWriter& file, cfb::StorageId parent) const {
  return file.AddStream(parent, Name(), data_) == cfb::kOk ? cfb::kOk : cfb::kCopyFailed;
}

int TXLSFileStorage::ReadFrom(const cfb::CompoundFileReader& file, cfb::EntryId parent) {
  children_.clear();
  cfb::EntryInfo info;
  if (file.Find(parent, Name(), info) != cfb::kOk || info.type != cfb::EntryType::Storage) return cfb::kCopyFailed;
  int result = cfb::kCopyFailed;
  try {
    result = ReadChildren(file, info.id);
  } catch (const std::bad_alloc&) {
    result = cfb::kCopyFailed;
  }
  if (result != cfb::kOk) children_.clear();
  return result;
}

int TXLSFileStorage::ReadChildren(const cfb::CompoundFileReader& file, cfb::EntryId self) {
  std::vector<cfb::EntryInfo> listed;
  if (file.Children(self, listed) != cfb::kOk) return cfb::kCopyFailed;
  for (const cfb::EntryInfo& child : listed) {
    std::unique_ptr<TXLSFileItem> item;
    if (child.type == cfb::EntryType::Storage) {
      item = std::make_unique<TXLSFileStorage>(child.name);
    } else {
      item = std::make_unique<TXLSFileStream>(child.name, child.size);
    }
    // Each child reads itself from this storage, a sub-storage recursively;
    // the reader bounds the depth of a file's tree.
    const int result = item->ReadFrom(file, self);
    children_.push_back(std::move(item));
    if (result != cfb::kOk) return cfb::kCopyFailed;
  }
  return cfb::kOk;
}

int TXLSFileStorage::WriteTo(cfb::CompoundFileWriter& file, cfb::StorageId parent) const {
  cfb::StorageId self = 0;
  if (file.AddStorage(parent, Name(), self) != cfb::kOk) return cfb::kCopyFailed;
  for (const auto& child : children_) {
    if (child->WriteTo(file, self) != cfb::kOk) return cfb::kCopyFailed;
  }
  return cfb::kOk;
}

}  // namespace xls
