// The editor: one document, its state, the shared working lists and the
// command frame in which every line command runs.
//
// Every line command is a function of an Editor (commands/, chars/, ...),
// run by the automation dispatcher under its command-table entry, from which
// it takes its step name and its parameters' prompts:
//
//   void RemoveBlankLines(Editor& editor) {
//     editor.RecordStep();                     // a wrap: RecordStep({width})
//     CommandFrame frame(editor, "空行を削除しています…", {.use_store = true});
//     ... reorder or erase editor.work_store.views(), or RewriteWorkStore ...
//   }                                          // StoreResult + EndCommand here
#ifndef PARVANE_EDITOR_EDITOR_H_
#define PARVANE_EDITOR_EDITOR_H_

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codes/line_break.h"
#include "codes/save_code.h"
#include "editor/document.h"
#include "editor/host.h"
#include "editor/options.h"
#include "editor/step_spec.h"
#include "text/parallel_chunks.h"
#include "text/private_codes.h"

namespace parvane {

inline constexpr std::string_view kProductName = "Parvane";
inline constexpr std::string_view kProductVersion = "1.15";
inline constexpr std::size_t kMaxLineLength = 64000;
// A command's line growth when it has no bound (see CollectSelection).
inline constexpr std::size_t kUnknownGrowth = static_cast<std::size_t>(-1);

class Editor;

// A command as the menus, the player and the command-line tool run it.
using Operation = void (*)(Editor& editor);

class Editor {
 public:
  // Hands the document's private codes to host, which converts through them.
  explicit Editor(Host& host);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  Host& host() { return *host_; }
  // Puts host in place of the current Host and returns the one it replaces,
  // so that a caller can watch what a stretch of work shows and then put the
  // Host back.
  Host& ReplaceHost(Host& host) {
    Host& old = *host_;
    host_ = &host;
    return old;
  }

  // --- the document and its state ---
  Document doc;
  bool modified = false;                   // the "* " mark of the title
  std::filesystem::path current_file_name;  // empty for an untitled document
  // False where nothing is ever undone (the command-line tool): no command
  // then keeps a snapshot.
  bool keep_undo = true;
  // True where nothing shows the document while a command runs (the
  // command-line tool): CollectSelection may then move the lines out of the
  // document instead of copying them (see CollectSelection).
  bool move_collected_lines = false;
  std::size_t max_line_length = kMaxLineLength;
  SaveCode save_code = SaveCode::kShiftJis;
  // The file's line break, written by every save ("保存時の改行コード").
  LineEnding line_ending;
  // True when no byte of the loaded file told its code (plain ASCII, empty).
  bool code_undecided = false;
  // The characters outside code page 932 that the document holds, by their
  // private codes (see AdoptPrivateCodes to replace the table).
  PrivateCodes private_codes;
  // When a save would write characters as '?': true asks the person first
  // (No cancels the save); false saves without asking (the command-line
  // tool refuses or allows such saves itself).
  bool confirm_lossy_save = true;
  SelectionStyle selection_style = SelectionStyle::kExtended;
  Options options;
  // Where this instance's recovery copy (recovery_copy.h) and the settings
  // file live; an empty recovery_copy_path switches the copy off (the
  // command-line tool).
  std::filesystem::path recovery_copy_path;
  std::filesystem::path settings_path;
  // True once the main window shows (the title then obeys "Window.FullPath").
  bool window_shown = false;

  // --- shared working lists ---
  // What a command works on: work_store for a command whose frame asks for
  // the line store (Flags::use_store), as every command does; work_lines,
  // one string per line, remains for frames without it (tests' stand-in
  // commands).
  LineStore work_store;
  Lines work_lines;
  bool whole_document = false;  // the working lines are the whole document
  // What the removed-lines window chose ("" for nothing yet) while a
  // duplicate-removal command shows it; nullopt at any other time
  // (removed_lines.h).
  std::optional<std::string> removed_lines_choice;
  Lines record_buffer;  // every step so far (the recording)
  Lines step_params;    // non-empty exactly while a step is played back
  Lines removed_lines;  // the removed-lines list, sorted whenever it is read (SetRemovedLines)

