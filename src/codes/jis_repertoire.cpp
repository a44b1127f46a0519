#include "codes/jis_repertoire.h"

#include <array>
#include <cstdint>
#include <memory>

#include "text/cp932.h"
#include "text/sjis.h"

namespace parvane {
namespace {


constexpr bool IsNecRow(unsigned char lead) { return lead == 0xED || lead == 0xEE; }

// For each code FA40-FCFC (index (lead - 0xFA) * 256 + trail): its twin with a
// lead below 0xF0, or 0 when it has none. The twin outside the NEC-selected
// rows wins (e.g. FA54 -> 81CA), as it is the standard character.
const std::array<std::uint16_t, 3 * 256>& IbmTwins() {
  static const auto twins = [] {
    auto by_unit = std::make_unique<std::array<std::uint16_t, 65536>>();
    by_unit->fill(0);
    for (int lead = 0x81; lead <= 0xEF; ++lead) {
      if (lead >= 0xA0 && lead <= 0xDF) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        int code = lead << 8 | trail;
        int unit = Cp932ToUnit(code);
        if (unit <= 0 || unit == '?') continue;
        std::uint16_t& slot = (*by_unit)[static_cast<std::size_t>(unit)];
        if (slot == 0 || (IsNecRow(static_cast<unsigned char>(slot >> 8)) &&
                          !IsNecRow(static_cast<unsigned char>(lead)))) {
          slot = static_cast<std::uint16_t>(code);
        }
      }
    }
    std::array<std::uint16_t, 3 * 256> t{};
    for (int lead = 0xFA; lead <= 0xFC; ++lead) {
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        int unit = Cp932ToUnit(lead << 8 | trail);
        if (unit <= 0 || unit == '?') continue;
        t[static_cast<std::size_t>((lead - 0xFA) * 256 + trail)] =
            (*by_unit)[static_cast<std::size_t>(unit)];
      }
    }
    return t;
  }();
  return twins;
}

// Walks one text, calling keep(i, n) for characters the codes carry,
// twin(code) for IBM kanji with a twin, and lost() for the rest.
template <typename Keep, typename Twin, typename Lost>
void Walk(std::string_view s, Keep keep, Twin twin, Lost lost) {
  const auto& twins = IbmTwins();
  for (std::size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      keep(i, 1);
      ++i;
      continue;
    }
    bool pair = i + 1 < s.size() && IsSjisTrailByte(static_cast<unsigned char>(s[i + 1]));
    if (!pair) {
      lost();
      ++i;
      continue;
    }
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if (b >= 0x81 && b <= 0xEF) {
      keep(i, 2);
    } else if (b >= 0xFA && b <= 0xFC && twins[static_cast<std::size_t>((b - 0xFA) * 256 + t)] != 0) {
      twin(twins[static_cast<std::size_t>((b - 0xFA) * 256 + t)]);
    } else {
      lost();
    }
    i += 2;
  }
}

}  // namespace

std::string FitJisRepertoire(std::string_view text, JisRepertoireReport* report) {
  std::string out;
  out.reserve(text.size());
  std::size_t line = 1;
  JisRepertoireReport counted;
  Walk(
      text,
      [&](std::size_t i, std::size_t n) {
        if (text[i] == '\n') ++line;
        out.append(text, i, n);
      },
      [&](std::uint16_t code) {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
      },
      [&] {
        if (counted.replaced++ == 0) counted.first_line = line;
        out += '?';
      });
  if (report != nullptr) *report = counted;
  return out;
}

JisRepertoireReport CheckJisRepertoire(std::span<const std::string_view> lines) {
  JisRepertoireReport counted;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    Walk(
        lines[k], [](std::size_t, std::size_t) {}, [](std::uint16_t) {},
        [&] {
          if (counted.replaced++ == 0) counted.first_line = k + 1;
        });
  }
  return counted;
}

}  // namespace parvane
