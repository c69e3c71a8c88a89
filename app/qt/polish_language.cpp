#include "app/qt/polish_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace app::qt {

PolishLanguage::PolishLanguage() {
  const QLocale polish(QLocale::Polish, QLocale::Poland);
  QLocale::setDefault(polish);
  installed_ = qtTexts_.load(polish, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
               QCoreApplication::installTranslator(&qtTexts_);
}

PolishLanguage::~PolishLanguage() {
  if (installed_) QCoreApplication::removeTranslator(&qtTexts_);
  QLocale::setDefault(previous_);
}

}  // namespace app::qt