  // True while a step of an automatic-processing file is played back.
  bool Playing() const { return !step_params.empty(); }

  // --- the command frame ---
  // Shows the busy message and blocks other commands.
  void BeginCommand(std::string_view busy_message);
  // Takes the undo snapshot and sets `modified`, unless a step is played back.
  // The snapshot is named after name, or else after the step the command
  // recorded, or else after its busy message.
  void SaveUndo(std::string_view name = {});
  // Fills work_lines with the selected lines, or the whole document (see the
  // selection rules); does nothing on an empty document. A selection that a
  // find or a command's result made is taken as it is, even one row or none
  // (then work_lines stays empty and the command changes nothing). The lines
  // are moved out, leaving those rows empty until StoreResult, when
  // move_collected_lines is set and the command says that it adds at most
  // line_growth bytes to a line (0: it only reorders, removes or shortens
  // lines) and no collected line plus that growth is over max_line_length:
  // a refusal, which must leave the document as it was, cannot happen then.
  // Otherwise they are copied.
  // With use_store, the selected lines go to work_store as views of the
  // document's blocks: no byte is copied. The whole document's index moves
  // out instead of being copied under the condition on which the lines
  // above move (a refusal cannot happen).
  void CollectSelection(bool whole_if_none_selected, std::size_t line_growth = kUnknownGrowth,
                        bool use_store = false);
  // Writes work_store, or work_lines when a command filled them, back, a
  // line holding CR or LF as several rows. Returns
  // false when a line is longer than max_line_length (the refusal message is
  // shown unless playing back). Rows stored in place of a selection stay
  // selected as a command's result.
  bool StoreResult();
  // Rewrites every line of work_store through rule(line, out), which either
  // writes the new line into out (empty on entry, its capacity kept from
  // line to line) and returns true, or returns false to keep the line as it
  // is (its bytes are then shared, not copied). Reports progress.
  template <class Rule>
  void RewriteWorkStore(Rule&& rule) {
    LineStore rewritten;
    rewritten.ReserveLines(work_store.size());
    bool kept_any = false;
    std::string out;
    const std::size_t n = work_store.size();
    for (std::size_t i = 0; i < n; ++i) {
      const std::string_view line = work_store[i];
      out.clear();
      if (rule(line, out)) {
        rewritten.Append(out);
      } else {
        rewritten.AppendShared(line);
        kept_any = true;
      }
      Progress(i, n);
    }
    // Only kept lines need the old blocks; a store of rewritten lines alone
    // lets them go.
    if (kept_any) rewritten.ShareBlocksOf(work_store);
    work_store = std::move(rewritten);
  }
  // What a ComposeWorkStore rule returns to keep its line as it is.
  static constexpr std::size_t kKeepLine = static_cast<std::size_t>(-1);
  // Rewrites every line of work_store on every core: compose(line, i, out)
  // writes the new form of line i at out, at most room(line) bytes, and
  // returns the count written, or kKeepLine to keep the line; a kept line,
  // or one composed as it was, keeps its bytes (shared, not copied) unless
  // it is empty: the old blocks are held only for lines that need them. Lines
  // are composed in place in the new store's blocks: no string per line.
  // Chunks of lines run at once, so room and compose may only read shared
  // state. Reports progress. When the work throws, work_store is as it was.
  template <class Room, class Compose>
  void ComposeWorkStore(Room&& room, Compose&& compose);

  // True when the last StoreResult refused its result for a line's length;
  // the refused lines stay in work_store.
  bool ResultRefused() const { return result_refused_; }
  // Refuses lines of which one is longer than max_line_length, as a result
  // that grew too long is refused: says so (not while playing) and marks the
  // result refused. Returns true when refused.
  bool RefuseLongLines(const LineStore& lines);
  // Frees the working lists of a command that ended without storing (out of
  // memory); lines the frame moved out of the document go back to it.
  void ReleaseWork();
  // Ends the command: refreshes the view through the Host.
  void EndCommand();
  // Reports progress of item i of count to the Host, only when the percentage
  // changes. Throws CommandCancelled (editor/cancel.h) when the Host then
  // reports a cancel request.
  void Progress(std::size_t i, std::size_t count);
  // Hides the gauge if Progress showed it.
  void EndProgress();

