// Japanese code detection and conversion among Shift_JIS, EUC-JP and 7-bit
// JIS. The entry point for the rest of the program is ConvertJapaneseCode.
//
// Malformed input: where a two-byte character's second byte is missing or is
// plainly not part of it (a control character such as CR or LF, a space, a
// digit), the first byte is copied as it is and the second is read on its
// own, so a stray byte never swallows a line break and nothing is lost.
#include "codes/jis.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/append_block.h"
#include "text/parallel_chunks.h"

namespace parvane {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kSs2 = 0x8E;  // EUC-JP: a half-width katakana follows

// The cells of kHalfWidthKanaToJis, from 0xA1 on.
constexpr unsigned char kKanaCells[63] = {
    0x23, 0x56, 0x57, 0x22, 0x26, 0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65,
    0x67, 0x43, 0x3C, 0x22, 0x24, 0x26, 0x28, 0x2A, 0x2B, 0x2D, 0x2F, 0x31, 0x33,
    0x35, 0x37, 0x39, 0x3B, 0x3D, 0x3F, 0x41, 0x44, 0x46, 0x48, 0x4A, 0x4B, 0x4C,
    0x4D, 0x4E, 0x4F, 0x52, 0x55, 0x58, 0x5B, 0x5E, 0x5F, 0x60, 0x61, 0x62, 0x64,
    0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F, 0x73, 0x2B, 0x2C};

// Punctuation, the prolonged sound mark and the voicing marks are in row
// 0x21; everything else is in the katakana row 0x25.
constexpr unsigned char KanaRow(unsigned char k) {
  return (k <= 0xA5 || k == 0xB0 || k == 0xDE || k == 0xDF) ? 0x21 : 0x25;
}

struct KanaTable {
  BytePair pairs[63];
  constexpr KanaTable() : pairs() {
    for (int i = 0; i < 63; ++i) {
      pairs[i] = BytePair{KanaRow(static_cast<unsigned char>(0xA1 + i)), kKanaCells[i]};
    }
  }
};

constexpr KanaTable kKanaTable;

constexpr unsigned char At(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}

constexpr bool IsKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

// A byte that cannot be the second byte of a Shift_JIS character.
constexpr bool BreaksSjisPair(unsigned char b) { return b < 0x40; }

// The result of one conversion, written through a small block (see
// text/append_block.h); a result sized in advance would touch memory for its
// worst case.
class Output {
 public:
  explicit Output(std::size_t expected) { result_.reserve(expected); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  // Makes room for n more bytes (n <= 8).
  void Reserve(std::size_t n) { p_ = block_.Room(p_, n); }
  void Put(unsigned char b) { *p_++ = static_cast<char>(b); }
  void Put(BytePair pair) {
    p_[0] = static_cast<char>(pair.first);
    p_[1] = static_cast<char>(pair.second);
    p_ += 2;
  }
  void PutEsc(char a, char b) {
    p_[0] = static_cast<char>(kEsc);
    p_[1] = a;
    p_[2] = b;
    p_ += 3;
  }
  std::string Take() {
    block_.Finish(p_);
    p_ = block_.data;
    return std::move(result_);
  }

 private:
  std::string result_;
  AppendBlock<char> block_{result_};
  char* p_ = block_.data;
};

// Writes 7-bit JIS; the two sources differ only in how a character is read.
template <KanaForm kForm>
std::string ToJis(std::string_view text) {
  Output out(text.size() + text.size() / 4 + 8);
  bool two_byte = false;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    // One step writes at most an escape and a pair.
    out.Reserve(5);
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (two_byte) {
        out.PutEsc('(', 'J');
        two_byte = false;
      }
      out.Put(c);
      ++i;
      continue;
    }
    if (!two_byte) {
      out.PutEsc('$', 'B');
      two_byte = true;
    }
    if constexpr (kForm == KanaForm::kShiftJis) {
      if (IsKana(c)) {
        out.Put(KanaToJisPair(text, &i, kForm));
        continue;
      }
      if (i + 1 >= n || BreaksSjisPair(At(text, i + 1))) {
        out.Put(c);
        ++i;
        continue;
      }
      out.Put(SjisToJisPair(c, At(text, i + 1)));
      i += 2;
    } else {
      if (i + 1 >= n || At(text, i + 1) < 0x80) {
        out.Put(c);
        ++i;
        continue;
      }
      if (c == kSs2) {
        ++i;
        out.Put(KanaToJisPair(text, &i, kForm));
        continue;
      }
      out.Put(BytePair{static_cast<unsigned char>(c & 0x7F),
                       static_cast<unsigned char>(At(text, i + 1) & 0x7F)});
      i += 2;
    }
  }
  return out.Take();
}

