#include "app/qt/idle_hook.h"

#include <QAbstractEventDispatcher>

namespace app::qt {

QMetaObject::Connection RunWhenIdle(QObject* context, std::function<void()> idle) {
  return QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, context,
                          [idle = std::move(idle)] { idle(); });
}

}  // namespace app::qt