  // Replaces the table of private codes (a load made a new one), keeping it
  // tied to this document's text.
  void AdoptPrivateCodes(PrivateCodes codes);

  // --- undo and redo ---
  // The history keeps earlier line stores, which share the blocks they have
  // in common, within options.undo_memory_mb (the newest snapshot always
  // stays). A new snapshot clears what could be redone -- once the command
  // that took it has ended: until then RevertToUndo brings the redo steps
  // back, so a cancelled or failed command loses none of them.
  bool CanUndo() const { return !undo_steps_.empty(); }
  bool CanRedo() const { return !redo_steps_.empty(); }
  // What Undo / Redo would take back or bring back ("五十音順にする").
  std::string_view UndoName() const;
  std::string_view RedoName() const;
  std::size_t UndoDepth() const { return undo_steps_.size(); }
  // The text of the newest snapshot ("" when there is none).
  std::string UndoText() const;
  void Undo();
  void Redo();
  // Puts the newest snapshot back without keeping the present text for a
  // redo: a run that failed or ran out of memory goes back to where it began,
  // with the redo steps it found.
  void RevertToUndo();
  // The command that took the newest snapshot has ended normally: the redo
  // steps that snapshot displaced are gone for good.
  void ForgetDisplacedRedo() { displaced_redo_.clear(); }
  // Forgets every snapshot (a new file, a recovered copy).
  void ClearUndo();
  // Keeps the present document as a snapshot without marking it modified (a
  // file appended to it).
  void PushUndo(std::string_view name);

  // --- the running step ---
  // The table command that runs now (set by RunningStep below, which only
  // the automation dispatcher makes), or null: a command called directly.
  const StepSpec* running_step() const { return running_step_; }
  // Runs op as a step of its own, under the table entry whose operation it
  // is, as the dispatcher of the running step runs commands (a find that
  // first selects every row). Does nothing when no table command runs.
  void RunOtherStep(Operation op);

  // --- recording ---
  // Appends the running step's line to record_buffer: its name, then params
  // as JoinFields writes them. Records nothing when no table command runs.
  // The undo snapshot of the command's frame, if taken after this, is named
  // after the step.
  void RecordStep(const Lines& params = {});

  // The window caption: "%s %s- ( %d 行) - %s".
  std::string Title() const;

  // Writes the recovery copy if that option is on.
  void WriteRecoveryCopy();

 private:
  struct UndoStep {
    std::string name;
    LineStore lines;
  };
  void TrimUndoToBudget();
  void Restore(UndoStep& step, std::vector<UndoStep>& other_side);

  Host* host_;
  std::vector<UndoStep> undo_steps_;  // oldest first
  std::vector<UndoStep> redo_steps_;  // the next redo last
  std::vector<UndoStep> displaced_redo_;  // redo_steps_ before the newest snapshot
  friend class RunningStep;
  const StepSpec* running_step_ = nullptr;
  // How the dispatcher of running_step_ runs another table command.
  void (*step_runner_)(Editor&, Operation) = nullptr;
  std::string step_name_;             // what the running command recorded
  std::string busy_message_;
  int last_percent_ = -1;
  bool result_refused_ = false;
  bool took_document_ = false;  // CollectSelection moved the whole store out
  bool recovery_failure_reported_ = false;
};

// Makes step the editor's running step, and runner the way to run another
// table command, for exactly the guard's life; the outer ones (a step that
// runs another) are back when it goes, however the command ends.
class RunningStep {
 public:
  using Runner = void (*)(Editor& editor, Operation op);
  RunningStep(Editor& editor, const StepSpec& step, Runner runner);
  ~RunningStep();
  RunningStep(const RunningStep&) = delete;
  RunningStep& operator=(const RunningStep&) = delete;

