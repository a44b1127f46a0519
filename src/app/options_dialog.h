// The options dialog "オプション": the pages "全般" (the option check boxes,
// the view font), "ユーザー定義" (binding the ten user command slots to
// automatic-processing files) and "バージョン情報". Its check boxes write
// through to the editor's options at once, so a change is in effect even
// when the dialog is cancelled; only OK writes the settings file and gives
// the view the chosen font. The entry point is Run.
#ifndef PARVANE_APP_OPTIONS_DIALOG_H_
#define PARVANE_APP_OPTIONS_DIALOG_H_

#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace parvane {

class MainWindow;

// The path shown for a slot: path itself when measure(path) <= width,
// otherwise shortened folder by folder from the top ("/.../macros/a.pvx",
// "/.../a.pvx", ".../a.pvx", "a.pvx"), stopping as soon as it fits; the bare
// file name when nothing fits.
QString ShortenedPath(const QString& path, int width,
                      const std::function<int(const QString&)>& measure);

// The installed fixed-pitch families with Japanese glyphs, vertical-writing
// faces ("@...") left out, in the font database's order.
QStringList FixedPitchJapaneseFonts();

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Page { kGeneral = 0, kUser = 1, kVersion = 2 };

  explicit OptionsDialog(MainWindow* main);

  // After the settings are read: the check boxes from the options, the slot
  // entries from the bound files' titles.
  void Startup();
  // What each showing does (preview from the view font, list selections, the
  // first slot), then the page. Does not show the dialog.
  void Prepare(Page page);
  // Prepare, then show modally.
  void Run(Page page);

  // "(%d) %s" for the ten slots, as the list shows them.
  QStringList SlotEntries() const;

  QTabWidget* pages() const { return pages_; }
  QCheckBox* auto_backup_box() const { return auto_backup_; }
  QCheckBox* backup_box() const { return backup_; }
  QCheckBox* trash_box() const { return trash_; }
  QCheckBox* full_path_box() const { return full_path_; }
  QCheckBox* position_box() const { return position_; }
  QCheckBox* charset_fixed_box() const { return charset_fixed_; }
  QCheckBox* detect_utf8_box() const { return detect_utf8_; }
  QComboBox* font_list() const { return font_list_; }
  QComboBox* size_list() const { return size_list_; }
  QSpinBox* undo_memory_box() const { return undo_memory_; }
  QLabel* preview() const { return preview_; }
  QComboBox* slot_list() const { return slot_list_; }
  QLabel* path_label() const { return path_label_; }
  QPushButton* change_button() const { return change_; }
  QPlainTextEdit* note() const { return note_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }
  // The font the preview shows and OK applies: the chosen name (kept even
  // when not installed) and size.
  QString preview_font_name() const { return preview_name_; }
  int preview_font_size() const { return preview_size_; }

 signals:
  // A slot was bound to a file: its list entry and menu caption changed.
  void SlotEntriesChanged();

 private:
  QWidget* BuildGeneralPage();
  QWidget* BuildUserPage();
  QWidget* BuildVersionPage();
  void UpdateTrashEnabled();
  void SetPreview(const QString& name, int size);
  void ShowSlotPath();
  void ChangeSlotFile();
  void Ok();

  MainWindow* main_;
  QTabWidget* pages_;
  QCheckBox* auto_backup_;
  QCheckBox* backup_;
  QCheckBox* trash_;
  QCheckBox* full_path_;
  QCheckBox* position_;
  QCheckBox* charset_fixed_;
  QCheckBox* detect_utf8_;
  QComboBox* font_list_;
  QComboBox* size_list_;
  // The undo history's budget in MB. Unlike the check boxes it takes effect
  // with OK only: typing "512" must not pass through a budget of 5 MB, which
  // would drop snapshots at the next command.
  QSpinBox* undo_memory_;
  QLabel* preview_;
  QComboBox* slot_list_;
  QLabel* path_label_;
  QPushButton* change_;
  QPlainTextEdit* note_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QString preview_name_;
  int preview_size_ = 12;
  bool preparing_ = false;  // list selections made by Prepare leave the preview alone
};

}  // namespace parvane

#endif  // PARVANE_APP_OPTIONS_DIALOG_H_
