// The find and replace dialog "検索 / 置換": two pages whose fields are the
// core's shared find/replace fields, kept for the whole run. A button runs
// the core's handler; a pattern error is shown and the dialog stays open so
// the pattern can be corrected.
#ifndef PARVANE_APP_FIND_DIALOG_H_
#define PARVANE_APP_FIND_DIALOG_H_

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace parvane {

class Editor;

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  FindDialog(Editor& editor, QWidget* parent);

  // Shows the dialog modally on the find or the replace page.
  void Run(bool replace_page);
  // Loads the fields from the shared ones and selects the page (no exec).
  void Prepare(bool replace_page);

  QLineEdit* edit3() const { return edit3_; }
  QLineEdit* edit1() const { return edit1_; }
  QLineEdit* edit2() const { return edit2_; }
  QCheckBox* match_case_f() const { return match_case_f_; }
  QCheckBox* match_case_r() const { return match_case_r_; }
  QCheckBox* extended_f() const { return extended_f_; }
  QCheckBox* extended_r() const { return extended_r_; }
  QPushButton* find_button() const { return find_; }
  QPushButton* regex_find_button() const { return regex_find_; }
  QPushButton* replace_button() const { return replace_; }
  QPushButton* regex_replace_button() const { return regex_replace_; }
  QTabWidget* pages() const { return pages_; }

  // Cancel, Esc and the close button keep what was typed and the case boxes
  // for the next showing and for playback, which reads the boxes. While a
  // find or replace runs they call cancel_request instead: the dialog is
  // modal, so the main window's "中止" cannot be reached then.
  void reject() override;
  void set_cancel_request(std::function<void()> cancel_request) {
    cancel_request_ = std::move(cancel_request);
  }

 private:
  void Store();  // the fields into the shared ones
  void Find(bool regex);
  void Replace(bool regex);
  void UpdateButtons();
  void ShowError(const char* what);

  Editor& editor_;
  std::function<void()> cancel_request_;
  bool running_ = false;  // a find or replace of this dialog runs
  QTabWidget* pages_;
  QLineEdit* edit3_;
  QCheckBox* match_case_f_;
  QCheckBox* extended_f_;  // "拡張構文": the regex button uses the extended syntax
  QPushButton* find_;
  QPushButton* regex_find_;
  QLineEdit* edit1_;
  QLineEdit* edit2_;
  QCheckBox* match_case_r_;
  QCheckBox* extended_r_;
  QPushButton* replace_;
  QPushButton* regex_replace_;
};

}  // namespace parvane

#endif  // PARVANE_APP_FIND_DIALOG_H_
