// The six character-kind mappings. Entry points: MapKindUnit (one UTF-16
// unit) and the Shift_JIS tables behind MapKindChar / AppendMappedKind, which
// are derived from MapKindUnit once, so the two can never disagree.
#include "chars/kind_mapping.h"

#include <array>
#include <memory>

#include "text/cp932.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr char16_t kVoicedMark = 0xFF9E;      // ﾞ
constexpr char16_t kSemiVoicedMark = 0xFF9F;  // ﾟ

// Full-width forms of the half-width katakana block U+FF61-U+FF9F, in order.
constexpr char16_t kHalfKanaToFull[0x3F] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2,                  // ｡｢｣､･ｦ
    0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7,  // ｧｨｩｪｫｬｭｮ
    0x30C3, 0x30FC,                                                  // ｯｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,                          // ｱｲｳｴｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,                          // ｶｷｸｹｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,                          // ｻｼｽｾｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,                          // ﾀﾁﾂﾃﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,                          // ﾅﾆﾇﾈﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,                          // ﾊﾋﾌﾍﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,                          // ﾏﾐﾑﾒﾓ
    0x30E4, 0x30E6, 0x30E8,                                          // ﾔﾕﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED,                          // ﾗﾘﾙﾚﾛ
    0x30EF, 0x30F3,                                                  // ﾜﾝ
    0x309B, 0x309C,                                                  // ﾞﾟ
};

// The full-width katakana block and its marks (U+3000-U+30FF) in half
// width: up to two units (base letter + sound mark); 0 where there is none.
struct HalfForms {
  std::array<std::array<char16_t, 2>, 0x100> form{};
  HalfForms() {
    for (int i = 0; i < 0x3F; ++i) {
      form[kHalfKanaToFull[i] - 0x3000][0] = static_cast<char16_t>(0xFF61 + i);
    }
    for (int i = 0; i < 0x3F; ++i) {
      char16_t half = static_cast<char16_t>(0xFF61 + i);
      for (char16_t mark : {kVoicedMark, kSemiVoicedMark}) {
        char16_t merged = MergeSoundMark(half, mark);
        if (merged != 0) form[merged - 0x3000] = {half, mark};
      }
    }
    form[0] = {};  // U+3000 is the ideographic space, handled with ASCII
  }
};

const HalfForms& HalfKanaForms() {
  static const HalfForms forms;
  return forms;
}

bool IsGreekOrCyrillicCapital(char16_t u) {
  return (u >= 0x0391 && u <= 0x03A9 && u != 0x03A2) || (u >= 0x0410 && u <= 0x042F);
}

bool IsGreekOrCyrillicSmall(char16_t u) {
  return (u >= 0x03B1 && u <= 0x03C9 && u != 0x03C2) || (u >= 0x0430 && u <= 0x044F);
}

int One(char16_t unit, char16_t out[2]) {
  out[0] = unit;
  return 1;
}

// Every Shift_JIS character's unit and its mapped forms, built once from
// MapKindUnit and the code page tables.
struct KindTables {
  std::array<char16_t, 0x10000> unit;
  std::array<std::array<MappedChar, 0x10000>, kKindMappingCount> mapped;
  std::array<std::array<std::uint16_t, 2>, 0x40> merged{};  // [kana - 0xA0][mark - 0xDE]

  KindTables() {
    unit.fill(0xFFFF);
    for (unsigned code = 0; code < 0x10000; ++code) {
      if (code >= 0x100 && !IsSjisLeadByte(static_cast<unsigned char>(code >> 8))) continue;
      int u = Cp932ToUnit(static_cast<int>(code));
      if (u >= 0) unit[code] = static_cast<char16_t>(u);
    }
    for (int m = 0; m < kKindMappingCount; ++m) {
      for (unsigned code = 0; code < 0x10000; ++code) {
        if (unit[code] == 0xFFFF) continue;
        char16_t out[2];
        int n = MapKindUnit(static_cast<KindMapping>(m), unit[code], out);
        if (n > 0) mapped[m][code] = Encode(out, n);
      }
    }
    for (unsigned kana = 0xA1; kana <= 0xDF; ++kana) {
      for (unsigned mark = 0xDE; mark <= 0xDF; ++mark) {
        char16_t u = MergeSoundMark(unit[kana], unit[mark]);
        int code = u != 0 ? Cp932FromUnit(u) : -1;
        if (code >= 0x100) merged[kana - 0xA0][mark - 0xDE] = static_cast<std::uint16_t>(code);
      }
    }
  }

  // The Shift_JIS bytes of out[0..n); length 0 when a unit has no form.
  static MappedChar Encode(const char16_t* out, int n) {
    MappedChar result;
    int length = 0;
    for (int k = 0; k < n; ++k) {
      int code = Cp932FromUnit(out[k]);
      if (code < 0) return MappedChar{};
      if (code >= 0x100) {
        if (length + 2 > 2) return MappedChar{};
        result.bytes[length++] = static_cast<char>(code >> 8);
        result.bytes[length++] = static_cast<char>(code & 0xFF);
      } else {
        if (length + 1 > 2) return MappedChar{};
        result.bytes[length++] = static_cast<char>(code);
      }
    }
    result.length = static_cast<std::uint8_t>(length);
    return result;
  }
};

