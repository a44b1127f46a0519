// The batch window "連続自動処理ウィンドウ": a small modeless tool window that
// stays on top, with the list of the ten user commands (and the most recent
// command) over a note. Files dropped on it are run through the core's batch
// flow (ProcessDroppedFile) one by one and saved over themselves, while the
// main window's busy panel shows which file of how many is being processed.
// The entry point is ProcessDrop; the drop events and the "ファイルを追加..."
// button (for the keyboard) only forward to it.
#ifndef PARVANE_APP_BATCH_WINDOW_H_
#define PARVANE_APP_BATCH_WINDOW_H_

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "automation/batch.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace parvane {

class MainWindow;

class BatchWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 400;   // the drop-down's width, and the client area's
  static constexpr int kHeight = 128;  // the client area's height

  explicit BatchWindow(MainWindow* main);

  // Where the ten slot entries come from ("(%d) %s"); the options dialog's
  // list when set, the bound files' titles otherwise.
  void set_slot_entries(std::function<QStringList()> source) { slot_entries_ = std::move(source); }

  // Shows the window (centred the first time) and brings it to the front.
  void ShowWindow();

  // Rebuilds the list as each showing does: the ten slots, then "(-) " and
  // the most recent recorded step when there is one; nothing selected.
  void Refill();

  // Replaces the ten slot entries, keeping the selected position and the
  // most-recent-command entry.
  void ReplaceSlotEntries(const QStringList& entries);

  // The work of a drop. With nothing selected shows "処理が選択されていません。"
  // and returns no results. Otherwise hides the window, processes every file
  // in order (the first loads the steps, later ones reuse them with their
  // "@1st" answers), reports the files that were not processed in one
  // message, and shows the window again. Returns one result per file. Does
  // nothing while the main window runs a command.
  std::vector<BatchFileResult> ProcessDrop(const QStringList& files);

  // "ファイルを追加...": the way in without a mouse. With a process selected,
  // asks for files (several at once) and runs them as a drop would; with
  // none, says so before asking.
  void AddFiles();

  QComboBox* choices() const { return choices_; }
  QPushButton* add_button() const { return add_; }
  QPlainTextEdit* note() const { return note_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  MainWindow* main_;
  QComboBox* choices_;
  QPlainTextEdit* note_;
  QPushButton* add_;
  std::function<QStringList()> slot_entries_;
  bool placed_ = false;
  bool running_ = false;
};

}  // namespace parvane

#endif  // PARVANE_APP_BATCH_WINDOW_H_
