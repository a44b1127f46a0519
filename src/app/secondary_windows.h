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

class Editor;
class MainWindow;

class SecondaryWindows {
 public:
  explicit SecondaryWindows(MainWindow* main);
  ~SecondaryWindows();

  // After the settings are read (slot titles for the lists).
  void Startup();
  void CloseAll();

  void ShowBatch();
  void ShowFind(bool replace_page);
  void ShowOptions(bool about_page);
  void ShowRemovedLines(Editor& editor);
  std::optional<int> ChooseKeyField(const QString& caption, const QStringList& fields,
                                    const QFont& font);
  void RunEncoder(AppAction action);

 private:
  MainWindow* main_;
};

}  // namespace parvane

#endif  // PARVANE_APP_SECONDARY_WINDOWS_H_
