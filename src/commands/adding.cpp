// Adding and removing text: the commands of "文字列の追加と削除(&B)". Entry
// points are declared in adding.h; the helpers below stay private.
#include "commands/adding.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "automation/params.h"
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

// A numeric parameter confirmed by a Yes/No preview. Outside playback the
// person may decline; under "@all"/"@1st" the prompt and the preview repeat
// until Yes, and a literal value is taken without preview. A cancelled input
// box abandons the command in every case, so a scripted or absent person can
// never loop forever.
std::optional<long> ConfirmedNumber(Editor& editor, std::string_view prompt,
                                    std::string_view initial,
                                    const std::function<std::string(long)>& preview) {
  StepParam param = ReadStepParam(editor, 1);
  if (!param.ask) return NumberParam(editor, 1, {});  // a literal: no prompt
  const std::string caption(kProductName);
  const std::string sjis_prompt = Sjis(prompt);
  const std::string sjis_initial = Sjis(initial);
  for (;;) {
    std::optional<std::string> answer = editor.host().InputBox(caption, sjis_prompt, sjis_initial);
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

// Records name and parameters as one step line.
void RecordWithParams(Editor& editor, std::string_view step_name_utf8,
                      std::initializer_list<std::string> params) {
  editor.step_record.clear();
  editor.step_record.push_back(Sjis(step_name_utf8));
  for (const std::string& p : params) editor.step_record.push_back(p);
  editor.RecordStepRecord();
}

// Applies f to every work line, reporting progress.
template <typename F>
void ForEachWorkLine(Editor& editor, F&& f) {
  Lines& lines = editor.work_lines;
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    f(lines[i], i);
    editor.Progress(i, n);
  }
}

enum class Side { kStart, kEnd };

void AddText(Editor& editor, Side side) {
  const bool start = side == Side::kStart;
  std::optional<std::string> text =
      TextParam(editor, 1, Sjis(start ? "行頭に追加する文字列は？" : "行末に追加する文字列は？"));
  if (!text || text->empty()) return;
  CommandFrame frame(
      editor, Sjis(start ? "行頭に文字列を追加しています…" : "行末に文字列を追加しています…"));
  // The step is recorded as soon as the frame has begun, so that it is kept
  // however the work ends; nothing up to EndCommand reads the buffer.
  RecordWithParams(editor, start ? "[行頭に文字列を追加]" : "[行末に文字列を追加]", {*text});
  if (editor.doc.empty()) return;
  ForEachWorkLine(editor, [&](std::string& line, std::size_t) {
    if (start) {
      line.insert(0, *text);
    } else {
      line += *text;
    }
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
  std::optional<long> n = ConfirmedNumber(
      editor, remove ? "行頭から半角何文字分を削りますか？" : "行頭の半角何文字分を残しますか？",
      "", preview);
  if (!n || *n <= 0) return;
  const std::string busy =
      remove ? Sjis("行頭から、半角 ") + Decimal(*n) + Sjis(" 文字分を削除しています…")
             : Sjis("行頭の半角 ") + Decimal(*n) + Sjis(" 文字分を残して削除しています…");
  CommandFrame frame(editor, busy);
  RecordWithParams(editor, remove ? "[行頭から数文字を削る]" : "[行頭の数文字を残して削る]",
                   {Decimal(*n)});
  if (editor.doc.empty()) return;
  ForEachWorkLine(editor, [&](std::string& line, std::size_t) {
    const std::size_t split = ColumnSplitPoint(line, *n);
    if (remove) {
      line.erase(0, split);
    } else {
      line.resize(split);
    }
  });
}

enum class Radix { kDecimal, kHex };

std::string FormatNumber(std::size_t value, Radix radix) {
  char buffer[32];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, radix == Radix::kHex ? 16 : 10);
  std::string text(buffer, end);
  for (char& c : text) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void NumberLines(Editor& editor, Radix radix) {
  // No more lines are numbered than the document has, so no line grows by
  // more than the digits of its size.
  CommandFrame frame(editor, Sjis("行頭に行番号を付けています…"),
                     {.line_growth = FormatNumber(editor.doc.size(), radix).size()});
  editor.RecordStep(
      Sjis(radix == Radix::kHex ? "[行頭に行番号（16進数）を追加]" : "[行頭に行番号を追加]"));
  if (editor.doc.empty()) return;
  const std::size_t width = FormatNumber(editor.work_lines.size(), radix).size();
  ForEachWorkLine(editor, [&](std::string& line, std::size_t i) {
    // A new string of the exact size: inserting in front would reallocate
    // each line to twice its size.
    const std::string number = FormatNumber(i + 1, radix);
    std::string numbered;
    numbered.reserve(width + line.size());
    numbered.assign(width - std::min(width, number.size()), '0');
    numbered += number;
    numbered += line;
    line = std::move(numbered);
  });
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) {
  return IsDecimalDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void AlignNumbers(Editor& editor, Radix radix) {
  editor.RecordStep(Sjis(radix == Radix::kHex ? "[行頭にある数字（16進数）の桁を揃える]"
                                              : "[行頭にある数字の桁を揃える]"));
  CommandFrame frame(editor, Sjis("行頭にある数字の桁を揃えています..."));
  if (editor.doc.empty()) return;
  const auto is_digit = radix == Radix::kHex ? IsHexDigit : IsDecimalDigit;
  auto count_digits = [&](const std::string& line, std::size_t from) {
    std::size_t i = from;
    while (i < line.size() && is_digit(line[i])) ++i;
    return i - from;
  };
  bool plus = false;
  bool minus = false;
  std::size_t width = 0;
  Lines& lines = editor.work_lines;
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::string& line = lines[i];
    if (line.empty()) continue;
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
    editor.Progress(i, 2 * n);
  }
  const bool sign_column = plus || minus;
  for (std::size_t i = 0; i < n; ++i) {
    std::string& line = lines[i];
    editor.Progress(n + i, 2 * n);
    if (line.empty()) continue;
    const char first = line[0];
    if (!is_digit(first) && first != ' ' && first != '+' && first != '-') continue;
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
  }
}

void MergeFile(Editor& editor, Side side) {
  const bool start = side == Side::kStart;
  FileDialogSpec dialog;
  dialog.title = Sjis(start ? "行頭に合成するファイルを開く" : "行末に合成するファイルを開く");
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
  RecordWithParams(editor, start ? "[行頭に他のファイルを合成]" : "[行末に他のファイルを合成]",
                   {PathToSjis(full)});
  CommandFrame frame(editor, Sjis(start ? "行頭にテキストファイルを合成しています…"
                                        : "行末にテキストファイルを合成しています…"));
  if (editor.doc.empty()) return;
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
  Lines& lines = editor.work_lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string& line = lines[i];
    const std::string& m = merged[i % merged.size()];
    if (m.size() > limit || line.size() > limit - m.size()) {
      line = start ? m.substr(0, limit + 1) + line : line + m.substr(0, limit + 1);
      line.resize(limit + 1);
      break;
    }
    if (start) {
      line.insert(0, m);
    } else {
      line += m;
    }
    editor.Progress(i, lines.size());
  }
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
  std::optional<long> column =
      ConfirmedNumber(editor, "半角何文字目に挿入しますか？", "0", preview);
  if (!column) return;
  std::optional<std::string> text = TextParam(editor, 2, Sjis("行中に追加する文字列は？"));
  if (!text || text->empty()) return;
  CommandFrame frame(editor, Sjis("行中に文字列を追加しています…"));
  RecordWithParams(editor, "[行中に文字列を追加]", {Decimal(*column), *text});
  if (editor.doc.empty()) return;
  ForEachWorkLine(editor, [&](std::string& line, std::size_t) {
    line.insert(ColumnSplitPoint(line, *column - 1), *text);
  });
}

void CutColumnsFromStart(Editor& editor) { CutColumns(editor, Cut::kRemoveStart); }
void KeepColumnsFromStart(Editor& editor) { CutColumns(editor, Cut::kKeepStart); }

void AddLineNumbers(Editor& editor) { NumberLines(editor, Radix::kDecimal); }
void AddHexLineNumbers(Editor& editor) { NumberLines(editor, Radix::kHex); }

void AlignLeadingNumbers(Editor& editor) { AlignNumbers(editor, Radix::kDecimal); }
void AlignLeadingHexNumbers(Editor& editor) { AlignNumbers(editor, Radix::kHex); }

void AddCharacterCounts(Editor& editor) {
  editor.RecordStep(Sjis("[行頭にその行の文字数を追加]"));
  CommandFrame frame(editor, Sjis("行頭に行の文字数を追加しています…"));
  if (editor.doc.empty()) return;
  ForEachWorkLine(editor, [&](std::string& line, std::size_t) {
    line.insert(0, FormatNumber(Utf16Length(line), Radix::kDecimal));
  });
}

void MergeFileAtStart(Editor& editor) { MergeFile(editor, Side::kStart); }
void MergeFileAtEnd(Editor& editor) { MergeFile(editor, Side::kEnd); }

}  // namespace parvane
