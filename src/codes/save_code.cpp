#include "codes/save_code.h"

#include <array>

namespace parvane {
namespace {

struct SaveCodeNames {
  std::string_view settings;
  std::string_view caption;  // Shift_JIS
};

constexpr std::array<SaveCodeNames, kSaveCodeCount> kNames = {{
    {"ShiftJIS", "Shift_JIS"},
    {"EUC-JP", "EUC-JP"},
    {"JIS", "JIS (ISO-2022-JP)"},
    {"UTF-8", "Unicode (UTF-8)"},
    {"UTF-16", "Unicode (UTF-16)"},
    {"UTF-16BE", "Unicode (UTF-16 big endian)"},
    // "Unicode (UTF-8 BOM なし)" in Shift_JIS.
    {"UTF-8N", "Unicode (UTF-8 BOM \x82\xc8\x82\xb5)"},
}};

}  // namespace

std::string_view SaveCodeSettingsName(SaveCode code) {
  return kNames[static_cast<std::size_t>(code)].settings;
}

std::string_view SaveCodeCaption(SaveCode code) {
  return kNames[static_cast<std::size_t>(code)].caption;
}

std::optional<SaveCode> SaveCodeFromSettingsName(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i].settings == name) return static_cast<SaveCode>(i);
  }
  return std::nullopt;
}

}  // namespace parvane
