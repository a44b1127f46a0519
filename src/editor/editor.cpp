#include "editor/editor.h"

#include <cstdio>
#include <algorithm>
#include <exception>
#include <unordered_set>
#include <vector>

#include "codes/text_file.h"
#include "editor/cancel.h"
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
    for (std::string_view line : doc.lines()) table.NoteSjisText(line);
    for (const auto* side : {&undo_steps_, &redo_steps_, &displaced_redo_}) {
      for (const UndoStep& step : *side) {
        for (std::string_view line : step.lines) table.NoteSjisText(line);
      }
    }
  });
}

void Editor::BeginCommand(std::string_view busy_message) {
  last_percent_ = -1;
  busy_message_ = busy_message;
  result_refused_ = false;
  host_->CommandStarted(busy_message);
}

void Editor::SaveUndo(std::string_view name) {
  if (Playing()) return;
  if (keep_undo) PushUndo(name);
  modified = true;
}

void Editor::PushUndo(std::string_view name) {
  if (!keep_undo) return;
  std::string label(name);
  if (label.empty() && step_name_.size() > 2) label = step_name_.substr(1, step_name_.size() - 2);
  if (label.empty()) {
    // "並べ替えています…" -> "並べ替え": the busy message without its ending.
    static const std::string kEndings[] = {Sjis("…"), "...", Sjis("しています"), Sjis("ています")};
    label = busy_message_;
    for (const std::string& ending : kEndings) {
      if (label.ends_with(ending)) label.resize(label.size() - ending.size());
    }
  }
  undo_steps_.push_back({std::move(label), doc.lines()});
  displaced_redo_ = std::move(redo_steps_);
  redo_steps_.clear();
  TrimUndoToBudget();
}

void Editor::TrimUndoToBudget() {
  const std::size_t budget = static_cast<std::size_t>(std::max(options.undo_memory_mb, 0)) << 20;
  // What the history costs beyond the document: the blocks that only
  // snapshots hold, and every snapshot's index.
  auto cost = [this] {
    std::unordered_set<const LineStore::Block*> counted;
    for (const auto& block : doc.lines().blocks()) counted.insert(block.get());
    std::size_t bytes = 0;
    for (const UndoStep& step : undo_steps_) {
      bytes += step.lines.size() * sizeof(LineStore::View);
      for (const auto& block : step.lines.blocks()) {
        if (counted.insert(block.get()).second) bytes += block->bytes.capacity();
      }
    }
    return bytes;
  };
  while (undo_steps_.size() > 1 && cost() > budget) undo_steps_.erase(undo_steps_.begin());
}

std::string_view Editor::UndoName() const {
  return undo_steps_.empty() ? std::string_view() : std::string_view(undo_steps_.back().name);
}

std::string_view Editor::RedoName() const {
  return redo_steps_.empty() ? std::string_view() : std::string_view(redo_steps_.back().name);
}

std::string Editor::UndoText() const {
  return undo_steps_.empty() ? std::string() : undo_steps_.back().lines.Text();
}

void Editor::Restore(UndoStep& step, std::vector<UndoStep>& other_side) {
  CommandFrame frame(*this, Sjis("元に戻しています…"),
                     {.save_undo = false, .collect = false, .store = false});
  LineStore present = doc.lines();
  doc.SetStore(std::move(step.lines));
  other_side.push_back({std::move(step.name), std::move(present)});
  modified = true;
  WriteRecoveryCopy();
}

void Editor::Undo() {
  if (undo_steps_.empty()) return;
  displaced_redo_.clear();
  UndoStep step = std::move(undo_steps_.back());
  undo_steps_.pop_back();
  Restore(step, redo_steps_);
}

void Editor::Redo() {
  if (redo_steps_.empty()) return;
  displaced_redo_.clear();
  UndoStep step = std::move(redo_steps_.back());
  redo_steps_.pop_back();
  Restore(step, undo_steps_);
}

void Editor::RevertToUndo() {
  if (undo_steps_.empty()) return;
  doc.SetStore(std::move(undo_steps_.back().lines));
  undo_steps_.pop_back();
  if (!displaced_redo_.empty()) redo_steps_ = std::move(displaced_redo_);
  displaced_redo_.clear();
}

void Editor::ClearUndo() {
  undo_steps_.clear();
  redo_steps_.clear();
  displaced_redo_.clear();
}

