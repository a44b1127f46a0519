// MainWindow: the document window. It owns the editor (document, state,
// working lists), the automation state and the Qt Host, shows the document in
// the line view, runs every menu item through one dispatcher, and carries out
// start-up (settings, command-line files, recovery copy) and shutdown.
#ifndef PARVANE_APP_MAIN_WINDOW_H_
#define PARVANE_APP_MAIN_WINDOW_H_

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <filesystem>
#include <memory>

#include "app/menus.h"
#include "app/qt_host.h"
#include "app/settings.h"
#include "automation/automation_state.h"
#include "editor/editor.h"
#include "editor/recovery_copy.h"

class QLabel;
class QListWidget;
class QSplitter;
class QStackedWidget;

namespace parvane {

class BusyPanel;
class GaugeStrip;
class LineModel;
class LineView;
class SecondaryWindows;

struct MainWindowSetup {
  SettingsPaths paths;          // empty settings path: DefaultSettingsPaths()
  QStringList files;            // command-line files: the first replaces, the rest append
  std::unique_ptr<Prompter> prompter;  // null: real dialogs
};

class MainWindow : public QMainWindow, public HostWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowSetup setup = {});
  ~MainWindow() override;

  // First showing: settings, view style, user-command captions, command-line
  // files, the recovery copy. Runs once (showEvent calls it too).
  void Startup();
  // Writes the window's settings and deletes the recovery copy. Runs once.
  void Shutdown();

  // Runs a menu item as the person choosing it would. Returns false when it
  // was refused because a command is running.
  bool Trigger(QAction* action);
  bool TriggerCommand(int code);
  bool TriggerApp(AppAction action);

  // Loads files as a drop does (append: Ctrl held for the first file).
  void DropFiles(const QStringList& files, bool ctrl_held);

  Editor& editor() { return editor_; }
  AutomationState& automation() { return automation_; }
  QtHost& host() { return host_; }
  const Menus& menus() const { return menus_; }
  LineView* view() const { return view_; }
  LineModel* model() const { return model_; }
  QListWidget* record_list() const { return record_list_; }
  QString StatusText() const;
  QString CodeStatusText() const;
  bool busy() const { return busy_depth_ > 0; }
  bool clipboard_linked() const { return clipboard_linked_; }
  const SettingsPaths& paths() const { return paths_; }
  BusyPanel* busy_panel() const { return busy_panel_; }
  GaugeStrip* gauge() const { return gauge_; }
  SecondaryWindows* windows() const { return windows_.get(); }
  QStackedWidget* menu_stack() const { return menu_stack_; }
  // "最近使ったファイル", newest first.
  const QStringList& recent_files() const { return recent_files_; }
  // Opens a recent file as "開く" does; a file that has gone is dropped
  // from the list (after the loader has said so).
  void OpenRecentFile(const QString& path);

  // HostWindow
  void OnCommandStarted(const QString& busy_message) override;
  void OnProgress(int percent) override;
  void OnCommandEnded() override;
  void OnRowsFound(std::size_t count) override;
  void OnShowRemovedLines(Editor& editor) override;
  std::optional<int> OnChooseKeyField(const QString& caption, const QStringList& fields) override;

  // Sets a user slot's menu caption from its bound file's title.
  void RefreshUserCaption(int slot);
  // Re-applies the view font and title after the options dialog.
  void ApplyOptions();
  // A first line for the busy panel above each command's message (the batch
  // window's "file k of n"); empty for none.
  void SetBusyHeading(const QString& heading) { busy_heading_ = heading; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildWidgets();
  void ConnectView();
  void RunApp(AppAction action);
  void RunCommandCode(int code);
  // Runs work unless a command is running; reports an escaped error.
  bool Dispatch(const std::function<void()>& work);
  void UpdateTitle();
  void ShowProductStatus();
  void ShowSelectionStatus();
  void SyncChecks();  // save-code, view-choice and recording items
  // "元に戻す" and "やり直し" name what they would take back or bring back and
  // are greyed when there is nothing.
  void SyncUndoItems();
  void SetClipboardLinked(bool on);
  void OnClipboardChanged();
  void LoadFile(const QString& file, bool append);
  bool ConfirmClose();
  void ShowHelp();
  void ShowFileInformation();
  // Puts the document's file in front of the recent files when it changed.
  void RememberCurrentFile();
  void RebuildRecentMenu();

  SettingsPaths paths_;
  // This instance's recovery copy, claimed at start-up, released at shutdown.
  std::unique_ptr<RecoverySlot> recovery_slot_;
  QStringList startup_files_;
  QtHost host_;
  Editor editor_;
  AutomationState automation_;

  Menus menus_;
  QStackedWidget* menu_stack_ = nullptr;
  LineModel* model_ = nullptr;
  LineView* view_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QListWidget* record_list_ = nullptr;  // ListBox2
  BusyPanel* busy_panel_ = nullptr;     // Panel2
  GaugeStrip* gauge_ = nullptr;         // Panel1
  QLabel* status_label_ = nullptr;      // StatusBar1
  QLabel* code_label_ = nullptr;        // the save code and line break, right of it
  // Rows the last find selected, shown when its frame ends (nullopt: no find).
  std::optional<std::size_t> found_rows_;
  QWidget* central_ = nullptr;
  std::unique_ptr<SecondaryWindows> windows_;

  int busy_depth_ = 0;
  bool dispatching_ = false;
  int saved_scroll_ = 0;
  QElapsedTimer pump_timer_;
  bool started_ = false;
  bool shut_down_ = false;
  bool clipboard_linked_ = false;
  bool clipboard_pending_ = false;
  QString busy_heading_;
  QStringList recent_files_;
};

}  // namespace parvane

#endif  // PARVANE_APP_MAIN_WINDOW_H_
