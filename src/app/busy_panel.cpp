#include "app/busy_panel.h"

#include <QPainter>
#include <algorithm>

namespace parvane {

BusyPanel::BusyPanel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAlignment(Qt::AlignCenter);
  setAutoFillBackground(true);
  setFixedSize(kWidth, kHeight);
  hide();
}

void BusyPanel::ShowMessage(const QString& message) {
  const QWidget* area = parentWidget();
  // Integer division toward zero, as the placement rule has it.
  move((area->width() - kWidth) / 2, (area->height() - kHeight) / 2);
  setText(message);
  raise();
  show();
}

GaugeStrip::GaugeStrip(QWidget* parent) : QWidget(parent) { hide(); }

void GaugeStrip::ShowPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  const QWidget* area = parentWidget();
  setGeometry(area->width() - kWidth, 0, kWidth, area->height());
  raise();
  if (!isVisible()) show();
  update();
}

void GaugeStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0, 0, 255));
  const int filled = height() * percent_ / 100;
  p.fillRect(QRect(0, height() - filled, width(), filled), Qt::white);
}

}  // namespace parvane
