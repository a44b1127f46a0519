#include "app/row_painter.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <algorithm>
#include <array>
#include <utility>

#include "app/qt_text.h"
#include "text/sjis.h"

namespace parvane {
namespace {

// The boxed return arrow, in hundredths of its cell. The first outline is
// filled odd-even, which leaves a square frame.
constexpr std::array<std::pair<int, int>, 10> kFrame = {
    {{4, 4}, {95, 4}, {95, 95}, {4, 95}, {4, 4}, {7, 7}, {92, 7}, {92, 92}, {7, 92}, {7, 7}}};
constexpr std::array<std::pair<int, int>, 10> kArrow = {{{60, 18},
                                                          {69, 18},
                                                          {69, 61},
                                                          {43, 61},
                                                          {43, 81},
                                                          {16, 57},
                                                          {16, 56},
                                                          {43, 32},
                                                          {43, 52},
                                                          {60, 52}}};

QPolygon MakePolygon(const std::array<std::pair<int, int>, 10>& points, int ox, int oy, int c) {
  QPolygon polygon;
  for (const auto& [px, py] : points) polygon << QPoint(ox + c * px / 100, oy + c * py / 100);
  return polygon;
}

}  // namespace

QString OmitString() { return QString::fromUtf8("<以下省略>"); }

QColor MarkColour(const QPalette& palette) {
  QColor back = palette.color(QPalette::Active, QPalette::Base);
  QColor high = palette.color(QPalette::Active, QPalette::Highlight);
  return QColor((back.red() + high.red()) / 2, (back.green() + high.green()) / 2,
                (back.blue() + high.blue()) / 2);
}

RowPainter::RowPainter(const QFont& font)
    : font_(font),
      metrics_(font),
      metrics_f_(font),
      rule_ink_(metrics_f_.boundingRect(QChar(kHeavyVertical))) {}

bool IsBoxDrawing(QChar c) { return c.unicode() >= 0x2500 && c.unicode() <= 0x257F; }

QString RowPainter::DisplayText(std::string_view sjis) const {
  QString text = FromSjis(sjis, codes_);
  const int width = metrics_.horizontalAdvance(text);
  if (width <= kOmitSize) return text;
  std::size_t keep = static_cast<std::size_t>(static_cast<long long>(kOmitSize) *
                                              static_cast<long long>(sjis.size()) / width);
  if (keep > 0 && keep < sjis.size()) {
    // A cut through a two-byte character would show a stray '?'.
    std::size_t start = SjisCharStart(sjis, keep - 1);
    if (start + SjisCharLength(sjis, start) > keep) keep = start;
  }
  return FromSjis(sjis.substr(0, keep), codes_) + OmitString();
}

void RowPainter::Paint(QPainter& painter, const QRect& rect, std::string_view sjis,
                       const QColor& text_colour, const QColor& mark_colour) const {
  const QString text = DisplayText(sjis);
  const int width = metrics_.horizontalAdvance(text);
  const int row_height = rect.height();
  painter.save();
  painter.setFont(font_);
  painter.setClipRect(rect);
  painter.setBackgroundMode(Qt::TransparentMode);

  if (rule_line_ != RuleLine::kNone) {
    QPen pen(mark_colour);
    pen.setWidth(0);
    if (rule_line_ == RuleLine::kDotted) {
      pen.setDashPattern({1, 1});
    }
    painter.setPen(pen);
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  }

  painter.setPen(text_colour);
  if (!text.isEmpty()) PaintText(painter, rect, text);

  if (return_mark_ != ReturnMark::kNone) {
    PaintReturnMark(painter, rect.left() + 4 + width, rect.top(), row_height, mark_colour);
  }
  painter.restore();
}

void RowPainter::PaintText(QPainter& painter, const QRect& rect, const QString& text) const {
  const int baseline = rect.top() + 1 + metrics_.ascent();
  if (!std::any_of(text.begin(), text.end(), IsBoxDrawing) || rule_ink_.height() <= 0) {
    painter.drawText(rect.left() + 4, baseline, text);
    return;
  }
  // Runs of ordinary text are drawn as usual; runs of box-drawing characters
  // are stretched vertically so that the ink of a vertical rule spans the
  // whole row, and the rules of a text table join from row to row. Every
  // box-drawing character gets the same stretch, so "┣" and "━" stay level.
  // The ink reaches two pixels past each edge (clipped), so that the
  // antialiased ends of the stroke never leave a faint pixel row at the seam.
  const qreal stretch = (rect.height() + 4) / rule_ink_.height();
  qreal x = rect.left() + 4;
  qsizetype start = 0;
  while (start < text.size()) {
    const bool box = IsBoxDrawing(text[start]);
    qsizetype end = start + 1;
    while (end < text.size() && IsBoxDrawing(text[end]) == box) ++end;
    const QString run = text.mid(start, end - start);
    if (box) {
      painter.save();
      painter.translate(x, rect.top() - 2);
      painter.scale(1.0, stretch);
      painter.drawText(QPointF(0, -rule_ink_.top()), run);
      painter.restore();
    } else {
      painter.drawText(QPointF(x, baseline), run);
    }
    x += metrics_f_.horizontalAdvance(run);
    start = end;
  }
}

void RowPainter::PaintReturnMark(QPainter& painter, int x, int y, int row_height,
                                 const QColor& colour) const {
  const int half = row_height / 2;
  if (return_mark_ == ReturnMark::kA) {
    painter.save();
    painter.setClipRect(QRect(x, y, half, 2 * half), Qt::IntersectClip);
    painter.setPen(colour);
    painter.drawText(x - half / 2, y + metrics_.ascent(), QString(QChar(0x2193)));
    painter.restore();
    return;
  }
  const int ox = x + row_height / 16;
  const int oy = y + row_height / 16;
  const int c = 14 * row_height / 16;
  painter.save();
  painter.setPen(colour);
  painter.setBrush(colour);
  painter.drawPolygon(MakePolygon(kFrame, ox, oy, c), Qt::OddEvenFill);
  painter.drawPolygon(MakePolygon(kArrow, ox, oy, c), Qt::OddEvenFill);
  painter.restore();
}

}  // namespace parvane
