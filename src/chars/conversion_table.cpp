// The conversion-table command; see conversion_table.h.
#include "chars/conversion_table.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <vector>

#include "editor/step_params.h"
#include "editor/files.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr unsigned char FoldAscii(unsigned char b) {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

// text with the ASCII letters of its one-byte characters in lower case: the
// key under which search texts are compared.
std::string FoldedKey(std::string_view text) {
  std::string key(text);
  for (std::size_t i = 0; i < key.size();) {
    std::size_t n = SjisCharLength(key, i);
    if (n == 1) key[i] = static_cast<char>(FoldAscii(static_cast<unsigned char>(key[i])));
    i += n;
  }
  return key;
}

}  // namespace

std::optional<ConversionRule> ParseConversionRule(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq == 0) return std::nullopt;
  return ConversionRule{std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))};
}

std::size_t ReplaceIgnoringCase(std::string* line, std::string_view search,
                                std::string_view replacement, std::string* scratch,
                                std::size_t max_length) {
  const std::size_t count =
      ReplaceIgnoringCase(std::string_view(*line), search, replacement, scratch, max_length);
  if (count != 0) line->swap(*scratch);
  return count;
}

std::size_t ReplaceIgnoringCase(std::string_view text, std::string_view search,
                                std::string_view replacement, std::string* out,
                                std::size_t max_length) {
  if (search.empty() || text.size() < search.size()) return 0;
  const unsigned char first = FoldAscii(static_cast<unsigned char>(search[0]));
  const unsigned char first_upper =
      (first >= 'a' && first <= 'z') ? static_cast<unsigned char>(first - 32) : first;
  // Most lines do not hold the first byte at all: skip them without walking.
  if (std::memchr(text.data(), first, text.size()) == nullptr &&
      (first_upper == first || std::memchr(text.data(), first_upper, text.size()) == nullptr)) {
    return 0;
  }

  // An occurrence must have the same character structure as the search text,
  // so that it never starts or ends inside a two-byte character.
  auto matches_at = [&](std::size_t p) {
    for (std::size_t j = 0; j < search.size();) {
      const std::size_t n = SjisCharLength(search, j);
      if (p + j >= text.size() || SjisCharLength(text, p + j) != n) return false;
      if (n == 1) {
        if (FoldAscii(static_cast<unsigned char>(text[p + j])) !=
            FoldAscii(static_cast<unsigned char>(search[j]))) {
          return false;
        }
      } else if (text[p + j] != search[j] || text[p + j + 1] != search[j + 1]) {
        return false;
      }
      j += n;
    }
    return true;
  };

  std::size_t count = 0;
  std::size_t copied = 0;  // text before this offset is already in *out
  for (std::size_t p = 0; p + search.size() <= text.size();) {
    const unsigned char b = FoldAscii(static_cast<unsigned char>(text[p]));
    if (b == first && matches_at(p)) {
      if (count == 0) out->clear();
      out->append(text.data() + copied, p - copied);
      out->append(replacement);
      p += search.size();
      copied = p;
      ++count;
      if (out->size() > max_length) break;
    } else {
      p += SjisCharLength(text, p);
    }
  }
  if (count == 0) return 0;
  if (out->size() <= max_length) out->append(text.data() + copied, text.size() - copied);
  if (out->size() > max_length) out->resize(max_length + 1);
  return count;
}

bool ApplyConversionTable(const Lines& table_lines, Lines& lines,
                          const std::function<void(std::size_t, std::size_t)>& before_rule,
                          std::size_t max_length) {
  LineStore store = LineStore::FromStrings(lines);
  const bool within = ApplyConversionTable(table_lines, store, before_rule, max_length);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (store[i] != lines[i]) lines[i].assign(store[i]);
  }
  return within;
}

