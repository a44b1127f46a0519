// The windows besides the main one, created once and reused: the removed-lines
// window, the key-field dialog, the find/replace dialog, the batch window and
// the options dialog. The main window reaches them only through this class.
#ifndef PARVANE_APP_SECONDARY_WINDOWS_H_
#define PARVANE_APP_SECONDARY_WINDOWS_H_

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

#include "app/menus.h"

namespace parvane {

class BatchWindow;
class Editor;
class FindDialog;
class KeyFieldDialog;
class MainWindow;
class OptionsDialog;
class RemovedLinesWindow;

class SecondaryWindows {
 public:
  explicit SecondaryWindows(MainWindow* main);
  ~SecondaryWindows();

  void Startup();
  void CloseAll();

  void ShowBatch();
  void ShowFind(bool replace_page);
  void ShowOptions(bool about_page);
  void ShowRemovedLines(Editor& editor);
  std::optional<int> ChooseKeyField(const QString& caption, const QStringList& fields,
                                    const QFont& font);

  FindDialog* find_dialog() const { return find_; }
  KeyFieldDialog* key_dialog() const { return key_; }
  RemovedLinesWindow* removed_lines() const { return removed_; }
  BatchWindow* batch_window() const { return batch_; }
  OptionsDialog* options_dialog() const { return options_; }

 private:
  MainWindow* main_;
  FindDialog* find_;
  KeyFieldDialog* key_;
  RemovedLinesWindow* removed_;
  BatchWindow* batch_;
  OptionsDialog* options_;
};

}  // namespace parvane

#endif  // PARVANE_APP_SECONDARY_WINDOWS_H_
