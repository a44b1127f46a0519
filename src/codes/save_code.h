// The code a document is written in, as the menu "保存時の文字コード" shows it.
#ifndef PARVANE_CODES_SAVE_CODE_H_
#define PARVANE_CODES_SAVE_CODE_H_

#include <optional>
#include <string_view>

namespace parvane {

enum class SaveCode : int {
  kShiftJis = 0,   // "Shift_JIS", settings name "ShiftJIS"
  kEucJp = 1,      // "EUC-JP", "EUC-JP"
  kJis = 2,        // "JIS (ISO-2022-JP)", "JIS"
  kUtf8 = 3,       // "Unicode (UTF-8)", "UTF-8" (with a byte order mark)
  kUtf16 = 4,      // "Unicode (UTF-16)", "UTF-16" (little endian, with a mark)
  kUtf16Be = 5,    // "Unicode (UTF-16 big endian)", "UTF-16BE"
  kUtf8NoBom = 6,  // "Unicode (UTF-8 BOM なし)", "UTF-8N" (Linux text)
};

inline constexpr int kSaveCodeCount = 7;

// The settings name ("ShiftJIS", ..., "UTF-8N").
std::string_view SaveCodeSettingsName(SaveCode code);

// The menu caption, in Shift_JIS.
std::string_view SaveCodeCaption(SaveCode code);

// Returns the code whose settings name is name (exact match), or nullopt.
std::optional<SaveCode> SaveCodeFromSettingsName(std::string_view name);

// True for the three forms written through UTF-16 (3-6).
constexpr bool IsUnicodeSaveCode(SaveCode code) { return static_cast<int>(code) >= 3; }

}  // namespace parvane

#endif  // PARVANE_CODES_SAVE_CODE_H_