void Editor::CollectSelection(bool whole_if_none_selected, std::size_t line_growth, bool use_store) {
  // Whatever an earlier command left (a refused result) goes first, so an
  // empty document gives empty working lists.
  work_lines.clear();
  work_store.clear();
  if (doc.empty()) return;
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
  if (use_store) {
    // Views of the document's blocks: the document keeps showing its text
    // and a refusal has nothing to put back.
    if (whole) {
      const auto cannot_pass_limit = [this, line_growth] {
        if (line_growth > max_line_length) return false;
        for (std::string_view line : doc.lines()) {
          if (line.size() > max_line_length - line_growth) return false;
        }
        return true;
      };
      if (move_collected_lines && cannot_pass_limit()) {
        // Nothing shows the document meanwhile, the result replaces it whole
        // and cannot be refused (no line grows past the limit): the index
        // moves out instead of being copied.
        work_store = doc.TakeStore();
        took_document_ = true;
      } else {
        work_store = doc.lines();
      }
      return;
    }
    work_store.ShareBlocksOf(doc.lines());
    work_store.ReserveLines(rows.size());
    for (std::size_t row : rows) work_store.AppendShared(doc.line(row));
    return;
  }
  bool move = move_collected_lines && line_growth <= max_line_length;
  if (move) {
    const std::size_t longest = max_line_length - line_growth;
    auto too_long = [this, longest](std::size_t row) { return doc.line(row).size() > longest; };
    for (std::size_t row = 0; move && whole && row < doc.size(); ++row) move = !too_long(row);
    for (std::size_t row : rows) move = move && !too_long(row);
  }
  if (whole) {
    work_lines = doc.lines().ToStrings();
    // Nothing shows the document meanwhile: its text goes, leaving as many
    // empty rows, so the copy above is the only one.
    if (move) doc.BlankRows();
    return;
  }
  work_lines.reserve(rows.size());
  for (std::size_t row : rows) work_lines.emplace_back(doc.line(row));
  if (move) {
    for (std::size_t row : rows) doc.SetLine(row, {});
  }
}

namespace {

// Moves lines into a store one by one, freeing each string as it goes, so
// that the strings and the store never both hold the whole text.
LineStore StoreOfStrings(Lines& lines) {
  LineStore store;
  store.ReserveLines(lines.size());
  for (std::string& line : lines) {
    store.Append(line);
    std::string().swap(line);
  }
  Lines().swap(lines);
  return store;
}

// Splits every line that holds CR or LF into lines as SplitLines does (a
// line that is only a break becomes one empty line).
void SplitStoreAtLineBreaks(LineStore& lines) {
  std::size_t first = 0;
  while (first < lines.size() && !HoldsLineBreak(lines[first])) ++first;
  if (first == lines.size()) return;
  LineStore split;
  split.ShareBlocksOf(lines);
  split.ReserveLines(lines.size() + 1);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (i < first || !HoldsLineBreak(line)) {
      split.AppendShared(line);
      continue;
    }
    const std::size_t before = split.size();
    ForEachLine(line, [&split](std::string_view part) { split.AppendShared(part); });
    if (split.size() == before) split.AppendShared(line.substr(0, 0));
  }
  lines = std::move(split);
}

}  // namespace

bool Editor::StoreResult() {
  // An empty document stores nothing, so whatever an earlier refused command
  // left in the working lists must not be refused again on its behalf.
  result_refused_ = false;
  if (doc.empty() && !took_document_) return true;
  took_document_ = false;
  if (!work_lines.empty()) {
    work_store = StoreOfStrings(work_lines);
  }
  // Once here for every command: a row never holds a line break, whatever a
  // replacement or a decoder put into a line.
  SplitStoreAtLineBreaks(work_store);
  if (RefuseLongLines(work_store)) return false;
  if (whole_document) {
    doc.SetStore(std::move(work_store));
  } else {
    doc.ReplaceSelected(work_store);
  }
  work_store.clear();
  try {
    doc.CompactIfSparse();
  } catch (const std::bad_alloc&) {
    // The result is stored; compacting only gives memory back.
  }
  WriteRecoveryCopy();
  return true;
}

bool Editor::RefuseLongLines(const LineStore& lines) {
  for (std::string_view line : lines) {
    if (line.size() > max_line_length) {
      if (!Playing()) {
        host_->Message(Sjis("行が長くなりすぎてしまいます。\r\n処理を中止しました。"),
                       MessageIcon::kError, MessageButtons::kOk);
      }
      result_refused_ = true;
      return true;
    }
  }
  return false;
}

void Editor::ReleaseWork() {
  Lines().swap(work_lines);
  // Lines moved out of the document go back (the command-line tool's mode
  // moves them only for commands that reorder or remove lines).
  if (took_document_) doc.SetStore(std::move(work_store));
  took_document_ = false;
  work_store.clear();
}

void Editor::WriteRecoveryCopy() {
  if (!options.auto_backup || recovery_copy_path.empty()) return;
  std::string error;
  // The copy carries its file name itself: a name in the shared settings
  // file would be another instance's as soon as two run.
  bool ok = false;
  try {
    ok = WriteRecoveryFile(*this, recovery_copy_path, &error);
  } catch (const std::bad_alloc&) {
    // The command's result is stored; only the copy is missing.
    error = "not enough memory";
  }
  if (!ok && !recovery_failure_reported_) {
    // Once per session: the command's result is stored; only the copy is missing.
    recovery_failure_reported_ = true;
    host_->Message(Sjis("編集中のファイルのバックアップを保存できませんでした。\r\n") + Sjis(error),
                   MessageIcon::kError, MessageButtons::kOk);
  }
}

