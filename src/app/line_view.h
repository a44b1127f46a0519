// LineView: the document view ListBox1. A QListView over LineModel with
// uniform rows, painted by RowPainter; it mirrors its selection into the
// core's Document as the person clicks, and takes the Document's selection
// back after every command.
#ifndef PARVANE_APP_LINE_VIEW_H_
#define PARVANE_APP_LINE_VIEW_H_

#include <QListView>
#include <QStyledItemDelegate>
#include <memory>

#include "app/row_painter.h"
#include "editor/options.h"

namespace parvane {

class Document;
class LineModel;
class LineView;

// Paints selection and focus; RowPainter paints the row itself.
class LineDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit LineDelegate(LineView* view);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  LineView* view_;
};

class LineView : public QListView {
  Q_OBJECT

 public:
  LineView(LineModel* model, Document* doc, QWidget* parent = nullptr);

  // The view font; "FixedSys" or any missing face falls back to a fixed-pitch
  // face with Japanese glyphs, while the settings keep the chosen name.
  void SetViewFont(const QString& name, int point_size);
  const RowPainter& painter() const { return *row_painter_; }
  // The document's private codes, through which rows are decoded.
  void SetPrivateCodes(const PrivateCodes* codes);
  void SetReturnMark(ReturnMark mark);
  void SetRuleLine(RuleLine rule);
  // In the extended style the person can never leave no row selected: a
  // change that would deselect the last row keeps the current row selected.
  void SetSelectionStyle(SelectionStyle style);
  SelectionStyle selection_style() const { return style_; }

  // Row height (text height + 2) and horizontal extent: byte length times the
  // fixed pitch for every line, the font engine only for the widest
  // candidates, capped at the omission width.
  void UpdateViewMetrics();
  int row_height() const { return row_height_; }
  int widest_row() const { return widest_row_; }

  // A command starts: no repainting, no input until Thaw().
  void Freeze();
  // After a command: takes the Document's selection and current row (one
  // select() call), scrolls the current row into view, repaints once.
  void Thaw();
  bool frozen() const { return frozen_; }

  // Copies the Document's selection into the view (one select() call).
  void PullSelection();

 signals:
  void SelectionTextChanged();   // selection or current row changed by the person
  void EnterPressed();           // insert an empty line
  void LeftPressed();            // remove one leading space
  void RightPressed();           // add one leading space
  void RowDoubleClicked(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void selectionChanged(const QItemSelection& selected,
                        const QItemSelection& deselected) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  LineModel* model_;
  Document* doc_;
  std::unique_ptr<RowPainter> row_painter_;
  LineDelegate* delegate_;
  SelectionStyle style_ = SelectionStyle::kExtended;
  int row_height_ = 0;
  int widest_row_ = 0;
  bool frozen_ = false;
  bool pulling_ = false;  // selection changes come from the Document, not the person
};

// The face used for a requested font name: the name itself when installed,
// else a fixed-pitch face that has Japanese glyphs.
QString ResolveViewFamily(const QString& name);

}  // namespace parvane

#endif  // PARVANE_APP_LINE_VIEW_H_
