#include "app/qt_text.h"

#include "text/cp932.h"
#include "text/private_codes.h"

namespace parvane {

QString FromSjis(std::string_view sjis, const PrivateCodes* codes) {
  std::u16string utf16 = codes != nullptr ? codes->ToUtf16(sjis) : Cp932ToUtf16(sjis);
  return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

std::string ToSjis(const QString& text, PrivateCodes* codes) {
  std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()),
                            static_cast<std::size_t>(text.size()));
  return codes != nullptr ? codes->FromUtf16(utf16) : Utf16ToCp932(utf16);
}

QString PathToQString(const std::filesystem::path& path) {
  const std::string& native = path.native();
  return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size()));
}

std::filesystem::path QStringToPath(const QString& path) {
  QByteArray utf8 = path.toUtf8();
  return std::filesystem::path(std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace parvane
