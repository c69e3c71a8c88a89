#include "app/qt/polish_language.h"

#include <QCoreApplication>
#include <QFileSystemModel>
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

QVariant FileListInProgramLanguage::data(const QModelIndex& index, int role) const {
  constexpr int kSizeColumn = 1;
  constexpr int kDateColumn = 3;
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (role != Qt::DisplayRole || files == nullptr) return QIdentityProxyModel::data(index, role);
  const QModelIndex file = mapToSource(index);
  if (index.column() == kDateColumn) {
    return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
  }
  if (index.column() == kSizeColumn && !files->isDir(file)) return QLocale().formattedDataSize(files->size(file));
  return QIdentityProxyModel::data(index, role);
}

}  // namespace app::qt
