// A Prompter that answers from a script and records every question, so the
// window's tests run without any real dialog.
#ifndef PARVANE_TESTS_APP_SCRIPTED_PROMPTER_H_
#define PARVANE_TESTS_APP_SCRIPTED_PROMPTER_H_

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "app/qt_host.h"

namespace parvane {

struct PromptLog {
  QStringList messages;  // text of every message box, in order
  QList<MessageIcon> icons;  // icon of every message box, in the same order
  QStringList prompts;   // prompt of every input box
  int open_dialogs = 0;
  int save_dialogs = 0;
  int multi_open_dialogs = 0;
};

class ScriptedPrompter : public Prompter {
 public:
  explicit ScriptedPrompter(PromptLog* log) : log_(log) {}

  std::deque<std::optional<QString>> inputs;  // nullopt: cancelled
  std::deque<Answer> answers;                 // for Yes/No boxes; default No / Cancel
  std::deque<std::optional<QString>> files;   // open and save dialogs
  std::deque<QStringList> file_lists;         // multi-select open dialogs; empty: cancelled

  std::optional<QString> InputBox(const QString&, const QString& prompt, const QString&) override {
    log_->prompts << prompt;
    std::optional<QString> v;
    if (!inputs.empty()) {
      v.swap(inputs.front());
      inputs.pop_front();
    }
    return v;
  }
  Answer Message(const QString& text, MessageIcon icon, MessageButtons buttons) override {
    log_->messages << text;
    log_->icons << icon;
    if (buttons == MessageButtons::kOk) return Answer::kOk;
    if (answers.empty()) return buttons == MessageButtons::kYesNo ? Answer::kNo : Answer::kCancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<QString> OpenFile(const QString&, const QString&, const QString&) override {
    ++log_->open_dialogs;
    return Next();
  }
  std::optional<QString> SaveFile(const QString&, const QString&, const QString&,
                                  const QString&) override {
    ++log_->save_dialogs;
    return Next();
  }

  QStringList OpenFiles(const QString&, const QString&) override {
    ++log_->multi_open_dialogs;
    if (file_lists.empty()) return {};
    QStringList v = file_lists.front();
    file_lists.pop_front();
    return v;
  }

 private:
  std::optional<QString> Next() {
    std::optional<QString> v;
    if (!files.empty()) {
      v.swap(files.front());
      files.pop_front();
    }
    return v;
  }
  PromptLog* log_;
};

}  // namespace parvane

#endif  // PARVANE_TESTS_APP_SCRIPTED_PROMPTER_H_
