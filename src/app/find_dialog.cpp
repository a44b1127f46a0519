#include "app/find_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "app/qt_host.h"
#include "app/qt_text.h"
#include "automation/command_table.h"
#include "automation/run_command.h"
#include "commands/find_replace.h"
#include "editor/cancel.h"
#include "editor/editor.h"
#include "editor/error_text.h"

namespace parvane {

FindDialog::FindDialog(Editor& editor, QWidget* parent) : QDialog(parent), editor_(editor) {
  setWindowTitle(QString::fromUtf8("検索 / 置換"));
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  layout->addWidget(pages_);

  auto* find_page = new QWidget(pages_);
  auto* find_layout = new QVBoxLayout(find_page);
  auto* find_label = new QLabel(QString::fromUtf8("検索する文字列(&N):"), find_page);
  edit3_ = new QLineEdit(find_page);
  find_label->setBuddy(edit3_);
  match_case_f_ = new QCheckBox(QString::fromUtf8("大文字と小文字を区別する(&C)"), find_page);
  extended_f_ = new QCheckBox(QString::fromUtf8("拡張構文"), find_page);
  extended_f_->setToolTip(QString::fromUtf8("正規表現で \\d \\w \\s、{m,n}、グループ ( ) と (?: ) を使う"));
  find_ = new QPushButton(QString::fromUtf8("検索(&F)"), find_page);
  regex_find_ = new QPushButton(QString::fromUtf8("正規表現で検索(&M)"), find_page);
  auto* find_cancel = new QPushButton(QString::fromUtf8("キャンセル"), find_page);
  find_layout->addWidget(find_label);
  find_layout->addWidget(edit3_);
  find_layout->addWidget(match_case_f_);
  find_layout->addWidget(extended_f_);
  auto* find_buttons = new QHBoxLayout;
  find_buttons->addStretch();
  find_buttons->addWidget(find_);
  find_buttons->addWidget(regex_find_);
  find_buttons->addWidget(find_cancel);
  find_layout->addLayout(find_buttons);
  pages_->addTab(find_page, QString::fromUtf8("検索"));

  auto* replace_page = new QWidget(pages_);
  auto* replace_layout = new QVBoxLayout(replace_page);
  auto* find_label2 = new QLabel(QString::fromUtf8("検索する文字列(&N):"), replace_page);
  edit1_ = new QLineEdit(replace_page);
  find_label2->setBuddy(edit1_);
  auto* with_label = new QLabel(QString::fromUtf8("置換後の文字列(&P):"), replace_page);
  edit2_ = new QLineEdit(replace_page);
  with_label->setBuddy(edit2_);
  match_case_r_ = new QCheckBox(QString::fromUtf8("大文字と小文字を区別する(&C)"), replace_page);
  extended_r_ = new QCheckBox(QString::fromUtf8("拡張構文"), replace_page);
  extended_r_->setToolTip(
      QString::fromUtf8("正規表現で \\d \\w \\s、{m,n}、グループ ( ) と (?: ) を使い、置換後の文字列で \\1～\\9 を使う"));
  replace_ = new QPushButton(QString::fromUtf8("すべて置換(&A)"), replace_page);
  regex_replace_ = new QPushButton(QString::fromUtf8("正規表現で置換(&S)"), replace_page);
  auto* replace_cancel = new QPushButton(QString::fromUtf8("キャンセル"), replace_page);
  replace_layout->addWidget(find_label2);
  replace_layout->addWidget(edit1_);
  replace_layout->addWidget(with_label);
  replace_layout->addWidget(edit2_);
  replace_layout->addWidget(match_case_r_);
  replace_layout->addWidget(extended_r_);
  auto* replace_buttons = new QHBoxLayout;
  replace_buttons->addStretch();
  replace_buttons->addWidget(replace_);
  replace_buttons->addWidget(regex_replace_);
  replace_buttons->addWidget(replace_cancel);
  replace_layout->addLayout(replace_buttons);
  pages_->addTab(replace_page, QString::fromUtf8("置換"));

  for (QPushButton* b : {find_, regex_find_, find_cancel, replace_, regex_replace_, replace_cancel}) {
    b->setAutoDefault(false);
  }
  connect(find_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(replace_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(find_, &QPushButton::clicked, this, [this] { Find(false); });
  connect(regex_find_, &QPushButton::clicked, this, [this] { Find(true); });
  connect(replace_, &QPushButton::clicked, this, [this] { Replace(false); });
  connect(regex_replace_, &QPushButton::clicked, this, [this] { Replace(true); });
  connect(edit3_, &QLineEdit::textChanged, this, &FindDialog::UpdateButtons);
  connect(edit1_, &QLineEdit::textChanged, this, &FindDialog::UpdateButtons);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
    // The page's default button and its first field take over.
    find_->setDefault(page == 0);
    replace_->setDefault(page == 1);
    (page == 0 ? edit3_ : edit1_)->setFocus();
  });
  find_->setDefault(true);
  UpdateButtons();
}

void FindDialog::UpdateButtons() {
  find_->setEnabled(!edit3_->text().isEmpty());
  regex_find_->setEnabled(!edit3_->text().isEmpty());
  replace_->setEnabled(!edit1_->text().isEmpty());
  regex_replace_->setEnabled(!edit1_->text().isEmpty());
}

void FindDialog::Prepare(bool replace_page) {
  const FindReplaceFields& f = SharedFindReplaceFields();
  edit3_->setText(FromSjis(f.find_text, &editor_.private_codes));
  match_case_f_->setChecked(f.find_match_case);
  extended_f_->setChecked(f.find_extended);
  edit1_->setText(FromSjis(f.replace_find_text, &editor_.private_codes));
  edit2_->setText(FromSjis(f.replace_with_text, &editor_.private_codes));
  match_case_r_->setChecked(f.replace_match_case);
  extended_r_->setChecked(f.replace_extended);
  pages_->setCurrentIndex(replace_page ? 1 : 0);
  find_->setDefault(!replace_page);
  replace_->setDefault(replace_page);
  QLineEdit* first = replace_page ? edit1_ : edit3_;
  first->setFocus();
  first->selectAll();
  UpdateButtons();
}

void FindDialog::Run(bool replace_page) {
  Prepare(replace_page);
  exec();
}

void FindDialog::Store() {
  FindReplaceFields& f = SharedFindReplaceFields();
  f.find_text = ToSjis(edit3_->text(), &editor_.private_codes);
  f.find_match_case = match_case_f_->isChecked();
  f.replace_find_text = ToSjis(edit1_->text(), &editor_.private_codes);
  f.replace_with_text = ToSjis(edit2_->text(), &editor_.private_codes);
  f.replace_match_case = match_case_r_->isChecked();
  f.find_extended = extended_f_->isChecked();
  f.replace_extended = extended_r_->isChecked();
}

void FindDialog::reject() {
  if (running_) {
    if (cancel_request_) cancel_request_();
    return;
  }
  Store();
  QDialog::reject();
}

namespace {

SearchMode ModeOf(bool regex, bool extended) {
  if (!regex) return SearchMode::kPlain;
  return extended ? SearchMode::kExtendedRegex : SearchMode::kRegex;
}

}  // namespace

void FindDialog::ShowError(const char* what) {
  // The error is the pattern's; the dialog stays so it can be corrected.
  editor_.host().Message(ErrorDisplayText(what), MessageIcon::kError, MessageButtons::kOk);
}

void FindDialog::Find(bool regex) {
  if (edit3_->text().isEmpty()) return;
  Store();
  const FindReplaceFields& f = SharedFindReplaceFields();
  running_ = true;
  try {
    const SearchMode mode = ModeOf(regex, f.find_extended);
    RunAsCommand(editor_, SearchCommand(mode, false),
                 [&] { FindRows(editor_, f.find_text, mode, f.find_match_case); });
  } catch (const CommandCancelled&) {
    // Nothing to correct: the person stopped it, so the dialog goes too.
    running_ = false;
    reject();
    return;
  } catch (const std::exception& e) {
    running_ = false;
    ShowError(e.what());
    edit3_->setFocus();
    return;
  }
  running_ = false;
  accept();
}

void FindDialog::Replace(bool regex) {
  if (edit1_->text().isEmpty()) return;
  Store();
  const FindReplaceFields& f = SharedFindReplaceFields();
  running_ = true;
  try {
    const SearchMode mode = ModeOf(regex, f.replace_extended);
    RunAsCommand(editor_, SearchCommand(mode, true), [&] {
      ReplaceInLines(editor_, f.replace_find_text, f.replace_with_text, mode, f.replace_match_case);
    });
  } catch (const CommandCancelled&) {
    running_ = false;
    reject();
    return;
  } catch (const std::exception& e) {
    running_ = false;
    ShowError(e.what());
    edit1_->setFocus();
    return;
  }
  running_ = false;
  accept();
}

}  // namespace parvane
