#include "app/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <string>

#include "editor/options.h"

namespace parvane {
namespace {

std::string KeyOf(int n) { return "Recent.File" + std::to_string(n + 1); }

}  // namespace

QStringList AddRecentFile(const QStringList& list, const QString& path) {
  const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  QStringList result{clean};
  for (const QString& entry : list) {
    if (result.size() >= kRecentFileLimit) break;
    if (entry != clean) result << entry;
  }
  return result;
}

QStringList WithoutMissingFiles(const QStringList& list) {
  QStringList result;
  for (const QString& entry : list) {
    if (QFileInfo(entry).isFile()) result << entry;
  }
  return result;
}

QStringList ReadRecentFiles(const IniFile& ini) {
  QStringList list;
  for (int n = 0; n < kRecentFileLimit; ++n) {
    const std::optional<std::string> value = ini.Get(KeyOf(n));
    if (value && !value->empty()) list << QString::fromStdString(*value);
  }
  return WithoutMissingFiles(list);
}

void WriteRecentFiles(const QStringList& list, IniFile& ini) {
  for (int n = 0; n < kRecentFileLimit; ++n) {
    ini.Set(KeyOf(n), n < list.size() ? list[n].toStdString() : std::string());
  }
}

QString RecentFileCaption(int n, const QString& path) {
  QString shown = QDir::toNativeSeparators(path);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return QStringLiteral("&%1 %2").arg(n + 1).arg(shown);
}

}  // namespace parvane
