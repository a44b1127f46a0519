// Find and replace: the button handlers, the playback commands and the plain
// matcher. The regular-expression work goes through regex/kit.h only.
#include "commands/find_replace.h"

#include <optional>
#include <string>

#include "editor/step_params.h"
#include "commands/editing.h"
#include "regex/kit.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

// ASCII letters of single-byte characters to lower case; two-byte characters
// are copied untouched (their trail bytes may look like letters).
void FoldInto(std::string_view line, std::string& out) {
  out.assign(line);
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t len = SjisCharLength(out, i);
    if (len == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    i += len;
  }
}

// A text parameter that may be empty (an empty search text is meaningful in a
// played step). Returns nullopt when the input box is cancelled, and outside
// playback also for an empty answer, which the dialog would not accept.
std::optional<std::string> SearchParam(Editor& editor, int k) {
  StepParam param = ReadStepParam(editor, k);
  if (!param.ask) return param.value;
  const ParamQuestion question = AskedFor(editor, k);
  std::optional<std::string> answer =
      editor.host().InputBox(kProductName, question.prompt, question.initial);
  if (!answer) return std::nullopt;
  if (!editor.Playing() && answer->empty() && k == 1) return std::nullopt;
  if (param.store) StoreStepParam(editor, k, *answer);
  return answer;
}

void RunFindCommand(Editor& editor, SearchMode mode) {
  std::optional<std::string> text = SearchParam(editor, 1);
  if (!text) return;
  FindReplaceFields& fields = SharedFindReplaceFields();
  fields.find_text = *text;
  FindRows(editor, fields.find_text, mode, fields.find_match_case);
}

void RunReplaceCommand(Editor& editor, SearchMode mode) {
  std::optional<std::string> find = SearchParam(editor, 1);
  if (!find) return;
  std::optional<std::string> with = SearchParam(editor, 2);
  if (!with) return;
  FindReplaceFields& fields = SharedFindReplaceFields();
  fields.replace_find_text = *find;
  fields.replace_with_text = *with;
  ReplaceInLines(editor, fields.replace_find_text, fields.replace_with_text, mode,
                 fields.replace_match_case);
}

}  // namespace

FindReplaceFields& SharedFindReplaceFields() {
  static FindReplaceFields fields;
  return fields;
}

PlainMatcher::PlainMatcher(std::string_view text, bool match_case) : match_case_(match_case) {
  if (match_case) {
    needle_.assign(text);
  } else {
    FoldInto(text, needle_);
  }
}

std::size_t PlainMatcher::FindIn(std::string_view hay, std::string_view line,
                                 std::size_t from) const {
  if (needle_.empty()) return std::string_view::npos;
  std::size_t boundary = from;
  std::size_t candidate = from;
  while ((candidate = hay.find(needle_, candidate)) != std::string_view::npos) {
    while (boundary < candidate) boundary += SjisCharLength(line, boundary);
    if (boundary == candidate) {
      // The match must also end on a boundary: a search text that ends in a
      // lone lead byte must not take the first half of a character.
      std::size_t end = candidate;
      while (end < candidate + needle_.size()) end += SjisCharLength(line, end);
      if (end == candidate + needle_.size()) return candidate;
      candidate = boundary + SjisCharLength(line, boundary);
    } else {
      candidate = boundary;  // the candidate began on a trail byte
    }
  }
  return std::string_view::npos;
}

std::size_t PlainMatcher::Find(std::string_view line, std::size_t from) {
  if (match_case_) return FindIn(line, line, from);
  FoldInto(line, folded_);
  return FindIn(folded_, line, from);
}

std::size_t PlainMatcher::ReplaceAll(std::string& line, std::string_view replacement,
                                     std::size_t max_length) {
  const std::size_t count = ReplaceAll(std::string_view(line), replacement, &out_, max_length);
  if (count != 0) line.swap(out_);
  return count;
}

