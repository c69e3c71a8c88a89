#pragma once
// The in-memory copy of one storage of a compound file, with its whole
// subtree. It carries a workbook's VBA project storage ("_VBA_PROJECT_CUR"
// for BIFF8, "_VBA_PROJECT" for BIFF5) from the file read into the file
// written, after the file read has been closed.
//
// Usage (reader and writer of the workbook):
//   auto vba = std::make_unique<TXLSFileStorage>(u"_VBA_PROJECT_CUR");
//   if (vba->ReadFrom(input, input.Root()) == 1) workbook keeps vba;
//   ...
//   vba->WriteTo(output, output.Root());
//
// Threads: a copy goes with its workbook and that workbook's thread (see
// xls/workbook.h); nothing is locked.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"

namespace xls {

class TXLSFileItem {
 public:
  explicit TXLSFileItem(std::u16string name) : name_(std::move(name)) {}
  virtual ~TXLSFileItem() = default;
  TXLSFileItem(const TXLSFileItem&) = delete;
  TXLSFileItem& operator=(const TXLSFileItem&) = delete;

  const std::u16string& Name() const { return name_; }

  // Reads the element of this name from the storage `parent` of an open
  // file. 1, or -1 (cfb::kCopyFailed) when it is missing, of the other kind,
  // or cannot be read whole.
  virtual int ReadFrom(const cfb::CompoundFileReader& file, cfb::EntryId parent) = 0;

  // Writes this element into the storage `parent` of a file being written,
  // replacing an element of the same name. 1 or -1.
  virtual int WriteTo(cfb::CompoundFileWriter& file, cfb::StorageId parent) const = 0;

 private:
  std::u16string name_;
};

class TXLSFileStream : public TXLSFileItem {
 public:
  explicit TXLSFileStream(std::u16string name, std::uint64_t size = 0) : TXLSFileItem(std::move(name)), size_(size) {}

  std::uint64_t Size() const { return size_; }                    // as the storage listed it
  const std::vector<std::uint8_t>& Data() const { return data_; }  // the bytes read

  int ReadFrom(const cfb::CompoundFileReader& file, cfb::EntryId parent) override;
  int WriteTo(cfb::CompoundFileWriter& file, cfb::StorageId parent) const override;

 private:
  std::uint64_t size_;
  std::vector<std::uint8_t> data_;
};

class TXLSFileStorage : public TXLSFileItem {
 public:
  using TXLSFileItem::TXLSFileItem;

  // Sub-storages and streams in the order the storage listed them.
  const std::vector<std::unique_ptr<TXLSFileItem>>& Children() const { return children_; }

  // Reads the whole subtree; on failure the copy holds no children.
  int ReadFrom(const cfb::CompoundFileReader& file, cfb::EntryId parent) override;
  int WriteTo(cfb::CompoundFileWriter& file, cfb::StorageId parent) const override;

 private:
  int ReadChildren(const cfb::CompoundFileReader& file, cfb::EntryId self);

  std::vector<std::unique_ptr<TXLSFileItem>> children_;
};

}  // namespace xls