bool ApplyConversionTable(const Lines& table_lines, LineStore& lines,
                          const std::function<void(std::size_t, std::size_t)>& before_rule,
                          std::size_t max_length) {
  // The replacement of each search text is that of its first rule.
  std::unordered_map<std::string, std::string> first_replacement;
  std::vector<std::optional<ConversionRule>> rules;
  rules.reserve(table_lines.size());
  for (const std::string& table_line : table_lines) {
    rules.push_back(ParseConversionRule(table_line));
    if (rules.back())
      first_replacement.emplace(FoldedKey(rules.back()->search), rules.back()->replacement);
  }
  // Rewritten lines go to blocks of their own; the others stay views of
  // their old bytes. A line rewritten by several rules leaves its earlier
  // forms behind as dead bytes, so the rewritten lines are copied afresh
  // whenever the dead bytes outweigh the live ones: memory stays within a
  // few times the rewritten text, whatever the number of rules.
  constexpr std::size_t kSlack = std::size_t{16} << 20;
  LineStore::Index& views = lines.views();
  LineStore rewritten;
  std::vector<std::uint8_t> is_rewritten(views.size(), 0);
  std::size_t live = 0;     // bytes of the rewritten lines' present forms
  std::size_t written = 0;  // bytes appended to `rewritten` since it was fresh
  auto put = [&](std::size_t i, std::string_view line) {
    if (is_rewritten[i]) live -= views[i].size();
    rewritten.Append(line);
    views[i] = rewritten.back();
    rewritten.views().pop_back();  // only its blocks are kept, not an index
    is_rewritten[i] = 1;
    live += line.size();
    written += line.size();
  };
  auto compact_if_sparse = [&] {
    if (written <= 2 * live + kSlack) return;
    LineStore fresh;
    for (std::size_t i = 0; i < views.size(); ++i) {
      if (!is_rewritten[i]) continue;
      fresh.Append(views[i]);
      views[i] = fresh.back();
      fresh.views().pop_back();
    }
    rewritten = std::move(fresh);
    written = live;
  };

  bool within = true;
  std::string out;
  const std::size_t n = table_lines.size();
  for (std::size_t k = 0; k < n && within; ++k) {
    if (before_rule) before_rule(k + 1, n);
    if (!rules[k]) continue;
    const std::string& replacement = first_replacement.at(FoldedKey(rules[k]->search));
    for (std::size_t i = 0; i < views.size(); ++i) {
      if (ReplaceIgnoringCase(views[i], rules[k]->search, replacement, &out, max_length) != 0) {
        put(i, out);
      }
      // A line already over the limit ends the rules too: the store refuses it anyway.
      if (views[i].size() > max_length) {
        within = false;
        break;
      }
    }
    compact_if_sparse();
  }
  lines.ShareBlocksOf(rewritten);
  return within;
}

void ConvertByTable(Editor& editor) {
  FileDialogSpec dialog;
  dialog.filter = Sjis(
      "テキストファイル (*.txt)|*.txt|カンマ区切りテキストファイル (*.csv)|*.csv|"
      "すべてのファイル (*.*)|*.*");
  std::optional<std::filesystem::path> file = FileParam(editor, 1, dialog);
  std::error_code ec;
  if (!file || !std::filesystem::is_regular_file(*file, ec)) return;
  const std::filesystem::path path = std::filesystem::absolute(*file, ec);

  editor.RecordStep({PathToSjis(path)});

  const std::string busy = Sjis("変換テーブルで変換しています…");
  std::string failure;
  {
    CommandFrame frame(editor, busy, {.use_store = true});
    Lines table_lines;
    std::string reason;
    if (!ReadTextFileLines(path, &table_lines, &reason)) {
      failure = Sjis("ファイルを開けませんでした。\r\n") + PathToSjis(path) + "\r\n" + Sjis(reason);
    } else {
      ApplyConversionTable(table_lines, editor.work_store, [&](std::size_t k, std::size_t n) {
        char count[64];
        std::snprintf(count, sizeof count, " ( %zu / %zu )", k, n);
        // A nested start and end only changes the busy panel's text.
        editor.host().CommandStarted(busy + count);
        editor.host().CommandEnded();
      }, editor.max_line_length);
    }
  }
  if (!failure.empty()) editor.host().Message(failure, MessageIcon::kError, MessageButtons::kOk);
}

}  // namespace parvane
