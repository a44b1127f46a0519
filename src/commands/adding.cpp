// Adding and removing text: the commands of "文字列の追加と削除(&B)". Entry
// points are declared in adding.h; the helpers below stay private.
#include "commands/adding.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "editor/step_params.h"
#include "editor/files.h"
#include "text/integer.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr bool IsCp932Lead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsCp932Trail(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

std::string Decimal(long value) { return std::to_string(value); }

// Reads a number the way the prompts do; text that is not a number is 0.
long ReadNumber(std::string_view text) { return ParseInteger(text).value_or(0); }

// The row the previews show: the first selected row, or row 0.
std::string SampleLine(const Editor& editor) {
  const Document& doc = editor.doc;
  if (doc.empty()) return {};
  for (std::size_t row = 0; row < doc.size(); ++row) {
    if (doc.IsSelected(row)) return std::string(doc.line(row));
  }
  return std::string(doc.line(0));
}

// Numeric parameter 1 confirmed by a Yes/No preview. Outside playback the
// person may decline; under "@all"/"@1st" the prompt and the preview repeat
// until Yes, and a literal value is taken without preview. A cancelled input
// box abandons the command in every case, so a scripted or absent person can
// never loop forever.
std::optional<long> ConfirmedNumber(Editor& editor,
                                    const std::function<std::string(long)>& preview) {
  StepParam param = ReadStepParam(editor, 1);
  if (!param.ask) return NumberParam(editor, 1);  // a literal: no prompt
  const std::string caption(kProductName);
  const ParamQuestion question = AskedFor(editor, 1);
  for (;;) {
    std::optional<std::string> answer =
        editor.host().InputBox(caption, question.prompt, question.initial);
    if (!answer) return std::nullopt;
    const long n = ReadNumber(*answer);
    const Answer yes_no =
        editor.host().Message(preview(n), MessageIcon::kQuestion, MessageButtons::kYesNo);
    if (yes_no == Answer::kYes) {
      if (param.store) StoreStepParam(editor, 1, Decimal(n));
      return n;
    }
    if (!editor.Playing()) return std::nullopt;
  }
}

// Replaces every work line i by the line that compose(line, i, out) writes
// at out, at most extra bytes longer than line; compose returns the count
// written.
template <typename Compose>
void ComposeWorkLines(Editor& editor, std::size_t extra, Compose&& compose) {
  editor.ComposeWorkStore([extra](std::string_view line) { return line.size() + extra; }, compose);
}

// Copies text to out and returns the end of the copy.
char* Put(char* out, std::string_view text) {
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

enum class Side { kStart, kEnd };

void AddText(Editor& editor, Side side) {
  const bool start = side == Side::kStart;
  std::optional<std::string> text = TextParam(editor, 1);
  if (!text || text->empty()) return;
  CommandFrame frame(
      editor, Sjis(start ? "行頭に文字列を追加しています…" : "行末に文字列を追加しています…"),
      {.use_store = true});
  // The step is recorded as soon as the frame has begun, so that it is kept
  // however the work ends; nothing up to EndCommand reads the buffer.
  editor.RecordStep({*text});
  if (editor.work_store.empty()) return;
  const std::string_view added = *text;
  ComposeWorkLines(editor, added.size(), [&](std::string_view line, std::size_t, char* out) {
    char* end = start ? Put(Put(out, added), line) : Put(Put(out, line), added);
    return static_cast<std::size_t>(end - out);
  });
}

enum class Cut { kRemoveStart, kKeepStart };

void CutColumns(Editor& editor, Cut cut) {
  const bool remove = cut == Cut::kRemoveStart;
  const std::string sample = SampleLine(editor);
  auto preview = [&](long n) {
    const std::size_t split = ColumnSplitPoint(sample, n);
    std::string text = sample;
    text += "\r\n";
    text += Sjis("　が\r\n");
    text += remove ? sample.substr(split) : sample.substr(0, split);
    text += "\r\n";
    text += Sjis("　になります。処理を進めますか？");
    return text;
  };
  std::optional<long> n = ConfirmedNumber(editor, preview);
  if (!n || *n <= 0) return;
  const std::string busy =
      remove ? Sjis("行頭から、半角 ") + Decimal(*n) + Sjis(" 文字分を削除しています…")
             : Sjis("行頭の半角 ") + Decimal(*n) + Sjis(" 文字分を残して削除しています…");
  CommandFrame frame(editor, busy, {.use_store = true});
  editor.RecordStep({Decimal(*n)});
  if (editor.work_store.empty()) return;
  // What is left is a part of each line: its view is narrowed, no byte copied.
  LineStore::Index& lines = editor.work_store.views();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t split = ColumnSplitPoint(lines[i], *n);
    lines[i] = remove ? lines[i].substr(split) : lines[i].substr(0, split);
    editor.Progress(i, lines.size());
  }
}

enum class Radix { kDecimal, kHex };

// The most bytes PutNumber writes.
constexpr std::size_t kNumberRoom = 32;

