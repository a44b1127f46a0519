// The boundary between the core's Shift_JIS bytes and Qt's UTF-16 strings.
// Every piece of document text that reaches the screen or the clipboard
// passes through here, so the conversion rules live in one place.
#ifndef PARVANE_APP_QT_TEXT_H_
#define PARVANE_APP_QT_TEXT_H_

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace parvane {

// Shift_JIS bytes -> QString (code page 932; undefined pairs become '?').
QString FromSjis(std::string_view sjis);

// QString -> Shift_JIS bytes; characters without a form become '?'.
std::string ToSjis(const QString& text);

// A UTF-8 source literal or file-system string as a QString.
inline QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// File names cross the UI as QString; on disk they are UTF-8.
QString PathToQString(const std::filesystem::path& path);
std::filesystem::path QStringToPath(const QString& path);

}  // namespace parvane

#endif  // PARVANE_APP_QT_TEXT_H_
