// How one row of the line view looks: the text at (4, 1), the omission of
// rows wider than the omission width, the return mark after the text and the
// rule line under it. A plain class so that tests can paint into a QImage;
// the delegate only decides colours and selection.
#ifndef PARVANE_APP_ROW_PAINTER_H_
#define PARVANE_APP_ROW_PAINTER_H_

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QRectF>
#include <QPalette>
#include <QString>
#include <string_view>

class QPainter;
class QRect;

namespace parvane {

class PrivateCodes;

enum class ReturnMark { kNone = 0, kA = 1, kB = 2 };  // "Control.ReturnMark"
enum class RuleLine { kNone = 0, kDotted = 1, kSolid = 2 };  // "Control.Line"

inline constexpr int kOmitSize = 8192;  // rows wider than this (px) are cut
inline constexpr char16_t kHeavyVertical = u'\u2503';  // "┃", the rule of a text table

// True for the box-drawing characters (U+2500-U+257F) that text tables are
// drawn with; their vertical strokes are stretched to the row's full height.
bool IsBoxDrawing(QChar c);

// The omission marker of the main view.
QString OmitString();

// The colour of return marks and rule lines: each component is the integer
// half of the sum of the window background's and the selection highlight's.
QColor MarkColour(const QPalette& palette);

class RowPainter {
 public:
  explicit RowPainter(const QFont& font);

  void set_return_mark(ReturnMark mark) { return_mark_ = mark; }
  void set_rule_line(RuleLine rule) { rule_line_ = rule; }
  ReturnMark return_mark() const { return return_mark_; }
  RuleLine rule_line() const { return rule_line_; }
  const QFont& font() const { return font_; }
  const QFontMetrics& metrics() const { return metrics_; }
  // The document's private codes, through which rows are decoded.
  void set_private_codes(const PrivateCodes* codes) { codes_ = codes; }
  const PrivateCodes* private_codes() const { return codes_; }

  // The text drawn for a row: the whole row, or, when it is wider than
  // kOmitSize pixels, its first floor(kOmitSize * bytes / width) bytes (never
  // splitting a two-byte character) followed by the omission marker.
  QString DisplayText(std::string_view sjis) const;

  // Paints the row's text and decorations into rect. The background is the
  // caller's; text is drawn in text_colour, marks and rules in mark_colour.
  // The vertical strokes of box-drawing characters reach from the top to the
  // bottom pixel row of rect, so a table's rules join between rows whatever
  // the font's line height.
  void Paint(QPainter& painter, const QRect& rect, std::string_view sjis, const QColor& text_colour,
             const QColor& mark_colour) const;

 private:
  void PaintText(QPainter& painter, const QRect& rect, const QString& text) const;
  void PaintReturnMark(QPainter& painter, int x, int y, int row_height, const QColor& colour) const;

  QFont font_;
  QFontMetrics metrics_;
  QFontMetricsF metrics_f_;
  QRectF rule_ink_;  // the ink of "┃", relative to the baseline
  ReturnMark return_mark_ = ReturnMark::kA;
  RuleLine rule_line_ = RuleLine::kDotted;
  const PrivateCodes* codes_ = nullptr;
};

}  // namespace parvane

#endif  // PARVANE_APP_ROW_PAINTER_H_
