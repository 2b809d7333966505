#include "app/program_style.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

void ProgramStyle::install() { QApplication::setStyle(new ProgramStyle); }

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
    return QProxyStyle::standardIcon(icon, option, widget);
  // Two chevrons pointing right (or down), in the text colour.
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QApplication::palette().color(QPalette::ButtonText), 1.5));
  if (icon == SP_ToolBarVerticalExtensionButton) {
    p.translate(16, 0);
    p.rotate(90);
  }
  for (const double x : {4.0, 9.0}) p.drawPolyline(QPolygonF({QPointF(x, 4), QPointF(x + 3.5, 8), QPointF(x, 12)}));
  p.end();
  return QIcon(pixmap);
}