std::size_t PlainMatcher::ReplaceAll(std::string_view line, std::string_view replacement,
                                     std::string* out, std::size_t max_length) {
  if (needle_.empty()) return 0;
  std::string_view hay = line;
  if (!match_case_) {
    FoldInto(line, folded_);
    hay = folded_;
  }
  std::size_t count = 0;
  std::size_t pos = 0;
  for (std::size_t match; (match = FindIn(hay, line, pos)) != std::string_view::npos;) {
    if (count == 0) out->clear();
    out->append(line, pos, match - pos);
    *out += replacement;
    pos = match + needle_.size();
    ++count;
    if (out->size() > max_length) break;
  }
  if (count == 0) return 0;
  if (out->size() <= max_length) out->append(line, pos, std::string::npos);
  if (out->size() > max_length) out->resize(max_length + 1);
  return count;
}

void FindRows(Editor& editor, std::string_view text, SearchMode mode, bool match_case) {
  const std::string pattern(text);
  // Selecting everything is a command (and a step) of its own; it runs before
  // this command's frame begins so that frames never nest. Rows an earlier
  // find or command left are searched as they are: a find after a one-row
  // find narrows within that row, and after a find that matched nothing
  // there is nothing to search until the person selects again.
  if (editor.doc.SelectedCount() <= 1 && !editor.doc.selection_is_result()) {
    editor.RunOtherStep(SelectAllRows);
  }
  CommandFrame::Flags flags;
  flags.save_undo = false;
  flags.collect = false;
  flags.store = false;
  CommandFrame frame(editor, Sjis("検索しています…"), flags);
  editor.RecordStep({pattern});

  Document& doc = editor.doc;
  PlainMatcher matcher(pattern, match_case);
  const std::size_t n = doc.size();
  for (std::size_t i = n; i-- > 0;) {
    editor.Progress(n - 1 - i, n);
    if (!doc.IsSelected(i)) continue;
    bool matched;
    if (mode == SearchMode::kRegex) {
      matched = RegexContains(pattern, !match_case, doc.line(i));
    } else if (mode == SearchMode::kExtendedRegex) {
      matched = RegexContainsExtended(pattern, !match_case, doc.line(i));
    } else {
      matched = matcher.Find(doc.line(i)) != std::string_view::npos;
    }
    if (!matched) doc.Select(i, false);
  }
  doc.set_selection_is_result(true);
  editor.host().RowsFound(doc.SelectedCount());
}

void ReplaceInLines(Editor& editor, std::string_view find, std::string_view replacement,
                    SearchMode mode, bool match_case) {
  const std::string pattern(find);
  const std::string with(replacement);
  // Lines without a match keep their bytes: only the replaced ones are copied.
  CommandFrame frame(editor, Sjis("置換しています…"), {.use_store = true});
  editor.RecordStep({pattern, with});
  if (editor.work_store.empty()) return;

  PlainMatcher matcher(pattern, match_case);
  const std::size_t limit = editor.max_line_length;
  // The store refuses the whole result once a line passes the limit: the
  // lines after it are not worth rewriting.
  bool over = false;
  editor.RewriteWorkStore([&](std::string_view line, std::string& out) {
    if (over) return false;
    std::size_t count;
    if (mode == SearchMode::kRegex) {
      count = static_cast<std::size_t>(RegexReplaceAll(pattern, !match_case, with, line, &out, limit));
    } else if (mode == SearchMode::kExtendedRegex) {
      count = static_cast<std::size_t>(
          RegexReplaceAllExtended(pattern, !match_case, with, line, &out, limit));
    } else {
      count = matcher.ReplaceAll(line, with, &out, limit);
    }
    if (count == 0) return false;
    over = out.size() > limit;
    return true;
  });
}

void FindCommand(Editor& editor) { RunFindCommand(editor, SearchMode::kPlain); }
void RegexFindCommand(Editor& editor) { RunFindCommand(editor, SearchMode::kRegex); }
void ReplaceCommand(Editor& editor) { RunReplaceCommand(editor, SearchMode::kPlain); }
void RegexReplaceCommand(Editor& editor) { RunReplaceCommand(editor, SearchMode::kRegex); }
void ExtendedRegexFindCommand(Editor& editor) { RunFindCommand(editor, SearchMode::kExtendedRegex); }
void ExtendedRegexReplaceCommand(Editor& editor) { RunReplaceCommand(editor, SearchMode::kExtendedRegex); }

}  // namespace parvane