void Editor::EndCommand() {
  step_name_.clear();
  EndProgress();
  host_->CommandEnded();
}

void Editor::Progress(std::size_t i, std::size_t count) {
  if (count == 0) return;
  int percent = static_cast<int>(static_cast<unsigned long long>(i) * 100 / count);
  if (percent == last_percent_) return;
  last_percent_ = percent;
  host_->Progress(percent);
  // Asked after the Host has shown the gauge, which is when it has let the
  // window take a click or a key; at most a hundred times a command.
  if (host_->CancelRequested()) throw CommandCancelled();
}

void Editor::EndProgress() {
  if (last_percent_ < 0) return;
  last_percent_ = -1;
  host_->Progress(-1);
}

void Editor::RecordStep(const Lines& params) {
  if (running_step_ == nullptr) return;
  step_name_ = running_step_->name;
  // A name alone is written as it is: JoinFields would quote the one name
  // that holds a space.
  if (params.empty()) {
    record_buffer.push_back(step_name_);
    return;
  }
  Lines fields;
  fields.reserve(params.size() + 1);
  fields.push_back(step_name_);
  fields.insert(fields.end(), params.begin(), params.end());
  record_buffer.push_back(JoinFields(fields));
}

void Editor::RunOtherStep(Operation op) {
  if (step_runner_ != nullptr) step_runner_(*this, op);
}

RunningStep::RunningStep(Editor& editor, const StepSpec& step, Runner runner)
    : editor_(editor), outer_step_(editor.running_step_), outer_runner_(editor.step_runner_) {
  editor_.running_step_ = &step;
  editor_.step_runner_ = runner;
}

RunningStep::~RunningStep() {
  editor_.running_step_ = outer_step_;
  editor_.step_runner_ = outer_runner_;
}

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
    : editor_(editor),
      flags_(flags),
      exceptions_at_entry_(std::uncaught_exceptions()),
      modified_at_entry_(editor.modified) {
  WatchMemoryExhaustion();
  ClearMemoryExhaustion();
  editor_.BeginCommand(busy_message);
  try {
    if (flags_.save_undo) {
      editor_.SaveUndo();
      undo_saved_ = !editor_.Playing();
    }
    if (flags_.collect) {
      editor_.CollectSelection(flags_.whole_if_none_selected, flags_.line_growth, flags_.use_store);
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

void CommandFrame::TakeBackUndo() {
  if (!undo_saved_) return;
  editor_.modified = modified_at_entry_;
  if (!editor_.keep_undo) return;
  // The snapshot is the document as the command found it, so putting it back
  // also undoes work that changed rows in place before it was cancelled.
  Document& doc = editor_.doc;
  const std::size_t rows = doc.size();
  const std::vector<std::size_t> selected = doc.SelectedRows();
  const bool selection_is_result = doc.selection_is_result();
  const long current_row = doc.current_row();
  editor_.RevertToUndo();
  // A stored result had its own selection, which means nothing in the old rows.
  if (stored_ || doc.size() != rows) return;
  for (std::size_t row : selected) doc.Select(row, true);
  doc.set_selection_is_result(selection_is_result);
  doc.set_current_row(current_row);
}

CommandFrame::~CommandFrame() noexcept(false) {
  // The closing steps run however the work ended; an exception of the work
  // itself is already on its way to the caller, so nothing may escape then.
  const bool unwinding = std::uncaught_exceptions() > exceptions_at_entry_;
  const bool out_of_memory = unwinding && MemoryExhausted();
  // The request stays pending until the next command starts, so while the
  // frame unwinds it tells a cancel from an error of the work.
  const bool cancelled = unwinding && editor_.host().CancelRequested();
  bool store_ran_out = false;
  try {
    if (out_of_memory || cancelled) {
      editor_.ReleaseWork();
      if (cancelled) TakeBackUndo();
    } else if (flags_.store && !stored_) {
      editor_.StoreResult();
    }
    if (!unwinding && undo_saved_) editor_.ForgetDisplacedRedo();
  } catch (const std::bad_alloc&) {
    // Storing is all or nothing: the document is as it was. Work that ended
    // normally is reported as work that ran out of memory would be.
    try {
      editor_.ReleaseWork();
    } catch (...) {
    }
    store_ran_out = !unwinding;
  } catch (...) {
  }
  try {
    editor_.EndCommand();
  } catch (...) {
  }
  if (store_ran_out) throw std::bad_alloc();
}

}  // namespace parvane
