#pragma once
// TZoFormStorage: keeps a window's size and position between runs. It
// restores them when the window is shown and saves them when the window is
// closed and when it is destroyed, in the settings store (under
// \Software\<program>\<window>) or in an INI file (section <window>).
//
// Threads: main thread only.

#include <filesystem>
#include <functional>
#include <string>

#include "app/window/view_form.h"

namespace app {

enum class TApplicationIniName { asAppIniName, asCustom };

class TZoFormStorage {
 public:
  // The placeholder that stands for the INI file derived from the program file.
  static constexpr const char* kAppIniName = "[ApplicationExeName.ini]";

  // `owner` is the window whose placement is kept. The window starts at the
  // window system's default position in its designed size. The settings store
  // is used unless the user is an administrator; a window's own settings
  // (SetUseRegistry...) are applied after construction and decide in the end.
  explicit TZoFormStorage(TForm& owner, std::filesystem::path programFile = {});
  // Gives the window back the handlers Loaded() took over.
  ~TZoFormStorage();
  TZoFormStorage(const TZoFormStorage&) = delete;
  TZoFormStorage& operator=(const TZoFormStorage&) = delete;

  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // The INI file of the INI mode.
  const std::string& IniFileName() const { return iniFileName_; }
  void SetIniFileName(const std::string& value);
  TApplicationIniName TypeIniName() const { return typeIniName_; }
  void SetTypeIniName(TApplicationIniName value);
  bool UseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool value) { useRegistry_ = value; }

  // Once the window's settings are in place: takes over the window's OnShow,
  // OnCloseQuery and OnDestroy, running the window's own handlers from them.
  void Loaded();

  // Applies the stored size and position (defaults: the current size, centred on the screen).
  void Restore();
  // Stores the current size and position. A failure to write the INI file
  // is returned as a text (empty on success); a registry failure is ignored.
  std::string Save();

  // \Software\<program file name without extension>\<window name>.
  const std::string& RegistryKey() const { return registryKey_; }
  // The program's directory + the program file name in lower case with ".ini".
  std::string DerivedIniFileName() const;

 private:
  void RestoreFromRegistry();
  void RestoreFromIni();
  std::string SaveToIni();
  // Saves, showing a failure in the program's general error box.
  void SaveReportingErrors();

  TForm& owner_;
  std::filesystem::path programFile_;
  bool active_ = true;
  std::string iniFileName_;
  TApplicationIniName typeIniName_ = TApplicationIniName::asAppIniName;
  bool useRegistry_ = false;
  std::string registryKey_;

  bool loaded_ = false;
  std::function<void()> previousOnShow_;
  std::function<void(bool&)> previousOnCloseQuery_;
  std::function<void()> previousOnDestroy_;
};

}  // namespace app
