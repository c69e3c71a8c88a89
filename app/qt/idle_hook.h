#pragma once
// Runs a function whenever the Qt event loop has emptied its queue and is
// about to wait: the moment the window applies its availability rule.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QMetaObject>
#include <QObject>
#include <functional>

namespace app::qt {

// The hook lives as long as `context`.
QMetaObject::Connection RunWhenIdle(QObject* context, std::function<void()> idle);

}  // namespace app::qt
