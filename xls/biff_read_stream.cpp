#include "xls/biff_read_stream.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/read_file.h"
#include "xls/biff_read_body.h"
#include "xls/biff_record_ids.h"
#include "xls/cfb/format.h"

namespace xls {

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kPlainBofMin = 4;
constexpr std::size_t kPlainBofMax = 30;
constexpr std::size_t kBoundSheetPlainBytes = 4;  // the substream position stays readable

// The BOF records of BIFF2, BIFF3 and BIFF4, which begin the older formats.
bool IsOldBof(std::uint16_t id) { return id == 0x0009 || id == 0x0209 || id == 0x0409; }

bool HasCompoundFileSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= sizeof cfb::format::kSignature &&
         std::equal(std::begin(cfb::format::kSignature), std::end(cfb::format::kSignature), bytes.begin());
}

// Records whose bodies an encrypted file keeps in the clear.
bool NeverEncrypted(std::uint16_t id) {
  switch (id) {
    case rec::kBof:
    case rec::kFilePass:
    case rec::kUsrExcl:
    case rec::kFileLock:
    case rec::kInterfaceHdr:
    case rec::kRrdInfo:
    case rec::kRrdHead:
      return true;
    default:
      return false;
  }
}

}  // namespace

int TXLSReadStream::OpenPath(const std::filesystem::path& path) {
  Close();
  // Read from disk once: the bytes become the compound file, or are the
  // plain BIFF stream themselves.
  std::optional<std::vector<std::uint8_t>> bytes = platform::ReadWholeFileBytes(path);
  if (!bytes) return kOpenNotWorkbook;
  if (HasCompoundFileSignature(*bytes)) {
    if (compound_.OpenBytes(std::move(*bytes)) == cfb::kOk) return FromCompoundFile();
    compound_.Close();
    return kOpenNotWorkbook;  // a broken compound file is no plain BIFF file either
  }
  bytes_ = std::move(*bytes);
  return FromPlainBytes();
}

int TXLSReadStream::OpenBytes(std::span<const std::uint8_t> bytes) {
  Close();
  if (compound_.OpenBytes(bytes) == cfb::kOk) return FromCompoundFile();
  compound_.Close();
  bytes_.assign(bytes.begin(), bytes.end());
  return FromPlainBytes();
}

int TXLSReadStream::FromCompoundFile() {
  for (std::u16string_view name : {u"Workbook", u"Book"}) {
    cfb::EntryInfo entry;
    if (compound_.Find(compound_.Root(), name, entry) != cfb::kOk || entry.type != cfb::EntryType::Stream) continue;
    if (compound_.ReadStream(entry.id, bytes_) != cfb::kOk) return kOpenNotWorkbook;
    if (IsOldBof(TXLSBody(bytes_).U16(0))) return kOpenOldFormat;
    return kOpenOk;
  }
  // A password-protected .xlsx is a compound file holding the encrypted package.
  cfb::EntryInfo package;
  if (compound_.Find(compound_.Root(), u"EncryptedPackage", package) == cfb::kOk) return kOpenEncryptedPackage;
  return kOpenNotWorkbook;
}

int TXLSReadStream::FromPlainBytes() {
  const TXLSBody head(bytes_);
  const std::size_t length = head.U16(2);
  if (head.Has(0, kHeaderSize) && IsOldBof(head.U16(0)) && length >= kPlainBofMin && length <= kPlainBofMax) {
    bytes_.clear();
    return kOpenOldFormat;
  }
  if (!head.Has(0, kHeaderSize) || head.U16(0) != rec::kBof || length < kPlainBofMin || length > kPlainBofMax) {
    bytes_.clear();
    return kOpenNotWorkbook;
  }
  return kOpenOk;
}

bool TXLSReadStream::PeekId(std::uint16_t& id) const {
  if (bytes_.size() - position_ < kHeaderSize) return false;
  id = static_cast<std::uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
  return true;
}

int TXLSReadStream::Next(TXLSRecordView& record) {
  if (bytes_.size() - position_ < kHeaderSize) return kStreamEnded;
  const TXLSBody header(std::span<const std::uint8_t>(bytes_).subspan(position_, kHeaderSize));
  const std::size_t length = header.U16(2);
  const std::size_t body = position_ + kHeaderSize;
  if (bytes_.size() - body < length) return kOpenCorrupt;
  record.id = header.U16(0);
  record.offset = body;
  const std::span<std::uint8_t> bytes = std::span(bytes_).subspan(body, length);
  if (decrypter_) DecryptBody(record.id, bytes, body);
  record.body = bytes;
  position_ = body + length;
  return kRecordRead;
}

void TXLSReadStream::DecryptBody(std::uint16_t id, std::span<std::uint8_t> body, std::size_t offset) {
  if (NeverEncrypted(id) || body.empty()) return;
  std::size_t plain = 0;
  if (id == rec::kBoundSheet) plain = std::min(kBoundSheetPlainBytes, body.size());
  decrypter_->Decrypt(body.subspan(plain), offset + plain, body.size());
}

void TXLSReadStream::Close() {
  compound_.Close();
  bytes_.clear();
  bytes_.shrink_to_fit();
  position_ = 0;
  decrypter_.reset();
}

}  // namespace xls
