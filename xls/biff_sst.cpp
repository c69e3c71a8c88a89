// The shared string table (SST) with its own splitting rule, and its index
// (EXTSST): one entry for every 8th string.

#include <algorithm>

#include "xls/biff_globals.h"
#include "xls/workbook.h"

namespace xls {

namespace {

constexpr std::uint16_t kStringsPerBucket = 8;
constexpr std::size_t kStringHeader = 3;  // character count and option byte
constexpr std::size_t kExtSstEntry = 8;

struct Bucket {
  std::uint32_t streamOffset;
  std::uint16_t recordOffset;
};

void ContinueRecord(TXLSBlobList& out) {
  out.Close();
  out.Begin(rec::kContinue);
}

void WriteExtSst(TXLSBlobList& out, const std::vector<Bucket>& buckets) {
  out.Begin(rec::kExtSst);
  out.U16(kStringsPerBucket);
  for (const Bucket& bucket : buckets) {
    if (out.BodySize() + kExtSstEntry > kMaxRecordBody) ContinueRecord(out);  // entries stay whole
    out.U32(bucket.streamOffset);
    out.U16(bucket.recordOffset);
    out.U16(0);
  }
  out.Close();
}

}  // namespace

void WriteSharedStrings(TXLSBlobList& out, std::size_t streamOffset, const TXLSWorkbook& book,
                        const TXLSWriteTables& tables) {
  const TXLSStringTable& strings = book.Strings();
  std::vector<Bucket> buckets;
  buckets.reserve(tables.writtenStrings.size() / kStringsPerBucket + 1);

  out.Begin(rec::kSst);
  out.U32(tables.stringUses);
  out.U32(static_cast<std::uint32_t>(tables.writtenStrings.size()));
  for (std::size_t k = 0; k < tables.writtenStrings.size(); ++k) {
    std::u16string_view text = strings.Text(tables.writtenStrings[k]);
    text = text.substr(0, kMaxCellText);
    // A string starts in a new record when not even its header and one character fit.
    const std::size_t firstPart = kStringHeader + (text.empty() ? 0 : 2);
    if (out.BodySize() + firstPart > kMaxRecordBody) ContinueRecord(out);
    if (k % kStringsPerBucket == 0)
      buckets.push_back({static_cast<std::uint32_t>(streamOffset + out.Size()),
                         static_cast<std::uint16_t>(out.Size() - out.RecordStart())});
    out.U16(static_cast<std::uint16_t>(text.size()));
    out.U8(1);
    while (true) {
      const std::size_t room = (kMaxRecordBody - out.BodySize()) / 2;
      const std::size_t part = std::min(room, text.size());
      out.Utf16(text.substr(0, part));
      text.remove_prefix(part);
      if (text.empty()) break;
      ContinueRecord(out);
      out.U8(1);  // the rest of the characters, again in UTF-16
    }
  }
  out.Close();
  WriteExtSst(out, buckets);
}

}  // namespace xls
