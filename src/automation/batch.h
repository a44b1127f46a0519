// The batch window's work: apply one user command, or the most recent
// command, to every dropped file and save each file over itself.
#ifndef PARVANE_AUTOMATION_BATCH_H_
#define PARVANE_AUTOMATION_BATCH_H_

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "automation/automation_state.h"
#include "editor/editor.h"

namespace parvane {

// The entry of the batch list that means "the most recent command".
inline constexpr int kMostRecentCommandEntry = 10;

// The batch list as the window shows it each time: "(%d) %s" for the ten
// slots ("未設定" for an unset slot), then, when record_buffer has a line,
// "(-) " + that line, which becomes state.last_step_text (cleared otherwise).
Lines BatchChoices(const Editor& editor, AutomationState& state);

enum class BatchFileResult {
  kProcessed,  // loaded, played and saved over itself
  kMissing,    // no such file: skipped
  kNotLoaded,  // refused, unreadable or its question cancelled: skipped, untouched, reported
  kFailed,     // a step failed (RunFailure): neither saved nor backed up
  kNotSaved,   // played but the save failed (reported by the save; the old file stays)
};

// One dropped file: skip a missing file; load it (replacing the document);
// run the user command of slot (nullopt: the most recent command); save it
// over itself in the save code. The save makes the ".bak" copy per the
// options. A file that does not load is reported and left untouched, and the
// open document is neither played on nor saved. A run that fails leaves the
// file as it was; *failure (when given) then receives the failing step's
// error text (Shift_JIS).
BatchFileResult ProcessDroppedFile(Editor& editor, AutomationState& state,
                                   const std::filesystem::path& path, std::optional<int> slot,
                                   std::string* failure = nullptr);

// What became of one file of a drop.
struct BatchOutcome {
  std::filesystem::path file;
  BatchFileResult result;
  std::string failure;  // Shift_JIS: the failing step's error (kFailed), else empty
};

// The summary shown at the end of a drop in which some file was not
// processed, in UTF-8 (a file name need not survive Shift_JIS): the counts of
// processed, skipped and failed files, then one line per file that was not
// processed, with its reason. Returns "" when every file was processed.
std::string BatchSummaryUtf8(const std::vector<BatchOutcome>& outcomes);

// A drop of files. entry is the selected batch list entry (0-9 the slots,
// kMostRecentCommandEntry the most recent command) or nullopt when none is
// selected, which shows "処理が選択されていません。" and changes no file.
// The first file that gets as far as running the process loads the steps;
// later files reuse them with their "@1st" answers. Returns one result per
// file (empty when nothing was selected).
std::vector<BatchFileResult> ProcessDroppedFiles(Editor& editor, AutomationState& state,
                                                 const std::vector<std::filesystem::path>& files,
                                                 std::optional<int> entry);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_BATCH_H_
