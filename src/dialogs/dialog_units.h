#pragma once
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <algorithm>

// Dialog templates are laid out in dialog units: a quarter of the font's
// average character width across, an eighth of its height down. Scaling
// by the font keeps the proportions whatever font the desktop uses.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    baseX_ = std::max(1, (fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") + 26) / 52);
    baseY_ = std::max(1, fm.height());
  }
  QRect operator()(int x, int y, int w, int h) const {
    return QRect(x * baseX_ / 4, y * baseY_ / 8, w * baseX_ / 4, h * baseY_ / 8);
  }
  QSize size(int w, int h) const { return QSize(w * baseX_ / 4, h * baseY_ / 8); }

 private:
  int baseX_ = 1;
  int baseY_ = 1;
};
