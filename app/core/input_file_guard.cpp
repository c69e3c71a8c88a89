#include "app/core/input_file_guard.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <vector>

#include "app/core/fills.h"
#include "platform/atomic_file.h"
#include "platform/program_dir.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/result_codes.h"
#include "xls/workbook.h"
#include "xls/worksheet.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// "20261211-021530.042": copies sort by name in the order they were made.
std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  char withMillis[40];
  std::snprintf(withMillis, sizeof withMillis, "%s.%03d", text, static_cast<int>(millis));
  return withMillis;
}

void KeepNewest(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> copies;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec)) copies.push_back(entry.path());
  }
  if (static_cast<int>(copies.size()) <= kBackupsKept) return;
  std::sort(copies.begin(), copies.end());
  for (std::size_t i = 0; i + kBackupsKept < copies.size(); ++i) fs::remove(copies[i], ec);
}

bool AnyWritePermission(fs::perms perms) {
  return (perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) != fs::perms::none;
}

// A workbook a campaign has marked, or one that cannot be read to tell.
bool MayHoldCampaignMarks(const fs::path& path) {
  xls::TXLSWorkbook book;
  if (book.Open(path.string()) != xls::kOpenOk || book.Worksheets().Count() < 1) return true;
  const xls::IXLSRange cells = book.Worksheets().Entries(1)->Cells();
  for (int row = 1; row <= xls::kRowCount; ++row) {
    const xls::IXLSRange cell = cells->Item(row, 1);
    if (cell->Value().IsNull()) return false;
    const int fill = cell->Interior()->ColorIndex();
    if (fill == kFillSent || fill == kFillFailed) return true;
  }
  return false;
}

}  // namespace

std::string ResultPathKeepingMarks(const std::string& outPath) {
  std::error_code ec;
  if (!fs::exists(outPath, ec) || !MayHoldCampaignMarks(outPath)) return outPath;
  const fs::path out(outPath);
  const std::string stem = (out.parent_path() / out.stem()).string();
  const std::string extension = out.extension().string();
  for (int n = 2;; ++n) {
    const std::string candidate = stem + "_" + std::to_string(n) + extension;
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
}

std::optional<AnsiString> HeldByAnotherProgram(const std::string& path) {
  const fs::path file(path);
  std::error_code ec;
  if (fs::exists(file.parent_path() / (".~lock." + file.filename().string() + "#"), ec)) {
    return Ansi("plik jest otwarty w innym programie (LibreOffice); zamknij go tam i spróbuj ponownie");
  }
  return std::nullopt;
}

std::string BackupFolder() { return (platform::ProgramDirectory() / "backups").string(); }

std::optional<std::string> KeepDatedCopy(const std::string& path, std::string_view bytes, std::string& error) {
  const fs::path folder = BackupFolder();
  const std::string stamp = Timestamp();
  const std::string name = fs::path(path).filename().string();
  std::error_code ec;
  fs::path copy = folder / (stamp + "_" + name);
  for (int n = 2; fs::exists(copy, ec); ++n) copy = folder / (stamp + "-" + std::to_string(n) + "_" + name);
  platform::AtomicFile file;
  if (!file.Create(copy, /*createFolder=*/true) || !file.Write(bytes) || !file.Commit()) {
    error = file.ErrorText();
    return std::nullopt;
  }
  KeepNewest(folder);
  return copy.string();
}

AnsiString SaveFailureReason(int code, const std::string& path) {
  const fs::path file(path);
  std::error_code ec;
  const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  AnsiString reason;
  if (code == xls::kSaveCannotCreate) {
    if (!fs::is_directory(folder, ec)) {
      reason = Ansi("folder nie istnieje");
    } else if (fs::exists(file, ec) && !AnyWritePermission(fs::status(file, ec).permissions())) {
      reason = Ansi("plik jest tylko do odczytu");
    } else if (!AnyWritePermission(fs::status(folder, ec).permissions())) {
      reason = Ansi("w folderze nie wolno zapisywać");
    } else {
      reason = Ansi("nie można utworzyć pliku (dysk może być pełny albo plik zablokowany)");
    }
  } else {
    reason = Ansi("błąd zapisu skoroszytu");
  }
  return reason + " (kod " + std::to_string(code) + ")";
}

}  // namespace app
