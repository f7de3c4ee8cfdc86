#include "thin_progress_bar.h"

#include <QPainter>
#include <algorithm>

namespace host::framework {
namespace {

const QColor kTrack(0x5a, 0x5a, 0x5a);
const QColor kFill(0x2f, 0x7a, 0xe5);
constexpr qreal kCornerRadius = 3;

}  // namespace

ThinProgressBar::ThinProgressBar() {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ThinProgressBar::SetRange(int maximum) {
  maximum_ = std::max(maximum, 0);
  value_ = std::clamp(value_, 0, maximum_);
  update();
}

void ThinProgressBar::SetValue(int value) {
  const int clamped = std::clamp(value, 0, maximum_);
  if (clamped == value_)
    return;
  value_ = clamped;
  update();
}

void ThinProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kTrack);
  painter.drawRoundedRect(rect(), kCornerRadius, kCornerRadius);
  if (maximum_ == 0 || value_ == 0)
    return;
  QRectF filled = rect();
  filled.setWidth(filled.width() * value_ / maximum_);
  painter.setBrush(kFill);
  painter.drawRoundedRect(filled, kCornerRadius, kCornerRadius);
}

}  // namespace host::framework
