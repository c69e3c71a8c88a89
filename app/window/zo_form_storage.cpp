#include "app/window/zo_form_storage.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "app/window/zo_tools.h"
#include "platform/codepage.h"
#include "platform/ini_file.h"
#include "platform/program_dir.h"
#include "platform/text_case.h"
#include "platform/text.h"

namespace app {

namespace {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Screen centring as the window system does it: halves rounded toward zero.
int Centred(int screen, int window) { return (screen - window) / 2; }

}  // namespace

TZoFormStorage::TZoFormStorage(TForm& owner, std::filesystem::path programFile)
    : owner_(owner), programFile_(programFile.empty() ? platform::ProgramFile() : std::move(programFile)) {
  owner_.UseDefaultPosition();
  SetIniFileName(kAppIniName);
  active_ = true;
  useRegistry_ = false;
  // The program file on this system has no ".exe"; its name without any
  // extension is the program's name in the key.
  registryKey_ = "\\Software\\" + programFile_.stem().string() + "\\" + owner_.Name();
  useRegistry_ = !platform::IsAdministrator();
}

TZoFormStorage::~TZoFormStorage() {
  if (!loaded_) return;
  owner_.OnShow = std::move(previousOnShow_);
  owner_.OnCloseQuery = std::move(previousOnCloseQuery_);
  owner_.OnDestroy = std::move(previousOnDestroy_);
}

std::string TZoFormStorage::DerivedIniFileName() const {
  std::filesystem::path name = LowerCase(programFile_.filename().string());
  name.replace_extension(".ini");
  return (platform::ProgramDirectory() / name).string();
}

void TZoFormStorage::SetIniFileName(const std::string& value) {
  if (platform::TrimBlanks(value) != kAppIniName) typeIniName_ = TApplicationIniName::asCustom;
  iniFileName_ = typeIniName_ == TApplicationIniName::asCustom ? value : DerivedIniFileName();
}

void TZoFormStorage::SetTypeIniName(TApplicationIniName value) {
  typeIniName_ = value;
  if (value == TApplicationIniName::asAppIniName) SetIniFileName(kAppIniName);
}

void TZoFormStorage::Loaded() {
  if (loaded_) return;
  loaded_ = true;
  previousOnShow_ = owner_.OnShow;
  previousOnCloseQuery_ = owner_.OnCloseQuery;
  previousOnDestroy_ = owner_.OnDestroy;

  owner_.OnShow = [this] {
    if (active_) Restore();
    if (previousOnShow_) previousOnShow_();
  };
  owner_.OnCloseQuery = [this](bool& canClose) {
    if (previousOnCloseQuery_) previousOnCloseQuery_(canClose);
    if (canClose && owner_.HandleAllocated() && active_) SaveReportingErrors();
  };
  owner_.OnDestroy = [this] {
    if (active_) SaveReportingErrors();
    if (previousOnDestroy_) previousOnDestroy_();
  };
}

void TZoFormStorage::Restore() {
  if (useRegistry_) {
    RestoreFromRegistry();
  } else {
    RestoreFromIni();
  }
}

void TZoFormStorage::RestoreFromRegistry() {
  owner_.SetWidth(RegReadInt("Width", owner_.Width(), registryKey_));
  owner_.SetHeight(RegReadInt("Height", owner_.Height(), registryKey_));
  owner_.SetTop(RegReadInt("Top", Centred(owner_.ScreenHeight(), owner_.Height()), registryKey_));
  owner_.SetLeft(RegReadInt("Left", Centred(owner_.ScreenWidth(), owner_.Width()), registryKey_));
}

void TZoFormStorage::RestoreFromIni() {
  const platform::IniFile ini(iniFileName_);
  const std::string section = owner_.Name();
  auto read = [&](const char* key, int fallback) {
    const long long value = ini.ReadInteger(section, key, fallback);
    return (value < INT32_MIN || value > INT32_MAX) ? fallback : static_cast<int>(value);
  };
  owner_.SetWidth(read("Width", owner_.Width()));
  owner_.SetHeight(read("Height", owner_.Height()));
  owner_.SetTop(read("Top", Centred(owner_.ScreenHeight(), owner_.Height())));
  owner_.SetLeft(read("Left", Centred(owner_.ScreenWidth(), owner_.Width())));
}

std::string TZoFormStorage::Save() {
  if (!useRegistry_) return SaveToIni();
  RegWriteInt("Width", owner_.Width(), registryKey_);
  RegWriteInt("Height", owner_.Height(), registryKey_);
  RegWriteInt("Top", owner_.Top(), registryKey_);
  RegWriteInt("Left", owner_.Left(), registryKey_);
  return {};
}

std::string TZoFormStorage::SaveToIni() {
  platform::IniFile ini(iniFileName_);
  const std::string section = owner_.Name();
  ini.WriteInteger(section, "Top", owner_.Top());
  ini.WriteInteger(section, "Left", owner_.Left());
  ini.WriteInteger(section, "Width", owner_.Width());
  ini.WriteInteger(section, "Height", owner_.Height());
  std::string error;
  if (ini.Save(&error)) return {};
  return error.empty() ? "Cannot write " + iniFileName_ : error;
}

void TZoFormStorage::SaveReportingErrors() {
  const std::string error = Save();
  if (!error.empty()) ErrorBox(platform::Utf8ToAnsi(error), Ansi("Talvane"));
}

}  // namespace app
