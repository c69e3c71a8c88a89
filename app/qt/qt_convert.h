#pragma once
// Conversions between the window logic's values and Qt's.
//
// Threads: pure conversions; safe from any thread.

#include <QColor>
#include <QFont>
#include <QString>

#include "app/core/view_types.h"

namespace app::qt {

inline QString ToQt(const AnsiString& text) { return QString::fromStdString(platform::AnsiToUtf8(text)); }
inline AnsiString FromQt(const QString& text) { return platform::Utf8ToAnsi(text.toStdString()); }

inline QColor ToQColor(TColor c) { return QColor(static_cast<int>(RedOf(c)), static_cast<int>(GreenOf(c)), static_cast<int>(BlueOf(c))); }
inline TColor FromQColor(const QColor& c) {
  return Rgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()), static_cast<unsigned>(c.blue()));
}

// The Qt font of a TFont (its colour goes to the palette).
inline QFont ToQFont(const TFont& font) {
  QFont f(QString::fromStdString(font.Name));
  f.setPointSize(font.Size);
  f.setBold(font.Bold);
  f.setItalic(font.Italic);
  f.setUnderline(font.Underline);
  return f;
}

}  // namespace app::qt
