#include "app/qt/qt_look.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app::qt {

void RegisterFonts() {
  for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
    if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
  }
  QFont::insertSubstitution("Tahoma", "DejaVu Sans");  // only when Tahoma itself is missing
  QFont::insertSubstitution("Verdana", "DejaVu Sans");
  QFont::insertSubstitution("Times New Roman", "Liberation Serif");
}

QIcon AppIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(4, 6, 56, 40), 10, 10);
  bubble.moveTo(16, 44);
  bubble.lineTo(12, 60);
  bubble.lineTo(30, 45);
  painter.fillPath(bubble.simplified(), QColor(0x00, 0x80, 0x00));
  painter.setPen(Qt::white);
  QFont font("DejaVu Sans");
  font.setPixelSize(17);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(4, 6, 56, 40), Qt::AlignCenter, "SMS");
  return QIcon(pixmap);
}

}  // namespace app::qt