// Reads 7-bit JIS; to_sjis chooses the two-byte form written.
std::string FromJis(std::string_view jis, bool to_sjis) {
  Output out(jis.size());
  bool two_byte = false;
  const std::size_t n = jis.size();
  for (std::size_t i = 0; i < n;) {
    out.Reserve(2);
    unsigned char c = static_cast<unsigned char>(jis[i]);
    if (c == kEsc) {
      unsigned char kind = At(jis, i + 1);
      if (kind == '$') two_byte = true;
      if (kind == '(') two_byte = false;
      i += 3;
      continue;
    }
    auto in_set = [](unsigned char b) { return b >= 0x21 && b <= 0x7E; };
    if (!two_byte || !in_set(c)) {
      out.Put(c);
      ++i;
    } else if (!to_sjis) {
      out.Put(static_cast<unsigned char>(c + 0x80));
      ++i;
    } else if (i + 1 < n && in_set(At(jis, i + 1))) {
      out.Put(JisToSjisPair(c, At(jis, i + 1)));
      i += 2;
    } else {
      // Half a character before a line break or an escape: keep the byte.
      out.Put(c);
      ++i;
    }
  }
  return out.Take();
}

}  // namespace

BytePair HalfWidthKanaToJis(unsigned char k) {
  return IsKana(k) ? kKanaTable.pairs[k - 0xA1] : BytePair{0x22, 0x2E};
}

JapaneseCode DetectJapaneseCode(std::string_view text) {
  const std::size_t len = text.size();
  // Positions below are 0-based; the rules read "p < len" as "not the last
  // byte", and a byte past the end reads as 0.
  for (std::size_t p = 0; p < 65536 && p + 1 < len; ++p) {
    unsigned char c = static_cast<unsigned char>(text[p]);
    if (c < 0x08 || c == 0xFF) return CodeControlBytes;
  }
  JapaneseCode result = CodeAscii;
  std::size_t p = 0;
  while ((result == CodeAscii || result == CodeEucOrSjis) && p + 1 < len) {
    unsigned char c = static_cast<unsigned char>(text[p]);
    unsigned char d = At(text, p + 1);
    if (c == kEsc) {
      unsigned char e = At(text, p + 2);
      if (d == '$') {
        if (e == 'B') result = CodeJis;
        if (e == '@') result = CodeJisOld;
        // JIS X 0212 and JIS X 0213: only 7-bit JIS writes these escapes.
        if (e == '(' && std::strchr("DOPQ", At(text, p + 3)) != nullptr && At(text, p + 3) != 0) {
          result = CodeJis;
        }
        p += 3;
      } else {
        // Half-width katakana, ESC ( I.
        if (d == '(' && e == 'I') result = CodeJis;
        p += 2;
      }
    } else if (c < 0x08 || c == 0xFF) {
      result = CodeControlBytes;
      p += 1;
    } else if (c <= 0x7F || c == 0x80 || c == 0xA0) {
      p += 1;
    } else if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9F)) {
      result = CodeSjis;
      p += 1;
    } else if (c == kSs2) {
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0) || (d >= 0xE0 && d <= 0xFC)) {
        result = CodeSjis;
      } else if (IsKana(d)) {
        result = CodeEucOrSjis;
      }
      p += 2;
    } else if (IsKana(c)) {
      if (d >= 0xE0 && d <= 0xEF) {
        result = CodeEucOrSjis;
        std::size_t q = p + 1;
        while (q < len && At(text, q) >= 0x40 && result == CodeEucOrSjis) {
          unsigned char b = At(text, q);
          if ((b >= 0x81 && b <= 0x8D) || (b >= 0x8F && b <= 0x9C)) result = CodeSjis;
          if (b == 0xFD || b == 0xFE) result = CodeEuc;
          ++q;
        }
        p = q + 1;
      } else {
        if (d >= 0xF0 && d <= 0xFE) {
          result = CodeEuc;
        } else if (IsKana(d)) {
          result = CodeEucOrSjis;
        } else if (d <= 0x9F) {
          result = CodeSjis;
        }
        p += 2;
      }
    } else if (c >= 0xF0) {  // 0xF0-0xFE; 0xFF was taken above
      result = CodeEuc;
      p += 1;
    } else {  // 0xE0-0xEF
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0)) {
        result = CodeSjis;
      } else if (d == 0xFD || d == 0xFE) {
        result = CodeEuc;
      } else if (d >= 0xA1 && d <= 0xFC) {
        result = CodeEucOrSjis;
      }
      p += 2;
    }
  }
  return result;
}