// Writes value (upper-case hexadecimal digits) to out; returns the end.
char* PutNumber(char* out, std::size_t value, Radix radix) {
  char* end = std::to_chars(out, out + kNumberRoom, value, radix == Radix::kHex ? 16 : 10).ptr;
  for (char* c = out; c != end; ++c) {
    if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
  }
  return end;
}

std::string FormatNumber(std::size_t value, Radix radix) {
  char buffer[kNumberRoom];
  return std::string(buffer, PutNumber(buffer, value, radix));
}

void NumberLines(Editor& editor, Radix radix) {
  // No more lines are numbered than the document has, so no line grows by
  // more than the digits of its size.
  CommandFrame frame(
      editor, Sjis("行頭に行番号を付けています…"),
      {.line_growth = FormatNumber(editor.doc.size(), radix).size(), .use_store = true});
  editor.RecordStep();
  if (editor.work_store.empty()) return;
  const std::size_t width = FormatNumber(editor.work_store.size(), radix).size();
  ComposeWorkLines(editor, width, [&](std::string_view line, std::size_t i, char* out) {
    // The number is written where it ends flush with the width, and the
    // columns in front of it filled with zeros.
    char number[kNumberRoom];
    const std::size_t digits = static_cast<std::size_t>(PutNumber(number, i + 1, radix) - number);
    const std::size_t zeros = width - std::min(width, digits);
    std::memset(out, '0', zeros);
    char* end = Put(Put(out + zeros, std::string_view(number, digits)), line);
    return static_cast<std::size_t>(end - out);
  });
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) {
  return IsDecimalDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void AlignNumbers(Editor& editor, Radix radix) {
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("行頭にある数字の桁を揃えています..."), {.use_store = true});
  if (editor.work_store.empty()) return;
  const auto is_digit = radix == Radix::kHex ? IsHexDigit : IsDecimalDigit;
  auto count_digits = [&](std::string_view line, std::size_t from) {
    std::size_t i = from;
    while (i < line.size() && is_digit(line[i])) ++i;
    return i - from;
  };
  bool plus = false;
  bool minus = false;
  std::size_t width = 0;
  // First pass: each line is tidied in front of its digits (a line it leaves
  // as it was keeps its bytes); second pass: the tidied lines are padded.
  // The gauge runs once per pass.
  editor.RewriteWorkStore([&](std::string_view original, std::string& line) {
    if (original.empty()) return false;
    line.assign(original);
    line.erase(0, std::min(line.find_first_not_of(' '), line.size()));
    const std::size_t pluses = std::min(line.find_first_not_of('+'), line.size());
    if (pluses > 0) {
      plus = true;
      line.erase(0, pluses);
    }
    std::size_t body = 0;
    if (!line.empty() && line[0] == '-') {
      minus = true;
      const std::size_t minuses = std::min(line.find_first_not_of('-'), line.size());
      line.erase(1, minuses - 1);
      body = 1;
    }
    // A negative number is treated like the others from behind its sign: its
    // digits lose their leading zeros and take part in the common width, so
    // "-007" and "12" align as "-07" and " 12".
    if (body < line.size() && line[body] == '0') {
      const std::size_t zeros = std::min(line.find_first_not_of('0', body), line.size()) - body;
      line.erase(body, zeros);
      if (body == line.size() || !is_digit(line[body])) line.insert(body, 1, '0');
    }
    width = std::max(width, count_digits(line, body));
    return line != original;
  });
  const bool sign_column = plus || minus;
  editor.EndProgress();
  editor.RewriteWorkStore([&](std::string_view original, std::string& line) {
    if (original.empty()) return false;
    const char first = original[0];
    if (!is_digit(first) && first != ' ' && first != '+' && first != '-') return false;
    line.assign(original);
    if (first != '-') {
      if (plus) {
        line.insert(0, 1, '+');
      } else if (minus) {
        line.insert(0, 1, ' ');
      }
    }
    const std::size_t from = sign_column ? 1 : 0;
    const std::size_t digits = count_digits(line, from);
    if (digits < width) line.insert(from, width - digits, '0');
    return line != original;
  });
}