const KindTables& Tables() {
  static const std::unique_ptr<KindTables> tables = std::make_unique<KindTables>();
  return *tables;
}

}  // namespace

char16_t MergeSoundMark(char16_t half_kana, char16_t mark) {
  if (mark == kVoicedMark) {
    if (half_kana == 0xFF73) return 0x30F4;              // ｳﾞ -> ヴ
    if ((half_kana >= 0xFF76 && half_kana <= 0xFF84) ||  // ｶ..ﾄ
        (half_kana >= 0xFF8A && half_kana <= 0xFF8E)) {  // ﾊ..ﾎ
      return static_cast<char16_t>(kHalfKanaToFull[half_kana - 0xFF61] + 1);
    }
  } else if (mark == kSemiVoicedMark) {
    if (half_kana >= 0xFF8A && half_kana <= 0xFF8E) {
      return static_cast<char16_t>(kHalfKanaToFull[half_kana - 0xFF61] + 2);
    }
  }
  return 0;
}

int MapKindUnit(KindMapping mapping, char16_t u, char16_t out[2]) {
  switch (mapping) {
    case KindMapping::kHalfWidth:
      if (u >= 0xFF01 && u <= 0xFF5E) return One(static_cast<char16_t>(u - 0xFEE0), out);
      if (u == 0x3000) return One(0x0020, out);
      if (u >= 0x3000 && u <= 0x30FF) {
        const auto& form = HalfKanaForms().form[u - 0x3000];
        if (form[0] == 0) return 0;
        out[0] = form[0];
        out[1] = form[1];
        return form[1] != 0 ? 2 : 1;
      }
      return 0;
    case KindMapping::kFullWidth:
      if (u == 0x005C) return One(0xFFE5, out);
      if (u >= 0x0021 && u <= 0x007E) return One(static_cast<char16_t>(u + 0xFEE0), out);
      if (u == 0x0020) return One(0x3000, out);
      if (u >= 0xFF61 && u <= 0xFF9F) return One(kHalfKanaToFull[u - 0xFF61], out);
      return 0;
    case KindMapping::kKatakana:
      if (u >= 0x3041 && u <= 0x3093) return One(static_cast<char16_t>(u + 0x60), out);
      if (u == 0x309D || u == 0x309E) return One(static_cast<char16_t>(u + 0x60), out);
      return 0;
    case KindMapping::kHiragana:
      if (u >= 0x30A1 && u <= 0x30F3) return One(static_cast<char16_t>(u - 0x60), out);
      if (u == 0x30FD || u == 0x30FE) return One(static_cast<char16_t>(u - 0x60), out);
      return 0;
    case KindMapping::kLowerCase:
      if ((u >= 'A' && u <= 'Z') || (u >= 0xFF21 && u <= 0xFF3A) || IsGreekOrCyrillicCapital(u)) {
        return One(static_cast<char16_t>(u + 0x20), out);
      }
      if (u == 0x0401) return One(0x0451, out);  // Ё -> ё
      return 0;
    case KindMapping::kUpperCase:
      if ((u >= 'a' && u <= 'z') || (u >= 0xFF41 && u <= 0xFF5A) || IsGreekOrCyrillicSmall(u)) {
        return One(static_cast<char16_t>(u - 0x20), out);
      }
      if (u == 0x0451) return One(0x0401, out);
      return 0;
  }
  return 0;
}

const MappedChar& MapKindChar(KindMapping mapping, unsigned code) {
  return Tables().mapped[static_cast<int>(mapping)][code & 0xFFFF];
}

char16_t KindCharUnit(unsigned code) { return Tables().unit[code & 0xFFFF]; }

unsigned MergedSoundMarkCode(unsigned char kana, unsigned char mark) {
  if (!IsHalfWidthKana(kana) || (mark != 0xDE && mark != 0xDF)) return 0;
  return Tables().merged[kana - 0xA0][mark - 0xDE];
}

void AppendMappedKind(KindMapping mapping, std::string_view text, std::string* out) {
  const KindTables& tables = Tables();
  const auto& mapped = tables.mapped[static_cast<int>(mapping)];
  const bool merge = mapping == KindMapping::kFullWidth;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (merge && IsHalfWidthKana(b) && i + 1 < size) {
      unsigned char next = static_cast<unsigned char>(text[i + 1]);
      if (next == 0xDE || next == 0xDF) {
        unsigned code = tables.merged[b - 0xA0][next - 0xDE];
        if (code != 0) {
          out->push_back(static_cast<char>(code >> 8));
          out->push_back(static_cast<char>(code & 0xFF));
          i += 2;
          continue;
        }
      }
    }
    std::size_t n = SjisCharLength(text, i);
    unsigned code = n == 2 ? (b << 8 | static_cast<unsigned char>(text[i + 1])) : b;
    const MappedChar& m = mapped[code];
    if (m.length != 0) {
      out->append(m.bytes, m.length);
    } else {
      out->append(text.data() + i, n);
    }
    i += n;
  }
}

std::string MapKind(KindMapping mapping, std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  AppendMappedKind(mapping, text, &out);
  return out;
}

}  // namespace parvane
