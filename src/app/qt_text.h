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

class PrivateCodes;

// Shift_JIS bytes -> QString: code page 932, and the document's private
// codes when given (undefined pairs become '?').
QString FromSjis(std::string_view sjis, const PrivateCodes* codes = nullptr);

// QString -> Shift_JIS bytes. With the document's table a character outside
// code page 932 takes a private code (the table grows); without one, or when
// no code is left, it becomes '?'.
std::string ToSjis(const QString& text, PrivateCodes* codes = nullptr);

// A UTF-8 source literal or file-system string as a QString.
inline QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// File names cross the UI as QString; on disk they are UTF-8.
QString PathToQString(const std::filesystem::path& path);
std::filesystem::path QStringToPath(const QString& path);

}  // namespace parvane

#endif  // PARVANE_APP_QT_TEXT_H_