void MergeFile(Editor& editor, Side side) {
  const bool start = side == Side::kStart;
  FileDialogSpec dialog;
  dialog.filter = Sjis(
      "テキストファイル (*.txt)|*.txt|カンマ区切りテキストファイル (*.csv)|*.csv|"
      "すべてのファイル (*.*)|*.*");
  dialog.default_extension = "txt";
  std::optional<std::filesystem::path> path = FileParam(editor, 1, dialog);
  if (!path) return;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(*path, ec)) return;
  std::filesystem::path full = std::filesystem::absolute(*path, ec);
  if (ec) full = *path;
  editor.RecordStep({PathToSjis(full)});
  CommandFrame frame(editor,
                     Sjis(start ? "行頭にテキストファイルを合成しています…"
                                : "行末にテキストファイルを合成しています…"),
                     {.use_store = true});
  if (editor.work_store.empty()) return;
  Lines merged;
  std::string error;
  // Read with the loader's code detection rather than as bytes of one code
  // page: here the system's code page is not Shift_JIS, and a UTF-8 or EUC-JP
  // file merged byte for byte would put text of another code into the lines.
  if (!ReadTextFileLines(full, &merged, &error, &editor.private_codes)) {
    // The lines are stored unchanged by the frame; the person learns why.
    editor.host().Message(
        Sjis("ファイルを開けませんでした。\r\n") + PathToSjis(full) + "\r\n" + Sjis(error),
        MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  if (merged.empty()) return;
  // The merged file's lines have no limit of their own: a line that would
  // pass the limit is cut to one byte over it, which the store refuses, and
  // the rest is not built.
  const std::size_t limit = editor.max_line_length;
  bool over = false;
  std::size_t i = 0;
  editor.RewriteWorkStore([&](std::string_view line, std::string& out) {
    if (over) return false;
    const std::string_view m = merged[i++ % merged.size()];
    if (m.size() > limit || line.size() > limit - m.size()) {
      over = true;
      out.append(start ? m.substr(0, limit + 1) : line);
      out.append(start ? line : m.substr(0, limit + 1));
      out.resize(limit + 1);
      return true;
    }
    out.append(start ? m : line);
    out.append(start ? line : m);
    return true;
  });
}

}  // namespace

std::size_t Utf16Length(std::string_view sjis) {
  std::size_t units = 0;
  const std::size_t n = sjis.size();
  for (std::size_t i = 0; i < n; ++units) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    // A pair only when the next byte can be a trail byte; otherwise the lead
    // byte stands alone and the next byte is read on its own.
    if (IsCp932Lead(b) && i + 1 < n && IsCp932Trail(static_cast<unsigned char>(sjis[i + 1]))) {
      i += 2;
    } else {
      i += 1;
    }
  }
  return units;
}

std::size_t ColumnSplitPoint(std::string_view line, long columns) {
  if (columns <= 0) return 0;
  const auto target = static_cast<std::size_t>(columns);
  if (target >= line.size()) return line.size();
  std::size_t i = 0;
  while (i < target) i += SjisCharLength(line, i);
  return i;
}

void AddTextAtStart(Editor& editor) { AddText(editor, Side::kStart); }
void AddTextAtEnd(Editor& editor) { AddText(editor, Side::kEnd); }

void AddTextAtColumn(Editor& editor) {
  const std::string sample = SampleLine(editor);
  const std::string marker = Sjis("[ ※ ]");
  auto preview = [&](long n) {
    // The marker goes exactly where the text will go, character boundaries
    // included.
    std::string text = sample;
    text.insert(ColumnSplitPoint(sample, n - 1), marker);
    text += "\r\n";
    text += Sjis("[ ※ ] の位置に挿入されます。処理を進めますか？");
    return text;
  };
  std::optional<long> column = ConfirmedNumber(editor, preview);
  if (!column) return;
  std::optional<std::string> text = TextParam(editor, 2);
  if (!text || text->empty()) return;
  CommandFrame frame(editor, Sjis("行中に文字列を追加しています…"), {.use_store = true});
  editor.RecordStep({Decimal(*column), *text});
  if (editor.work_store.empty()) return;
  const std::string_view added = *text;
  ComposeWorkLines(editor, added.size(), [&](std::string_view line, std::size_t, char* out) {
    const std::size_t split = ColumnSplitPoint(line, *column - 1);
    char* end = Put(Put(Put(out, line.substr(0, split)), added), line.substr(split));
    return static_cast<std::size_t>(end - out);
  });
}

void CutColumnsFromStart(Editor& editor) { CutColumns(editor, Cut::kRemoveStart); }
void KeepColumnsFromStart(Editor& editor) { CutColumns(editor, Cut::kKeepStart); }

void AddLineNumbers(Editor& editor) { NumberLines(editor, Radix::kDecimal); }
void AddHexLineNumbers(Editor& editor) { NumberLines(editor, Radix::kHex); }

void AlignLeadingNumbers(Editor& editor) { AlignNumbers(editor, Radix::kDecimal); }
void AlignLeadingHexNumbers(Editor& editor) { AlignNumbers(editor, Radix::kHex); }

void AddCharacterCounts(Editor& editor) {
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("行頭に行の文字数を追加しています…"), {.use_store = true});
  if (editor.work_store.empty()) return;
  ComposeWorkLines(editor, kNumberRoom, [&](std::string_view line, std::size_t, char* out) {
    char* end = Put(PutNumber(out, Utf16Length(line), Radix::kDecimal), line);
    return static_cast<std::size_t>(end - out);
  });
}

void MergeFileAtStart(Editor& editor) { MergeFile(editor, Side::kStart); }
void MergeFileAtEnd(Editor& editor) { MergeFile(editor, Side::kEnd); }

}  // namespace parvane
