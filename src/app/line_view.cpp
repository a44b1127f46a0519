#include "app/line_view.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <string_view>

#include "app/line_model.h"
#include "app/qt_text.h"
#include "editor/document.h"

namespace parvane {
namespace {

// How many of the longest rows (by bytes) are measured with the font engine.
// Byte length times the pitch is exact for a fixed-pitch face; the few
// candidates cover faces whose fallback glyphs are not exactly two cells.
constexpr int kMeasuredCandidates = 32;

}  // namespace

QString ResolveViewFamily(const QString& name) {
  const QStringList families = QFontDatabase::families();
  for (const QString& f : families) {
    if (f.compare(name, Qt::CaseInsensitive) == 0) return f;
  }
  for (const char* preferred : {"Noto Sans Mono CJK JP", "IPAGothic", "IPAゴシック", "VL Gothic",
                                "Takao Gothic", "Noto Sans CJK JP"}) {
    const QString p = QString::fromUtf8(preferred);
    if (families.contains(p)) return p;
  }
  for (const QString& f : families) {
    if (QFontDatabase::isFixedPitch(f) &&
        QFontDatabase::writingSystems(f).contains(QFontDatabase::Japanese)) {
      return f;
    }
  }
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

LineDelegate::LineDelegate(LineView* view) : QStyledItemDelegate(view), view_(view) {}

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const QPalette& palette = view_->palette();
  const bool selected = option.state & QStyle::State_Selected;
  // Rows span the whole viewport, as a list box's do, even when narrower.
  QRect rect = option.rect;
  rect.setRight(std::max(rect.right(), view_->viewport()->width() - 1));
  painter->fillRect(rect, selected ? palette.brush(QPalette::Highlight)
                                   : palette.brush(QPalette::Base));
  const QByteArray bytes = index.data(LineModel::kSjisRole).toByteArray();
  const QColor text_colour =
      selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text);
  view_->painter().Paint(*painter, rect,
                         std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                         text_colour, MarkColour(palette));
  if ((option.state & QStyle::State_HasFocus) && index == view_->currentIndex()) {
    QPen pen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
    pen.setDashPattern({1, 1});
    painter->save();
    painter->setPen(pen);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return QSize(view_->widest_row(), view_->row_height());
}

LineView::LineView(LineModel* model, Document* doc, QWidget* parent)
    : QListView(parent), model_(model), doc_(doc) {
  setModel(model_);
  delegate_ = new LineDelegate(this);
  setItemDelegate(delegate_);
  setUniformItemSizes(true);
  setLayoutMode(QListView::SinglePass);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setTextElideMode(Qt::ElideNone);
  row_painter_ = std::make_unique<RowPainter>(font());
  SetViewFont(QStringLiteral("FixedSys"), 14);
}

void LineView::SetViewFont(const QString& name, int point_size) {
  QFont f(ResolveViewFamily(name));
  f.setPointSize(point_size > 0 ? point_size : 12);
  f.setStyleHint(QFont::TypeWriter);
  setFont(f);
  const ReturnMark mark = row_painter_->return_mark();
  const RuleLine rule = row_painter_->rule_line();
  const PrivateCodes* codes = row_painter_->private_codes();
  row_painter_ = std::make_unique<RowPainter>(f);
  row_painter_->set_private_codes(codes);
  row_painter_->set_return_mark(mark);
  row_painter_->set_rule_line(rule);
  UpdateViewMetrics();
}

void LineView::SetPrivateCodes(const PrivateCodes* codes) { row_painter_->set_private_codes(codes); }

void LineView::SetReturnMark(ReturnMark mark) {
  row_painter_->set_return_mark(mark);
  UpdateViewMetrics();
}

void LineView::SetRuleLine(RuleLine rule) {
  row_painter_->set_rule_line(rule);
  UpdateViewMetrics();
}

void LineView::SetSelectionStyle(SelectionStyle style) {
  style_ = style;
  setSelectionMode(style == SelectionStyle::kExtended ? QAbstractItemView::ExtendedSelection
                                                      : QAbstractItemView::MultiSelection);
  UpdateViewMetrics();
}

void LineView::UpdateViewMetrics() {
  const QFontMetrics& fm = row_painter_->metrics();
  row_height_ = fm.height() + 2;
  const int h = fm.height();
  const int cap = fm.horizontalAdvance(OmitString()) + kOmitSize + h + 8;
  const int pitch = std::max(1, fm.horizontalAdvance(QLatin1Char('0')));
  const LineStore& lines = doc_->lines();
  std::size_t longest = 0;
  for (std::string_view line : lines) longest = std::max(longest, line.size());
  int widest = 0;
  if (!lines.empty()) {
    const long long estimate = static_cast<long long>(longest) * pitch + h + 8;
    if (estimate / 2 >= cap) {
      // Even at half the pitch the longest row reaches the cap.
      widest = cap;
    } else {
      const std::size_t threshold = longest - longest / 8;
      int measured = 0;
      for (std::string_view line : lines) {
        if (line.size() < threshold) continue;
        const int w = fm.horizontalAdvance(FromSjis(line, row_painter_->private_codes())) + h + 8;
        widest = std::max(widest, w);
        if (widest >= cap || ++measured >= kMeasuredCandidates) break;
      }
      widest = std::min(widest, cap);
    }
  }
  widest_row_ = widest;
  emit delegate_->sizeHintChanged(model_->index(0, 0));
  doItemsLayout();
  viewport()->update();
}

void LineView::Freeze() {
  frozen_ = true;
  setUpdatesEnabled(false);
}

void LineView::Thaw() {
  PullSelection();
  UpdateViewMetrics();
  frozen_ = false;
  setUpdatesEnabled(true);
  viewport()->update();
}

void LineView::PullSelection() {
  pulling_ = true;
  QItemSelection selection;
  const std::vector<std::size_t> rows = doc_->SelectedRows();
  for (std::size_t i = 0; i < rows.size();) {
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    selection.append(QItemSelectionRange(model_->index(static_cast<int>(rows[i]), 0),
                                         model_->index(static_cast<int>(rows[j]), 0)));
    i = j + 1;
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  const long current = doc_->current_row();
  if (current >= 0 && static_cast<std::size_t>(current) < doc_->size()) {
    selectionModel()->setCurrentIndex(model_->index(static_cast<int>(current), 0),
                                      QItemSelectionModel::NoUpdate);
  } else {
    selectionModel()->clearCurrentIndex();
  }
  pulling_ = false;
}

void LineView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QListView::selectionChanged(selected, deselected);
  if (pulling_ || model_->changing()) return;
  const std::size_t n = doc_->size();
  for (const QItemSelectionRange& r : deselected) {
    for (int row = r.top(); row <= r.bottom() && static_cast<std::size_t>(row) < n; ++row) {
      doc_->Select(static_cast<std::size_t>(row), false);
    }
  }
  for (const QItemSelectionRange& r : selected) {
    for (int row = r.top(); row <= r.bottom() && static_cast<std::size_t>(row) < n; ++row) {
      doc_->Select(static_cast<std::size_t>(row), true);
    }
  }
  if (style_ == SelectionStyle::kExtended && doc_->SelectedCount() == 0 &&
      currentIndex().isValid()) {
    // Ctrl+click or Ctrl+Space on the only selected row would leave the
    // extended style with nothing selected, where a Delete would record a
    // step that deletes nothing. The row stays selected; this re-enters once.
    selectionModel()->select(currentIndex(), QItemSelectionModel::Select);
    return;
  }
  emit SelectionTextChanged();
}

void LineView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  if (pulling_ || model_->changing()) return;
  doc_->set_current_row(current.isValid() ? current.row() : -1);
  emit SelectionTextChanged();
}

void LineView::keyPressEvent(QKeyEvent* event) {
  if (frozen_) return;
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain) {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        emit EnterPressed();
        return;
      case Qt::Key_Left:
        emit LeftPressed();
        return;
      case Qt::Key_Right:
        emit RightPressed();
        return;
      default:
        break;
    }
  }
  QListView::keyPressEvent(event);
}

void LineView::mousePressEvent(QMouseEvent* event) {
  if (frozen_) return;
  QListView::mousePressEvent(event);
}

void LineView::mouseMoveEvent(QMouseEvent* event) {
  if (frozen_) return;
  QListView::mouseMoveEvent(event);
}

void LineView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (frozen_) return;
  QListView::mouseDoubleClickEvent(event);
  const QModelIndex index = currentIndex();
  if (index.isValid()) emit RowDoubleClicked(index.row());
}

}  // namespace parvane
