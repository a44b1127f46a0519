// The class commands' shared handler; see kind_classes.h.
//
// The text is walked one Shift_JIS character at a time; each character's
// UTF-16 unit (a table lookup) decides its class, and the mapped bytes come
// from the tables of kind_mapping.cpp. Characters outside the class keep
// their bytes, so undefined codes and the duplicate codes of code page 932
// pass through untouched instead of being normalised by a round trip.
#include "chars/kind_classes.h"

#include "chars/kind_mapping.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

// The busy messages, UTF-8, in KindClass order.
constexpr std::string_view kBusyMessages[] = {
    "全角英字を半角英字に変換しています…",
    "全角数字を半角数字に変換しています…",
    "全角記号を半角記号に変換しています…",
    "全角カタカナを半角カタカナに変換しています…",
    "半角英字を全角英字に変換しています…",
    "半角数字を全角数字に変換しています…",
    "半角記号を全角記号に変換しています…",
    "半角カタカナを全角カタカナに変換しています…",
    "全角と半角を入れ替えています…",
    "ひらがなとカタカナを入れ替えています…",
    "大文字と小文字を入れ替えています…",
};

constexpr bool In(char16_t u, char16_t lo, char16_t hi) { return u >= lo && u <= hi; }

// What happens to one character.
enum class Action { kCopy, kMap, kYen };

// Decides the action for unit u (of a character of `length` bytes) under
// `kind`, and the mapping when the action is kMap.
Action Decide(KindClass kind, char16_t u, std::size_t length, KindMapping* mapping) {
  using M = KindMapping;
  auto map = [&](M m) {
    *mapping = m;
    return Action::kMap;
  };
  switch (kind) {
    case KindClass::kAlphabetToHalfWidth:
      if (In(u, 0xFF21, 0xFF3A) || In(u, 0xFF41, 0xFF5A)) return map(M::kHalfWidth);
      break;
    case KindClass::kDigitsToHalfWidth:
      if (In(u, 0xFF10, 0xFF19)) return map(M::kHalfWidth);
      break;
    case KindClass::kSymbolsToHalfWidth:
      if (u == 0x3000 || In(u, 0xFF01, 0xFF0F) || In(u, 0xFF1A, 0xFF20) || In(u, 0xFF3B, 0xFF40) ||
          In(u, 0xFF5B, 0xFF5E)) {
        return map(M::kHalfWidth);
      }
      break;
    case KindClass::kKatakanaToHalfWidth:
      if (In(u, 0x3001, 0x30FE)) return map(M::kHalfWidth);
      break;
    case KindClass::kAlphabetToFullWidth:
      if (In(u, 'A', 'Z') || In(u, 'a', 'z')) return map(M::kFullWidth);
      break;
    case KindClass::kDigitsToFullWidth:
      if (In(u, '0', '9')) return map(M::kFullWidth);
      break;
    case KindClass::kSymbolsToFullWidth:
      if (u == '\\') return Action::kYen;
      if (In(u, 0x20, 0x2F) || In(u, 0x3A, 0x40) || u == 0x5B || In(u, 0x5D, 0x60) ||
          In(u, 0x7B, 0x7E)) {
        return map(M::kFullWidth);
      }
      break;
    case KindClass::kKatakanaToFullWidth:
      if (In(u, 0xFF61, 0xFF9F)) return map(M::kFullWidth);
      break;
    case KindClass::kSwapWidth:
      if (u == '\\') return Action::kYen;
      return map(length == 1 ? M::kFullWidth : M::kHalfWidth);
    case KindClass::kSwapHiraganaKatakana:
      if (In(u, 0x3041, 0x3093)) return map(M::kKatakana);
      if (In(u, 0x30A1, 0x30F3)) return map(M::kHiragana);
      break;
    case KindClass::kSwapCase:
      if (In(u, 'A', 'Z') || In(u, 0xFF21, 0xFF3A)) return map(M::kLowerCase);
      if (In(u, 'a', 'z') || In(u, 0xFF41, 0xFF5A)) return map(M::kUpperCase);
      break;
  }
  return Action::kCopy;
}

}  // namespace

