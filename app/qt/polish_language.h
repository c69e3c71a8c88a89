#pragma once
// The program speaks Polish whatever the desktop's language: Qt's own texts
// (the file dialog, the buttons of the message boxes) from Debian's Qt
// translations, and dates and numbers in Polish form. While an object lives;
// the previous language comes back when it goes.
//
// Threads: main (GUI) thread only.

#include <QIdentityProxyModel>
#include <QLocale>
#include <QTranslator>

namespace app::qt {

class PolishLanguage {
 public:
  PolishLanguage();
  ~PolishLanguage();
  PolishLanguage(const PolishLanguage&) = delete;
  PolishLanguage& operator=(const PolishLanguage&) = delete;

  // False when Qt's Polish translations are not installed (qt6-translations-l10n):
  // Qt's own texts then stay in English.
  bool QtTextsInstalled() const { return installed_; }

 private:
  QLocale previous_;
  QTranslator qtTexts_;
  bool installed_ = false;
};

// The file list of a file dialog with the dates and sizes in the program's
// language: Qt's own list writes them in the desktop's, whatever the
// program's language is.
class FileListInProgramLanguage final : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override;
};

}  // namespace app::qt
