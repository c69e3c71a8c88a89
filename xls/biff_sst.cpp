// The shared string table (SST) with its own splitting rule, and its index
// (EXTSST): one entry for every 8th string. Rich texts carry their
// formatting runs behind their characters.

#include <algorithm>

#include "xls/biff_globals.h"
#include "xls/workbook.h"

namespace xls {

namespace {

constexpr std::uint16_t kStringsPerBucket = 8;
constexpr std::size_t kStringHeader = 3;  // character count and option byte
constexpr std::size_t kRunCountSize = 2;  // after the option byte of a rich text
constexpr std::size_t kRunSize = 4;
constexpr std::uint8_t kOptionUtf16 = 0x01;
constexpr std::uint8_t kOptionRichText = 0x08;
constexpr std::size_t kExtSstEntry = 8;

struct Bucket {
  std::uint32_t streamOffset;
  std::uint16_t recordOffset;
};

void ContinueRecord(TXLSBlobList& out) {
  out.Close();
  out.Begin(rec::kContinue);
}

// The runs that fall inside the text as written.
std::vector<TXLSRichRun> RunsInside(const std::vector<TXLSRichRun>& runs, std::size_t textLength) {
  std::vector<TXLSRichRun> inside;
  for (const TXLSRichRun& run : runs) {
    if (run.firstChar < textLength) inside.push_back(run);
  }
  return inside;
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
    const std::vector<TXLSRichRun> runs = RunsInside(strings.Runs(tables.writtenStrings[k]), text.size());
    // A string starts in a new record when not even its header and one character fit.
    const std::size_t header = kStringHeader + (runs.empty() ? 0 : kRunCountSize);
    const std::size_t firstPart = header + (text.empty() ? 0 : 2);
    if (out.BodySize() + firstPart > kMaxRecordBody) ContinueRecord(out);
    if (k % kStringsPerBucket == 0)
      buckets.push_back({static_cast<std::uint32_t>(streamOffset + out.Size()),
                         static_cast<std::uint16_t>(out.Size() - out.RecordStart())});
    out.U16(static_cast<std::uint16_t>(text.size()));
    out.U8(runs.empty() ? kOptionUtf16 : kOptionUtf16 | kOptionRichText);
    if (!runs.empty()) out.U16(static_cast<std::uint16_t>(runs.size()));
    while (true) {
      const std::size_t room = (kMaxRecordBody - out.BodySize()) / 2;
      const std::size_t part = std::min(room, text.size());
      out.Utf16(text.substr(0, part));
      text.remove_prefix(part);
      if (text.empty()) break;
      ContinueRecord(out);
      out.U8(kOptionUtf16);  // the rest of the characters, again in UTF-16
    }
    // The runs follow the characters; a run is never split, and a
    // continuation of runs has no option byte.
    for (const TXLSRichRun& run : runs) {
      if (out.BodySize() + kRunSize > kMaxRecordBody) ContinueRecord(out);
      out.U16(run.firstChar);
      out.U16(tables.Font(run.font));
    }
  }
  out.Close();
  WriteExtSst(out, buckets);
}

}  // namespace xls