void AppendKindClassConverted(KindClass kind, std::string_view text, std::string* out) {
  static const std::string yen = Sjis("￥");
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const std::size_t n = SjisCharLength(text, i);
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const unsigned code = n == 2 ? (b << 8 | static_cast<unsigned char>(text[i + 1])) : b;
    const char16_t u = KindCharUnit(code);

    // A sound mark joins whatever precedes it, in or out of the class; the
    // pair is used only when it has a single two-byte form (ｶﾞ -> ガ).
    if (kind == KindClass::kKatakanaToFullWidth && i + n < size) {
      const unsigned char next = static_cast<unsigned char>(text[i + n]);
      if (next == 0xDE || next == 0xDF) {
        unsigned merged = In(u, 0xFF61, 0xFF9F) ? MergedSoundMarkCode(b, next) : 0;
        if (merged != 0) {
          out->push_back(static_cast<char>(merged >> 8));
          out->push_back(static_cast<char>(merged & 0xFF));
        } else {
          out->append(text.data() + i, n + 1);
        }
        i += n + 1;
        continue;
      }
    }

    KindMapping mapping = KindMapping::kHalfWidth;
    switch (u == 0xFFFF ? Action::kCopy : Decide(kind, u, n, &mapping)) {
      case Action::kYen:
        out->append(yen);
        break;
      case Action::kMap: {
        const MappedChar& m = MapKindChar(mapping, code);
        if (m.length != 0) {
          out->append(m.bytes, m.length);
        } else {
          out->append(text.data() + i, n);
        }
        break;
      }
      case Action::kCopy:
        out->append(text.data() + i, n);
        break;
    }
    i += n;
  }
}

std::string KindClassConverted(KindClass kind, std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  AppendKindClassConverted(kind, text, &out);
  return out;
}

void ConvertKindClass(Editor& editor, KindClass kind) {
  editor.RecordStep();
  CommandFrame frame(editor, Sjis(kBusyMessages[static_cast<int>(kind)]), {.use_store = true});
  // Lines are converted one by one, so that no second copy of the whole text
  // is made; this gives what walking the lines joined with CR LF gives, since
  // no class maps CR or LF. The one place where the line break shows is a
  // sound mark that begins a line after the first: in the joined text it
  // follows the LF, a character outside the class, so it stays as it is.
  bool first = true;
  editor.RewriteWorkStore([kind, &first](std::string_view line, std::string& out) {
    const bool mark_after_break = kind == KindClass::kKatakanaToFullWidth && !first &&
                                  !line.empty() && (line[0] == '\xDE' || line[0] == '\xDF');
    first = false;
    if (mark_after_break) out.push_back(line[0]);
    AppendKindClassConverted(kind, line.substr(mark_after_break ? 1 : 0), &out);
    return out != line;
  });
  editor.EndProgress();
}

void AlphabetToHalfWidth(Editor& editor) {
  ConvertKindClass(editor, KindClass::kAlphabetToHalfWidth);
}
void DigitsToHalfWidth(Editor& editor) { ConvertKindClass(editor, KindClass::kDigitsToHalfWidth); }
void SymbolsToHalfWidth(Editor& editor) {
  ConvertKindClass(editor, KindClass::kSymbolsToHalfWidth);
}
void KatakanaToHalfWidth(Editor& editor) {
  ConvertKindClass(editor, KindClass::kKatakanaToHalfWidth);
}
void AlphabetToFullWidth(Editor& editor) {
  ConvertKindClass(editor, KindClass::kAlphabetToFullWidth);
}
void DigitsToFullWidth(Editor& editor) { ConvertKindClass(editor, KindClass::kDigitsToFullWidth); }
void SymbolsToFullWidth(Editor& editor) {
  ConvertKindClass(editor, KindClass::kSymbolsToFullWidth);
}
void KatakanaToFullWidth(Editor& editor) {
  ConvertKindClass(editor, KindClass::kKatakanaToFullWidth);
}
void SwapWidth(Editor& editor) { ConvertKindClass(editor, KindClass::kSwapWidth); }
void SwapHiraganaKatakana(Editor& editor) {
  ConvertKindClass(editor, KindClass::kSwapHiraganaKatakana);
}
void SwapCase(Editor& editor) { ConvertKindClass(editor, KindClass::kSwapCase); }

}  // namespace parvane