std::string ConvertJapaneseCode(std::string_view text, JapaneseCode target) {
  JapaneseCode d = DetectJapaneseCode(text);
  if (d == CodeAscii || d == CodeControlBytes || d == CodeEucOrSjis || d == target) {
    return std::string(text);
  }
  bool from_jis = d == CodeJis || d == CodeJisOld;
  switch (target) {
    case CodeJis:
      if (d == CodeEuc) return EucToJis(text);
      if (d == CodeSjis) return SjisToJis(text);
      break;
    case CodeEuc:
      if (from_jis) return JisToEuc(text);
      if (d == CodeSjis) return SjisToEuc(text);
      break;
    case CodeSjis:
      if (from_jis) return JisToSjis(text);
      if (d == CodeEuc) return EucToSjis(text);
      break;
    default:
      break;
  }
  return std::string(text);
}

BytePair JisToSjisPair(unsigned char j1, unsigned char j2) {
  unsigned char first = static_cast<unsigned char>(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
  unsigned char second;
  if (j1 % 2 == 0) {
    second = static_cast<unsigned char>(j2 + 0x7E);
  } else {
    second = static_cast<unsigned char>(j2 < 0x60 ? j2 + 0x1F : j2 + 0x20);
  }
  return {first, second};
}

BytePair SjisToJisPair(unsigned char s1, unsigned char s2) {
  int adjust = s2 < 0x9F ? 1 : 0;
  unsigned char row = static_cast<unsigned char>(2 * (s1 - (s1 < 0xA0 ? 0x70 : 0xB0)) - adjust);
  unsigned char cell;
  if (adjust == 0) {
    cell = static_cast<unsigned char>(s2 - 0x7E);
  } else {
    cell = static_cast<unsigned char>(s2 >= 0x80 ? s2 - 0x20 : s2 - 0x1F);
  }
  return {row, cell};
}

BytePair KanaToJisPair(std::string_view text, std::size_t* pos, KanaForm form) {
  unsigned char k = At(text, *pos);
  *pos += 1;
  BytePair pair = HalfWidthKanaToJis(k);
  if (!IsKana(k)) return pair;
  // The voicing mark that may follow, and how many bytes it takes.
  unsigned char mark = 0;
  std::size_t mark_size = 0;
  if (form == KanaForm::kShiftJis) {
    mark = At(text, *pos);
    mark_size = 1;
  } else if (At(text, *pos) == kSs2) {
    mark = At(text, *pos + 1);
    mark_size = 2;
  }
  if (*pos + mark_size > text.size()) return pair;
  if (mark == 0xDE) {
    if (k == 0xB3) {
      pair.second = 0x74;  // ヴ
    } else if ((k >= 0xB6 && k <= 0xC4) || (k >= 0xCA && k <= 0xCE)) {
      pair.second += 1;
    } else {
      return pair;
    }
    *pos += mark_size;
  } else if (mark == 0xDF && k >= 0xCA && k <= 0xCE) {
    pair.second += 2;
    *pos += mark_size;
  }
  return pair;
}

std::string SjisToEuc(std::string_view sjis) {
  Output out(sjis.size() + sjis.size() / 8 + 8);
  const std::size_t n = sjis.size();
  const unsigned char* s = reinterpret_cast<const unsigned char*>(sjis.data());
  for (std::size_t i = 0; i < n;) {
    out.Reserve(2);
    unsigned char c = s[i];
    if (c < 0x80) {
      out.Put(c);
      ++i;
    } else if (IsKana(c)) {
      out.Put(kSs2);
      out.Put(c);
      ++i;
    } else if (i + 1 >= n || BreaksSjisPair(s[i + 1])) {
      out.Put(c);
      ++i;
    } else {
      BytePair j = SjisToJisPair(c, s[i + 1]);
      out.Put(BytePair{static_cast<unsigned char>(j.first + 0x80),
                       static_cast<unsigned char>(j.second + 0x80)});
      i += 2;
    }
  }
  return out.Take();
}

namespace {

// JisToSjisPair as tables: the lead byte depends only on the row, the trail
// byte only on the row's parity and the cell.
struct EucToSjisTable {
  unsigned char lead[256];
  unsigned char trail[2][256];
};

const EucToSjisTable& EucPairs() {
  static const EucToSjisTable table = [] {
    EucToSjisTable t{};
    for (int b = 0; b < 256; ++b) {
      unsigned char j = static_cast<unsigned char>(b & 0x7F);
      t.lead[b] = JisToSjisPair(j, 0x21).first;
      t.trail[0][b] = JisToSjisPair(0x22, j).second;
      t.trail[1][b] = JisToSjisPair(0x21, j).second;
    }
    return t;
  }();
  return table;
}

}  // namespace

namespace {

// EucToSjis of euc[0, n) into p, which has room for n bytes; returns the end
// of what it wrote. A local pointer, not a member, so the compiler need not
// assume that the bytes written change where it writes.
char* EucToSjisInto(const unsigned char* e, std::size_t n, char* p) {
  const EucToSjisTable& pairs = EucPairs();
  std::size_t i = 0;
  while (i < n) {
    unsigned char c = e[i];
    if (c <= 0x80 || c == 0xFF || i + 1 >= n || e[i + 1] < 0x80) {
      *p++ = static_cast<char>(c);
      ++i;
    } else if (c == kSs2) {
      *p++ = static_cast<char>(e[i + 1]);
      i += 2;
    } else {
      unsigned char d = e[i + 1];
      p[0] = static_cast<char>(pairs.lead[c]);
      p[1] = static_cast<char>(pairs.trail[c & 1][d]);
      p += 2;
      i += 2;
    }
  }
  return p;
}

// Below this a file is converted on the calling thread: a thread costs more
// than it saves.
constexpr std::size_t kParallelEuc = std::size_t{1} << 20;

}  // namespace

std::string EucToSjis(std::string_view euc, unsigned workers) {
  // Pairs stay pairs and 8E k shrinks to k: never longer than the input.
  std::string out(euc.size(), '\0');
  const std::size_t n = euc.size();
  const unsigned char* e = reinterpret_cast<const unsigned char*>(euc.data());
  const std::size_t pieces = ChunkCount(n, kParallelEuc, workers);
  if (pieces <= 1) {
    out.resize(static_cast<std::size_t>(EucToSjisInto(e, n, out.data()) - out.data()));
    return out;
  }
  // A byte below 0x80 is never the second byte of a pair, so the byte after
  // a line feed starts a character: pieces cut there convert exactly as the
  // whole text does. Each piece writes at its own start (its output is no
  // longer than its input); the results are then closed up.
  std::vector<std::size_t> starts(pieces + 1, n);
  starts[0] = 0;
  for (std::size_t k = 1; k < pieces; ++k) {
    std::size_t from = std::max(n / pieces * k, starts[k - 1]);
    const void* lf = std::memchr(e + from, '\n', n - from);
    starts[k] = lf == nullptr ? n : static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - e) + 1;
  }
  std::vector<std::size_t> ends(pieces);
  ForEachChunk(
      pieces, 1,
      [&](std::size_t, std::size_t first, std::size_t last) {
        for (std::size_t k = first; k < last; ++k) {
          char* begin = out.data() + starts[k];
          ends[k] = starts[k] + static_cast<std::size_t>(
                                    EucToSjisInto(e + starts[k], starts[k + 1] - starts[k], begin) - begin);
        }
      },
      workers);
  std::size_t size = ends[0];
  for (std::size_t k = 1; k < pieces; ++k) {
    const std::size_t length = ends[k] - starts[k];
    std::memmove(out.data() + size, out.data() + starts[k], length);
    size += length;
  }
  out.resize(size);
  return out;
}

std::string SjisToJis(std::string_view sjis) { return ToJis<KanaForm::kShiftJis>(sjis); }

std::string EucToJis(std::string_view euc) { return ToJis<KanaForm::kEucJp>(euc); }

std::string JisToSjis(std::string_view jis) { return FromJis(jis, true); }

std::string JisToEuc(std::string_view jis) { return FromJis(jis, false); }

}  // namespace parvane
