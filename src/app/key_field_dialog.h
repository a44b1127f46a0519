// The key-field dialog of the comma-separated sorts: the fields of the first
// line, a "▽" button that chooses the selected one, and a label drawn
// sideways along the left strip.
#ifndef PARVANE_APP_KEY_FIELD_DIALOG_H_
#define PARVANE_APP_KEY_FIELD_DIALOG_H_

#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;

namespace parvane {

// A label drawn rotated by -90 degrees (reading upwards).
class SidewaysLabel : public QWidget {
  Q_OBJECT

 public:
  SidewaysLabel(const QString& text, QWidget* parent);
  QSize sizeHint() const override;

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
