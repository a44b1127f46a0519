#include "editor/editor.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "codes/text_file.h"
#include "editor/fields.h"
#include "editor/files.h"
#include "editor/recovery_copy.h"
#include "editor/memory_exhaustion.h"
#include "text/literal.h"

namespace parvane {

Editor::Editor(Host& host) : host_(&host) {
  AdoptPrivateCodes(PrivateCodes());
  host_->set_private_codes(&private_codes);
}

Editor::~Editor() {
  if (host_->private_codes() == &private_codes) host_->set_private_codes(nullptr);
}

void Editor::AdoptPrivateCodes(PrivateCodes codes) {
  private_codes = std::move(codes);
  // New codes must not take one the text uses for itself (a user-defined
  // character of a Shift_JIS file); the undo text counts too, as undo brings
  // it back under the same table.
  private_codes.SetTextScanner([this](PrivateCodes& table) {
    for (const std::string& line : doc.lines()) table.NoteSjisText(line);
    table.NoteSjisText(undo_text);
  });
}

void Editor::BeginCommand(std::string_view busy_message) {
  last_percent_ = -1;
  host_->CommandStarted(busy_message);
}

void Editor::SaveUndo() {
  if (Playing()) return;
  if (keep_undo) undo_text = doc.Text();
  modified = true;
}

void Editor::CollectSelection(bool whole_if_none_selected, std::size_t line_growth) {
  if (doc.empty()) return;
  work_lines.clear();
  const std::size_t n = doc.SelectedCount();
  // The extended style's "one row counts as none" is for the row the
  // person's cursor left selected, not for rows a find picked.
  const bool whole = whole_if_none_selected &&
                     (n == doc.size() ||
                      (!doc.selection_is_result() &&
                       (selection_style == SelectionStyle::kExtended ? n <= 1 : n == 0)));
  whole_document = whole;
  std::vector<std::size_t> rows;
  if (!whole) rows = doc.SelectedRows();
  bool move = move_collected_lines && line_growth <= max_line_length;
  if (move) {
    const std::size_t longest = max_line_length - line_growth;
    auto too_long = [this, longest](std::size_t row) { return doc.line(row).size() > longest; };
    for (std::size_t row = 0; move && whole && row < doc.size(); ++row) move = !too_long(row);
    for (std::size_t row : rows) move = move && !too_long(row);
  }
  if (whole) {
    if (move) {
      work_lines = doc.TakeLines();
    } else {
      work_lines = doc.lines();
    }
    return;
  }
  work_lines.reserve(rows.size());
  for (std::size_t row : rows) work_lines.push_back(move ? doc.TakeLine(row) : doc.line(row));
}

bool Editor::StoreResult() {
  // An empty document stores nothing, so whatever an earlier refused command
  // left in work_lines must not be refused again on its behalf.
  if (doc.empty()) return true;
  // Once here for every command: a row never holds a line break, whatever a
  // replacement or a decoder put into a line.
  SplitAtLineBreaks(work_lines);
  for (const auto& line : work_lines) {
    if (line.size() > max_line_length) {
      if (!Playing()) {
        host_->Message(Sjis("行が長くなりすぎてしまいます。\r\n処理を中止しました。"),
                       MessageIcon::kError, MessageButtons::kOk);
      }
      return false;
    }
  }
  if (whole_document) {
    doc.SetLines(std::move(work_lines));
  } else {
    std::size_t p = doc.EraseSelected();
    doc.InsertLines(p, std::move(work_lines), /*select=*/true);
    doc.set_selection_is_result(true);
  }
  work_lines.clear();
  WriteRecoveryCopy();
  return true;
}

void Editor::WriteRecoveryCopy() {
  if (!options.auto_backup || recovery_copy_path.empty()) return;
  std::string error;
  // The copy carries its file name itself: a name in the shared settings
  // file would be another instance's as soon as two run.
  const bool ok = WriteRecoveryFile(*this, recovery_copy_path, &error);
  if (!ok && !recovery_failure_reported_) {
    // Once per session: the command's result is stored; only the copy is missing.
    recovery_failure_reported_ = true;
    host_->Message(Sjis("編集中のファイルのバックアップを保存できませんでした。\r\n") + Sjis(error),
                   MessageIcon::kError, MessageButtons::kOk);
  }
}

void Editor::EndCommand() {
  EndProgress();
  host_->CommandEnded();
}

void Editor::Progress(std::size_t i, std::size_t count) {
  if (count == 0) return;
  int percent = static_cast<int>(static_cast<unsigned long long>(i) * 100 / count);
  if (percent == last_percent_) return;
  last_percent_ = percent;
  host_->Progress(percent);
}

void Editor::EndProgress() {
  if (last_percent_ < 0) return;
  last_percent_ = -1;
  host_->Progress(-1);
}

void Editor::Undo() {
  CommandFrame frame(*this, Sjis("元に戻しています…"),
                     {.save_undo = false, .collect = false, .store = false});
  std::string current = doc.Text();
  doc.SetText(undo_text);
  undo_text = std::move(current);
}

void Editor::RecordStep(std::string_view step_name) { record_buffer.emplace_back(step_name); }

void Editor::RecordStepRecord() { record_buffer.push_back(JoinFields(step_record)); }

std::string Editor::Title() const {
  std::string name;
  if (window_shown && options.full_path) {
    name = PathToSjis(current_file_name);
  } else {
    name = PathToSjis(current_file_name.filename());
  }
  if (name.empty()) name = Sjis("無題");
  std::string title = name + " ";
  if (modified) title += "* ";
  title += "- ( " + std::to_string(doc.size()) + " " + Sjis("行") + ") - ";
  title += kProductName;
  return title;
}

CommandFrame::CommandFrame(Editor& editor, std::string_view busy_message, Flags flags)
    : editor_(editor), flags_(flags), exceptions_at_entry_(std::uncaught_exceptions()) {
  WatchMemoryExhaustion();
  ClearMemoryExhaustion();
  editor_.BeginCommand(busy_message);
  try {
    if (flags_.save_undo) editor_.SaveUndo();
    if (flags_.collect) {
      editor_.CollectSelection(flags_.whole_if_none_selected, flags_.line_growth);
    }
  } catch (...) {
    editor_.EndCommand();
    throw;
  }
}

bool CommandFrame::Store() {
  stored_ = true;
  return editor_.StoreResult();
}

CommandFrame::~CommandFrame() {
  // The closing steps run however the work ended; an exception of the work
  // itself is already on its way to the caller, so nothing may escape here.
  const bool out_of_memory =
      std::uncaught_exceptions() > exceptions_at_entry_ && MemoryExhausted();
  try {
    if (out_of_memory) {
      Lines().swap(editor_.work_lines);
    } else if (flags_.store && !stored_) {
      editor_.StoreResult();
    }
  } catch (...) {
  }
  try {
    editor_.EndCommand();
  } catch (...) {
  }
}

}  // namespace parvane
