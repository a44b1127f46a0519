// The command frame on screen: the busy panel Panel2 (320 x 40, sunken,
// centred over the document) and the progress strip Panel1 (16 px on the
// right edge, blue, filled white as the work advances, no text).
#ifndef PARVANE_APP_BUSY_PANEL_H_
#define PARVANE_APP_BUSY_PANEL_H_

#include <QLabel>
#include <QWidget>

namespace parvane {

class BusyPanel : public QLabel {
  Q_OBJECT

 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 40;

  explicit BusyPanel(QWidget* parent);
  // Shows message centred in the parent's client area.
  void ShowMessage(const QString& message);
};

class GaugeStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 16;

  explicit GaugeStrip(QWidget* parent);
  // Places the strip along the parent's right edge and shows percent.
  void ShowPercent(int percent);
  int percent() const { return percent_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
};

}  // namespace parvane

#endif  // PARVANE_APP_BUSY_PANEL_H_
