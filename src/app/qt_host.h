// QtHost: the core's Host on the desktop. Converts Shift_JIS at the boundary,
// asks through a Prompter (real dialogs, or a script in tests) and hands the
// command frame's start, progress and end to the window.
#ifndef PARVANE_APP_QT_HOST_H_
#define PARVANE_APP_QT_HOST_H_

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "editor/host.h"

class QWidget;

namespace parvane {

// The questions a person answers. Texts are Qt strings.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                          const QString& initial) = 0;
  virtual Answer Message(const QString& text, MessageIcon icon, MessageButtons buttons) = 0;
  // filter is in Qt's form ("caption (*.txt);;...").
  virtual std::optional<QString> OpenFile(const QString& title, const QString& filter,
                                          const QString& initial) = 0;
  virtual std::optional<QString> SaveFile(const QString& title, const QString& filter,
                                          const QString& default_suffix, const QString& initial) = 0;
  // Several existing files at once; empty when cancelled. By default one
  // file through OpenFile.
  virtual QStringList OpenFiles(const QString& title, const QString& filter);
};

// Real Qt dialogs over a parent window, captioned with the product name.
class DialogPrompter : public Prompter {
 public:
  explicit DialogPrompter(QWidget* parent) : parent_(parent) {}
  std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                  const QString& initial) override;
  Answer Message(const QString& text, MessageIcon icon, MessageButtons buttons) override;
  std::optional<QString> OpenFile(const QString& title, const QString& filter,
                                  const QString& initial) override;
  std::optional<QString> SaveFile(const QString& title, const QString& filter,
                                  const QString& default_suffix, const QString& initial) override;
  QStringList OpenFiles(const QString& title, const QString& filter) override;

 private:
  QWidget* parent_;
};

// What the window does for the command frame and the secondary windows.
class HostWindow {
 public:
  virtual ~HostWindow() = default;
  virtual void OnCommandStarted(const QString& busy_message) = 0;
  virtual void OnProgress(int percent) = 0;
  virtual void OnCommandEnded() = 0;
  virtual void OnRowsFound(std::size_t count) = 0;
  virtual void OnShowRemovedLines(Editor& editor) = 0;
  virtual std::optional<int> OnChooseKeyField(const QString& caption, const QStringList& fields) = 0;
};

// "a (*.txt)|*.txt|b (*.*)|*.*" -> "a (*.txt);;b (*)". On this platform "*.*"
// would hide files without an extension, so it becomes "*".
QString QtFilter(const QString& filter);

// Message text from the core: CR LF pairs become line breaks.
QString MessageText(std::string_view sjis, const PrivateCodes* codes = nullptr);

class QtHost : public Host {
 public:
  QtHost(HostWindow* window, std::unique_ptr<Prompter> prompter);

  void set_prompter(std::unique_ptr<Prompter> prompter) { prompter_ = std::move(prompter); }
  Prompter& prompter() { return *prompter_; }

  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override;
  Answer Message(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
  std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec& dialog) override;
  std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec& dialog) override;
  std::string ClipboardText() override;
  void SetClipboardText(std::string_view text) override;
  void CommandStarted(std::string_view busy_message) override;
  void Progress(int percent) override;
  void CommandEnded() override;
  void RowsFound(std::size_t count) override;
  void ShowRemovedLines(Editor& editor) override;
  std::optional<int> ChooseKeyField(std::string_view caption, const Lines& fields) override;
  bool CancelRequested() override;

  // "中止" or Esc while a command runs: the core stops at its next progress
  // report. The request stays until ClearCancelRequest, when the person's
  // next command starts, so that every step of a played run sees it.
  void RequestCancel() { cancel_requested_ = true; }
  void ClearCancelRequest() {
    cancel_requested_ = false;
    cancel_seen_ = false;
  }
  // True once the core has been told of the request (and so has stopped a
  // command), not merely when the person asked after the work was done.
  bool CancelSeen() const { return cancel_seen_; }

 private:
  HostWindow* window_;
  std::unique_ptr<Prompter> prompter_;
  bool cancel_requested_ = false;
  bool cancel_seen_ = false;
};

}  // namespace parvane

#endif  // PARVANE_APP_QT_HOST_H_
