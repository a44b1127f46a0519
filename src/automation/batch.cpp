// Batch processing of dropped files.
#include "automation/batch.h"

#include "automation/carried_steps.h"
#include "automation/user_commands.h"
#include "editor/files.h"
#include "text/literal.h"

namespace parvane {

Lines BatchChoices(const Editor& editor, AutomationState& state) {
  Lines choices;
  for (int slot = 0; slot < kUserCommandSlots; ++slot) {
    choices.push_back(SlotListEntry(slot, UserCommandTitle(UserCommandFile(editor, slot))));
  }
  state.last_step_text = editor.record_buffer.empty() ? std::string() : editor.record_buffer.back();
  if (!state.last_step_text.empty()) choices.push_back("(-) " + state.last_step_text);
  return choices;
}

BatchFileResult ProcessDroppedFile(Editor& editor, AutomationState& state,
                                   const std::filesystem::path& path, std::optional<int> slot,
                                   std::string* failure) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return BatchFileResult::kMissing;
  // The ".bak" copy is left to the save below, which applies the same rule to
  // the same, still unchanged file; copying here as well would only put a
  // second identical copy into the trash, or leave a copy of a file that was
  // then skipped.
  // The steps read for an earlier file hold that file's private codes.
  CarriedSteps carried;
  if (state.batch) carried.Keep(state.step_list, editor.private_codes);
  if (LoadDocumentFile(editor, path, false) != LoadResult::kLoaded) {
    editor.host().Message(Sjis("ファイル ") + PathToSjis(path) +
                              Sjis(" を読み込めなかったため、処理しませんでした。"),
                          MessageIcon::kError, MessageButtons::kOk);
    return BatchFileResult::kNotLoaded;
  }
  if (state.batch) state.step_list = carried.For(editor.private_codes);
  std::optional<PlayReport> report = RunUserCommand(editor, state, slot);
  if (report) {
    if (const StepProblem* problem = RunFailure(*report)) {
      // The document is whatever the run left; the file keeps its text and
      // no backup of it is made.
      if (failure != nullptr) *failure = problem->message;
      // The file still holds the text the run started from. Back to it (the
      // run's one undo snapshot), so that nothing offers to save the failed
      // result, over this file or any other.
      editor.RevertToUndo();
      editor.modified = false;
      return BatchFileResult::kFailed;
    }
  }
  return SaveDocument(editor) ? BatchFileResult::kProcessed : BatchFileResult::kNotSaved;
}

std::vector<BatchFileResult> ProcessDroppedFiles(Editor& editor, AutomationState& state,
                                                 const std::vector<std::filesystem::path>& files,
                                                 std::optional<int> entry) {
  std::vector<BatchFileResult> results;
  if (!entry || *entry < 0 || *entry > kMostRecentCommandEntry) {
    editor.host().Message(Sjis("処理が選択されていません。"), MessageIcon::kError,
                          MessageButtons::kOk);
    return results;
  }
  std::optional<int> slot;
  if (*entry != kMostRecentCommandEntry) slot = *entry;
  state.batch = false;
  for (const std::filesystem::path& file : files) {
    BatchFileResult result = ProcessDroppedFile(editor, state, file, slot);
    results.push_back(result);
    // Only a file that ran the process has loaded the steps; a skipped first
    // file must not make the next one replay an older step list.
    if (result == BatchFileResult::kProcessed || result == BatchFileResult::kFailed ||
        result == BatchFileResult::kNotSaved) {
      state.batch = true;
    }
  }
  state.batch = false;
  return results;
}

std::string BatchSummaryUtf8(const std::vector<BatchOutcome>& outcomes) {
  std::size_t processed = 0, skipped = 0, failed = 0;
  std::string lines;
  for (const BatchOutcome& o : outcomes) {
    std::string reason;
    switch (o.result) {
      case BatchFileResult::kProcessed:
        ++processed;
        continue;
      case BatchFileResult::kMissing:
        ++skipped;
        reason = "（見つかりません）";
        break;
      case BatchFileResult::kNotLoaded:
        ++skipped;
        reason = "（読み込めませんでした）";
        break;
      case BatchFileResult::kFailed: {
        ++failed;
        std::string error = SjisToUtf8(o.failure);
        // One line per file: the error's own line breaks become spaces.
        for (char& c : error) {
          if (c == '\r' || c == '\n') c = ' ';
        }
        reason = "（処理に失敗しました: " + error + "）";
        break;
      }
      case BatchFileResult::kNotSaved:
        ++failed;
        reason = "（保存できませんでした）";
        break;
    }
    lines += o.file.string() + reason + "\n";
  }
  if (skipped == 0 && failed == 0) return {};
  lines.pop_back();
  return std::to_string(outcomes.size()) + " 個のファイルのうち、処理 " + std::to_string(processed) +
         " 個、スキップ " + std::to_string(skipped) + " 個、失敗 " + std::to_string(failed) +
         " 個。\n\n" + lines;
}

}  // namespace parvane