 private:
  Editor& editor_;
  const StepSpec* outer_step_;
  Runner outer_runner_;
};

// Runs the frame around a command's own work: the constructor calls
// BeginCommand, SaveUndo and CollectSelection; the destructor calls
// StoreResult (when `store`) and EndCommand, however the work ends -- except
// that work which ran out of memory stores nothing: the document stays as it
// was and the working lines are released (memory_exhaustion.h). Work that was
// cancelled (cancel.h) stores nothing either, and also takes back the undo
// snapshot the frame's SaveUndo kept and the `modified` it set.
class CommandFrame {
 public:
  struct Flags {
    bool save_undo = true;
    bool collect = true;
    bool whole_if_none_selected = true;
    bool store = true;
    // The most bytes the command adds to any line (see CollectSelection).
    std::size_t line_growth = kUnknownGrowth;
    // The command works on work_store rather than work_lines.
    bool use_store = false;
  };
  CommandFrame(Editor& editor, std::string_view busy_message) : CommandFrame(editor, busy_message, Flags{}) {}
  CommandFrame(Editor& editor, std::string_view busy_message, Flags flags);
  // Throws std::bad_alloc when storing the result of work that ended
  // normally ran out of memory (the document is then as it was).
  ~CommandFrame() noexcept(false);
  CommandFrame(const CommandFrame&) = delete;
  CommandFrame& operator=(const CommandFrame&) = delete;

  // Stores the result now instead of in the destructor; returns its result.
  bool Store();

 private:
  Editor& editor_;
  Flags flags_;
  // Puts the document back to the snapshot this frame's SaveUndo kept, which
  // drops it, keeping the selection; restores `modified`.
  void TakeBackUndo();

  bool stored_ = false;
  int exceptions_at_entry_;  // std::uncaught_exceptions() when the frame began
  bool undo_saved_ = false;  // this frame's SaveUndo set `modified` (and kept a snapshot)
  bool modified_at_entry_;   // `modified` before SaveUndo
};

template <class Room, class Compose>
void Editor::ComposeWorkStore(Room&& room, Compose&& compose) {
  // Fewer lines than this are not worth a thread.
  constexpr std::size_t kMinChunk = std::size_t{1} << 14;
  const LineStore& lines = work_store;
  const std::size_t n = lines.size();
  // Each chunk composes into blocks of its own and puts the views straight
  // into their slots: the chunks' results are never copied together.
  LineStore::Index composed(n);
  std::vector<LineStore> parts(ChunkCount(n, kMinChunk));
  std::vector<char> kept(parts.size(), 0);
  ForEachChunk(n, kMinChunk, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
    LineStore& part = parts[chunk];
    for (std::size_t i = begin; i < end; ++i) {
      const std::string_view line = lines[i];
      char* const out = part.ComposeBuffer(room(line));
      const std::size_t written = compose(line, i, out);
      const bool same = written == kKeepLine ||
                        (written == line.size() && std::equal(line.begin(), line.end(), out));
      if (same && !line.empty()) {
        part.CommitComposedView(0);
        composed[i] = line;
        kept[chunk] = 1;
      } else {
        // An empty line is never shared: it has no byte to keep, and sharing
        // would hold on to every old block.
        composed[i] = part.CommitComposedView(same ? 0 : written);
      }
      // Only the first chunk runs on the calling thread, which alone may
      // reach the Host.
      if (chunk == 0) Progress(i, end);
    }
  });
  LineStore result;
  for (const LineStore& part : parts) result.ShareBlocksOf(part);
  if (std::find(kept.begin(), kept.end(), 1) != kept.end()) result.ShareBlocksOf(work_store);
  result.views() = std::move(composed);
  work_store = std::move(result);
}

}  // namespace parvane

#endif  // PARVANE_EDITOR_EDITOR_H_
