// The record loop of the BIFF reader: grouping, the substream states, BOF and
// EOF, and what happens once the stream has ended.

#include "xls/biff_reader.h"

#include "xls/biff_record_ids.h"
#include "xls/cfb/file_storage.h"
#include "xls/cfb/format.h"

namespace xls {

TXLSReader::TXLSReader(TXLSWorkbook& workbook, std::u16string password)
    : book_(workbook), password_(std::move(password)) {}

TXLSReader::~TXLSReader() = default;

int TXLSReader::Read(const std::filesystem::path& path) {
  if (const int opened = stream_.OpenPath(path); opened != kOpenOk) return opened;
  const int result = ReadStream();
  stream_.Close();
  return result;
}

int TXLSReader::ReadBytes(std::span<const std::uint8_t> bytes) {
  if (const int opened = stream_.OpenBytes(bytes); opened != kOpenOk) return opened;
  const int result = ReadStream();
  stream_.Close();
  return result;
}

int TXLSReader::ReadStream() {
  TXLSRecordGroup group;
  bool pending = false;
  std::uint16_t id = 0;
  while (stream_.PeekId(id)) {
    const bool inChart = (state_ == Substream::ChartSheet || state_ == Substream::EmbeddedChart) && skipDepth_ == 0;
    const bool joins = pending && ((id == rec::kContinue && !inChart) ||
                                   (id == rec::kMsoDrawingGroup && group.id == rec::kMsoDrawingGroup));
    // A group is handled before the next one is read: a FILEPASS must set up
    // the decryption of the records after it.
    if (pending && !joins) {
      pending = false;
      if (const int handled = Dispatch(group); handled != kOpenOk) return handled;
    }
    TXLSRecordView record;
    if (const int next = stream_.Next(record); next != kRecordRead) return kOpenCorrupt;
    if (!pending) {
      group.id = record.id;
      group.bodies.clear();
      group.ids.clear();
      pending = true;
    }
    group.bodies.push_back(record.body);
    group.ids.push_back(record.id);
  }
  if (pending) {
    if (const int handled = Dispatch(group); handled != kOpenOk) return handled;
  }
  if (version_ == 0) return kOpenCorrupt;  // no workbook globals of a version we read
  if (state_ == Substream::None && skipDepth_ == 0) return Finish();
  // The stream ends inside a substream: what was read is closed as if its
  // EOF records had come, and the workbook is complete up to there.
  while (state_ != Substream::None) OnEof();
  skipDepth_ = 0;
  book_.NoteSaveLoss(kLossFileEndMissing);
  Finish();
  return kOpenUnfinished;
}

int TXLSReader::Dispatch(const TXLSRecordGroup& group) {
  if (skipDepth_ > 0) {
    if (group.id == rec::kBof) ++skipDepth_;
    if (group.id == rec::kEof) --skipDepth_;
    return kOpenOk;
  }
  switch (state_) {
    case Substream::None:
      return group.id == rec::kBof ? OnBof(group.Body()) : kOpenOk;
    case Substream::Globals:
      if (group.id == rec::kBof) {
        // A BOF inside the globals ends them.
        if (const int ended = OnEof(); ended != kOpenOk) return ended;
        return OnBof(group.Body());
      }
      if (group.id == rec::kEof) return OnEof();
      return OnGlobals(group);
    case Substream::Worksheet:
      if (group.id == rec::kBof) return OnBof(group.Body());
      if (group.id == rec::kEof) return OnEof();
      return OnWorksheet(group);
    case Substream::ChartSheet:
    case Substream::EmbeddedChart:
      if (group.id == rec::kEof) return OnEof();
      OnChart(group);
      return kOpenOk;
  }
  return kOpenOk;
}

int TXLSReader::OnBof(const TXLSBody& body) {
  if (body.Size() <= 4) return kOpenOk;
  const std::uint16_t version = body.U16(0);
  const std::uint16_t type = body.U16(2);
  if (state_ == Substream::Worksheet) {
    if (type != rec::kBofChart) {
      skipDepth_ = 1;
      book_.NoteSaveLoss(kLossSkippedSheets);
      return kOpenOk;
    }
    state_ = Substream::EmbeddedChart;
    // An embedded chart stays with the sheet's drawing, as a BIFF8 substream.
    chart_ = Biff8() ? &sheet_->Parts().drawing : nullptr;
    if (!chart_) book_.NoteSaveLoss(kLossBiff5Objects);
    if (chart_) chart_->push_back({rec::kBof, {body.Bytes().begin(), body.Bytes().end()}});
    return kOpenOk;
  }
  if (type == rec::kBofGlobals) {
    state_ = Substream::Globals;
    if (version_ == 0 && (version == rec::kBiff5 || version == rec::kBiff8)) version_ = version;
  }
  if (version_ == 0) return kOpenCorrupt;
  if (type == rec::kBofGlobals) return kOpenOk;
  if (type != rec::kBofWorksheet && type != rec::kBofChart) {
    skipDepth_ = 1;  // macro sheet, module, workspace
    book_.NoteSaveLoss(kLossSkippedSheets);
    return kOpenOk;
  }
  ++sheetCounter_;
  IXLSWorkSheets& sheets = book_.Worksheets();
  while (sheets.Count() < sheetCounter_) sheets.Add();
  sheet_ = sheets.Entries(sheetCounter_);
  if (type == rec::kBofWorksheet) {
    state_ = Substream::Worksheet;
    sheet_->SetType(SheetType::Worksheet);
  } else {
    state_ = Substream::ChartSheet;
    sheet_->SetType(SheetType::Chart);
    // A BIFF5 chart's records do not fit a BIFF8 file: the sheet stays, empty.
    chart_ = Biff8() ? &sheet_->Parts().chart : nullptr;
    if (!chart_) book_.NoteSaveLoss(kLossBiff5Objects);
  }
  return kOpenOk;
}

int TXLSReader::OnEof() {
  switch (state_) {
    case Substream::Globals:
      if (!Biff8()) EnterCollectedNames();
      BuildNameMap();
      state_ = Substream::None;
      break;
    case Substream::Worksheet:
      ResolvePendingAnchor();
      sharedFormulas_.clear();
      arrayFormulas_.clear();
      lastFormula_ = {};
      state_ = Substream::None;
      sheet_ = nullptr;
      break;
    case Substream::ChartSheet:
      state_ = Substream::None;
      chart_ = nullptr;
      sheet_ = nullptr;
      break;
    case Substream::EmbeddedChart:
      if (chart_) chart_->push_back({rec::kEof, {}});
      state_ = Substream::Worksheet;
      chart_ = nullptr;
      break;
    case Substream::None:
      break;
  }
  return kOpenOk;
}

void TXLSReader::OnChart(const TXLSRecordGroup& group) {
  if (!chart_) return;
  Keep(group, *chart_);
}

void TXLSReader::Keep(const TXLSRecordGroup& group, TXLSRecordList& list) {
  for (std::size_t i = 0; i < group.bodies.size(); ++i)
    list.push_back({group.ids[i], {group.bodies[i].begin(), group.bodies[i].end()}});
}

IXLSWorksheet* TXLSReader::SheetOfTab(int tab) const {
  if (tab < 0 || static_cast<std::size_t>(tab) >= tabs_.size()) return nullptr;
  return tabs_[static_cast<std::size_t>(tab)];
}

int TXLSReader::Finish() {
  ApplyWindow1();
  ApplyPrintNames();
  CopyVbaStorage();
  NoteOtherStreams();
  book_.AdvanceRecalcStamp();
  return kOpenOk;
}

void TXLSReader::ApplyWindow1() {
  IXLSWorkSheets& sheets = book_.Worksheets();
  if (firstVisibleTab_) {
    if (IXLSWorksheet* sheet = SheetOfTab(*firstVisibleTab_)) book_.SetFirstVisibleTab(sheets.PositionOf(sheet) - 1);
  }
  if (activeTab_) {
    if (IXLSWorksheet* sheet = SheetOfTab(*activeTab_)) sheets.SetActiveSheet(sheet);
  }
}

void TXLSReader::ApplyPrintNames() {
  for (const PrintName& name : printNames_) {
    if (IXLSWorksheet* sheet = SheetOfTab(name.tab - 1)) ApplyPrintName(name, sheet->Parts().pageSetup);
  }
}

void TXLSReader::CopyVbaStorage() {
  const cfb::CompoundFileReader* file = stream_.CompoundFile();
  if (!file) return;
  cfb::EntryInfo entry;
  const std::u16string_view name = Biff8() ? u"_VBA_PROJECT_CUR" : u"_VBA_PROJECT";
  if (file->Find(file->Root(), name, entry) != cfb::kOk || entry.type != cfb::EntryType::Storage) return;
  // The writer writes a project back only into the format it came from.
  if (!Biff8()) book_.NoteSaveLoss(kLossMacros);
  try {
    auto storage = std::make_shared<TXLSFileStorage>(entry.name);
    if (storage->ReadFrom(*file, file->Root()) == cfb::kOk) {
      book_.SetVbaStorage(std::move(storage));
      return;
    }
  } catch (const std::exception&) {
    // The workbook is read; only its macros are not carried along.
  }
  book_.NoteSaveLoss(kLossMacros);
}

void TXLSReader::NoteOtherStreams() {
  const cfb::CompoundFileReader* file = stream_.CompoundFile();
  std::vector<cfb::EntryInfo> entries;
  if (!file || file->Children(file->Root(), entries) != cfb::kOk) return;
  // What a save writes (the workbook, the VBA project) or may do without
  // (document properties, the class and link markers); anything else is content of
  // its own: embedded objects, pivot caches, controls.
  static constexpr std::u16string_view kCarried[] = {
      u"Workbook", u"Book", u"_VBA_PROJECT_CUR", u"_VBA_PROJECT", u"\x05" u"SummaryInformation",
      u"\x05" u"DocumentSummaryInformation", u"\x01" u"CompObj", u"\x01" u"Ole"};
  for (const cfb::EntryInfo& entry : entries) {
    bool carried = false;
    for (std::u16string_view name : kCarried) carried = carried || cfb::format::SameName(entry.name, name);
    if (!carried) book_.NoteSaveLoss(kLossOtherStreams);
  }
}

}  // namespace xls
