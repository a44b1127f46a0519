// The key-field dialog of the comma-separated sorts: the fields of the first
// line, a "▽" button that chooses the selected one, and a label written
// vertically down the left strip.
#ifndef PARVANE_APP_KEY_FIELD_DIALOG_H_
#define PARVANE_APP_KEY_FIELD_DIALOG_H_

#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;

namespace parvane {

// A label in vertical writing: read top to bottom, each character upright
// in its own cell, as Japanese is written vertically. The characters whose
// horizontal shape would be wrong on end (the long-vowel mark, dashes,
// brackets) are turned a quarter clockwise; the comma and full stop sit in
// the upper right of their cells.
class VerticalLabel : public QWidget {
  Q_OBJECT

 public:
  VerticalLabel(const QString& text, QWidget* parent);
  QSize sizeHint() const override;
  // The height of one character cell.
  int CellHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

class KeyFieldDialog : public QDialog {
  Q_OBJECT

 public:
  explicit KeyFieldDialog(QWidget* parent);

  // Fills the list (nothing selected) and sets the caption; does not show.
  void Prepare(const QString& caption, const QStringList& fields, const QFont& font);
  // Shows modally; the chosen field, or nullopt when closed otherwise.
  std::optional<int> Run(const QString& caption, const QStringList& fields, const QFont& font);
  std::optional<int> chosen() const { return chosen_; }

  QListWidget* list() const { return list_; }
  QPushButton* choose_button() const { return choose_; }

 private:
  QListWidget* list_;
  QPushButton* choose_;
  std::optional<int> chosen_;
};

}  // namespace parvane

#endif  // PARVANE_APP_KEY_FIELD_DIALOG_H_
