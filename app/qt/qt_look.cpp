#include "app/qt/qt_look.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app::qt {

void RegisterFonts() {
  // Only the regular face: the bold file of fonts-wine carries the regular
  // letters with the wider spacing of bold ones, so bold text ("/dev/pts/3"
  // in the port box) showed gaps after narrow letters. Bold Tahoma is drawn
  // by emboldening the regular letters instead.
  const char* tahoma = "/usr/share/wine/fonts/tahoma.ttf";
  if (QFile::exists(tahoma)) QFontDatabase::addApplicationFont(tahoma);
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
