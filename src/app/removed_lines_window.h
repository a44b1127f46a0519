// The removed-lines window "被削除行": a modal list of the lines a
// duplicate-removal command removed, with the copy, move and save actions of
// its "ファイル(&F)" menu. Each action calls the core's, so the step records
// the choice.
#ifndef PARVANE_APP_REMOVED_LINES_WINDOW_H_
#define PARVANE_APP_REMOVED_LINES_WINDOW_H_

#include <QDialog>

class QAction;
class QListWidget;

namespace parvane {

class Editor;

class RemovedLinesWindow : public QDialog {
  Q_OBJECT

 public:
  explicit RemovedLinesWindow(QWidget* parent);

  // Fills the list from editor.removed_lines in the view's font; does not show.
  void Prepare(Editor& editor, const QFont& font);
  // Prepare, then show modally.
  void Run(Editor& editor, const QFont& font);

  QListWidget* list() const { return list_; }
  QAction* copy_action() const { return copy_; }
  QAction* move_action() const { return move_; }
  QAction* save_action() const { return save_; }
  QAction* close_action() const { return close_; }

 private:
  Editor* editor_ = nullptr;
  QListWidget* list_;
  QAction* copy_;
  QAction* move_;
  QAction* save_;
  QAction* close_;
};

}  // namespace parvane

#endif  // PARVANE_APP_REMOVED_LINES_WINDOW_H_
