#include "app/qt_host.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "app/qt_text.h"
#include "editor/editor.h"

namespace parvane {

QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString caption = parts[i];
    // A file dialog here takes its patterns from the parentheses, and "*.*"
    // would hide every file without a dot, which the caption means to show.
    caption.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    out << caption;
  }
  return out.join(QStringLiteral(";;"));
}

QString MessageText(std::string_view sjis, const PrivateCodes* codes) {
  QString text = FromSjis(sjis, codes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::optional<QString> DialogPrompter::InputBox(const QString& caption, const QString& prompt,
                                                const QString& initial) {
  bool ok = false;
  QString answer =
      QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

Answer DialogPrompter::Message(const QString& text, MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(parent_);
  box.setWindowTitle(FromUtf8(kProductName));
  box.setText(text);
  switch (icon) {
    case MessageIcon::kNone: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::kError: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::kWarning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::kQuestion: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::kInformation: box.setIcon(QMessageBox::Information); break;
  }
  switch (buttons) {
    case MessageButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::kYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::kYes;
    case QMessageBox::No: return Answer::kNo;
    case QMessageBox::Cancel: return Answer::kCancel;
    default: return buttons == MessageButtons::kOk ? Answer::kOk : Answer::kCancel;
  }
}

std::optional<QString> DialogPrompter::OpenFile(const QString& title, const QString& filter,
                                                const QString& initial) {
  QFileDialog dialog(parent_, title, initial, filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

QStringList Prompter::OpenFiles(const QString& title, const QString& filter) {
  std::optional<QString> one = OpenFile(title, filter, QString());
  return one ? QStringList{*one} : QStringList();
}

QStringList DialogPrompter::OpenFiles(const QString& title, const QString& filter) {
  QFileDialog dialog(parent_, title, QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

std::optional<QString> DialogPrompter::SaveFile(const QString& title, const QString& filter,
                                                const QString& default_suffix,
                                                const QString& initial) {
  QFileDialog dialog(parent_, title, QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(default_suffix);
  if (!initial.isEmpty()) dialog.selectFile(initial);
  // Read-only targets are refused by asking again.
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    const QString chosen = dialog.selectedFiles().first();
    QFileInfo info(chosen);
    if (info.exists() && !info.isWritable()) {
      QMessageBox::critical(&dialog, FromUtf8(kProductName),
                            chosen + QString::fromUtf8("\nこのファイルは読み取り専用です。"));
      continue;
    }
    return chosen;
  }
  return std::nullopt;
}

QtHost::QtHost(HostWindow* window, std::unique_ptr<Prompter> prompter)
    : window_(window), prompter_(std::move(prompter)) {}

std::optional<std::string> QtHost::InputBox(std::string_view caption, std::string_view prompt,
                                            std::string_view initial) {
  auto answer = prompter_->InputBox(FromSjis(caption, private_codes()),
                                    MessageText(prompt, private_codes()),
                                    FromSjis(initial, private_codes()));
  if (!answer) return std::nullopt;
  return ToSjis(*answer, private_codes());
}

Answer QtHost::Message(std::string_view text, MessageIcon icon, MessageButtons buttons) {
  return prompter_->Message(MessageText(text, private_codes()), icon, buttons);
}

std::optional<std::filesystem::path> QtHost::OpenFileDialog(const FileDialogSpec& dialog) {
  auto chosen = prompter_->OpenFile(FromSjis(dialog.title), QtFilter(FromSjis(dialog.filter)),
                                    PathToQString(dialog.initial));
  if (!chosen) return std::nullopt;
  return QStringToPath(*chosen);
}

std::optional<std::filesystem::path> QtHost::SaveFileDialog(const FileDialogSpec& dialog) {
  auto chosen = prompter_->SaveFile(FromSjis(dialog.title), QtFilter(FromSjis(dialog.filter)),
                                    FromSjis(dialog.default_extension), PathToQString(dialog.initial));
  if (!chosen) return std::nullopt;
  return QStringToPath(*chosen);
}

std::string QtHost::ClipboardText() {
  return ToSjis(QGuiApplication::clipboard()->text(), private_codes());
}

void QtHost::SetClipboardText(std::string_view text) {
  // Lines hold no CR or LF, so every CR LF is a break: LF is this platform's.
  QString qtext = FromSjis(text, private_codes());
  qtext.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QGuiApplication::clipboard()->setText(qtext);
}

void QtHost::CommandStarted(std::string_view busy_message) {
  window_->OnCommandStarted(FromSjis(busy_message));
}

void QtHost::Progress(int percent) { window_->OnProgress(percent); }

void QtHost::CommandEnded() { window_->OnCommandEnded(); }

bool QtHost::CancelRequested() {
  if (cancel_requested_) cancel_seen_ = true;
  return cancel_requested_;
}

void QtHost::RowsFound(std::size_t count) { window_->OnRowsFound(count); }

void QtHost::ShowRemovedLines(Editor& editor) { window_->OnShowRemovedLines(editor); }

std::optional<int> QtHost::ChooseKeyField(std::string_view caption, const Lines& fields) {
  QStringList list;
  for (const std::string& f : fields) list << FromSjis(f, private_codes());
  return window_->OnChooseKeyField(FromSjis(caption, private_codes()), list);
}

}  // namespace parvane
