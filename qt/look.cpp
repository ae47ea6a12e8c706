#include "qt/look.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleFactory>

namespace lxr4 {

QFont ControlFont() {
  QFont font;
  font.setFamilies({"DejaVu Sans", "Verdana", "Liberation Sans", "Arial"});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(10);
  return font;
}

QFont HeadingFont(const QString& caption, int width) {
  QFont font = ControlFont();
  font.setBold(true);
  for (int size = 16; size >= 10; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).horizontalAdvance(caption) <= width) break;
  }
  return font;
}

void ApplyClassicLook() {
  if (QStyle* style = QStyleFactory::create("Windows")) {
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
  }
  QApplication::setFont(ControlFont());
}

}  // namespace lxr4
