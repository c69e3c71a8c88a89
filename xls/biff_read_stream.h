#pragma once
// The record stream of a workbook being read (`TXLSReadStream`): it finds
// the workbook stream ("Workbook", else "Book", names compared without
// regard to case) in a compound file, or takes a plain file that begins with
// a BOF record as the stream itself, and hands out the records one by one,
// decrypting their bodies once a decrypter is set.
//
// The stream is held in memory; record bodies are views into it that stay
// valid until the stream is closed.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "xls/cfb/compound_file_reader.h"
#include "xls/decryption.h"
#include "xls/result_codes.h"

namespace xls {

// Results of TXLSReadStream::Next besides kOpenCorrupt.
inline constexpr int kRecordRead = 1;
inline constexpr int kStreamEnded = 0;

struct TXLSRecordView {
  std::uint16_t id = 0;
  std::size_t offset = 0;  // of the body in the stream
  std::span<const std::uint8_t> body;
};

class TXLSReadStream {
 public:
  // kOpenOk, kOpenOldFormat, or kOpenNotWorkbook.
  int OpenPath(const std::filesystem::path& path);
  int OpenBytes(std::span<const std::uint8_t> bytes);

  // The compound file the stream came from (for the VBA project storage),
  // or nullptr for a plain BIFF file.
  const cfb::CompoundFileReader* CompoundFile() const { return compound_.IsOpen() ? &compound_ : nullptr; }

  // The id of the next record without reading it: false at the end.
  bool PeekId(std::uint16_t& id) const;
  // The next record: kRecordRead; kStreamEnded (fewer than 4 bytes left);
  // kOpenCorrupt, the body is cut short by the end of the stream.
  int Next(TXLSRecordView& record);

  // Decrypts the bodies of the records that follow.
  void SetDecrypter(std::unique_ptr<TXLSDecrypter> decrypter) { decrypter_ = std::move(decrypter); }
  bool Decrypting() const { return decrypter_ != nullptr; }

  // Releases the compound file and the stream.
  void Close();

 private:
  int FromCompoundFile();
  int FromPlainBytes();
  void DecryptBody(std::uint16_t id, std::span<std::uint8_t> body, std::size_t offset);

  cfb::CompoundFileReader compound_;
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  std::unique_ptr<TXLSDecrypter> decrypter_;
};

}  // namespace xls
