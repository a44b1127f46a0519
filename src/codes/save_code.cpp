// Names of the save codes: the settings file's words and the menu's captions.
#include "codes/save_code.h"

#include <array>
#include <string>

#include "text/literal.h"

namespace parvane {
namespace {

constexpr std::array<std::string_view, kSaveCodeCount> kSettingsNames = {
    "ShiftJIS", "EUC-JP", "JIS", "UTF-8", "UTF-16", "UTF-16BE", "UTF-8N"};

int Index(SaveCode code) {
  int i = static_cast<int>(code);
  return i >= 0 && i < kSaveCodeCount ? i : 0;
}

}  // namespace

std::string_view SaveCodeSettingsName(SaveCode code) { return kSettingsNames[Index(code)]; }

std::string_view SaveCodeCaption(SaveCode code) {
  // Shift_JIS strings made once; the views stay valid for the program's life.
  static const std::array<std::string, kSaveCodeCount> captions = {
      Sjis("Shift_JIS"),
      Sjis("EUC-JP"),
      Sjis("JIS (ISO-2022-JP)"),
      Sjis("Unicode (UTF-8)"),
      Sjis("Unicode (UTF-16)"),
      Sjis("Unicode (UTF-16 big endian)"),
      Sjis("Unicode (UTF-8 BOM なし)"),
  };
  return captions[Index(code)];
}

std::optional<SaveCode> SaveCodeFromSettingsName(std::string_view name) {
  for (int i = 0; i < kSaveCodeCount; ++i) {
    if (kSettingsNames[i] == name) return static_cast<SaveCode>(i);
  }
  return std::nullopt;
}

}  // namespace parvane
