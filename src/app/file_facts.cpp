#include "app/file_facts.h"

#include <QFileInfo>
#include <QLocale>

namespace parvane {
QString SizeWithUnit(qint64 bytes) {
  // Grouped by thousands as Japanese writes numbers, whatever the system's locale.
  const QString exact =
      QLocale(QLocale::Japanese, QLocale::Japan).toString(bytes) + QString::fromUtf8(" バイト");
  if (bytes < 1024) return exact;
  const bool mega = bytes >= 1024 * 1024;
  const double value = static_cast<double>(bytes) / (mega ? 1024.0 * 1024.0 : 1024.0);
  return QStringLiteral("%1 %2 (%3)")
      .arg(value, 0, 'f', 1)
      .arg(mega ? QStringLiteral("MB") : QStringLiteral("KB"))
      .arg(exact);
}

QString FileFactsText(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) return {};
  return QString::fromUtf8("　ディスク上のサイズ = ") + SizeWithUnit(info.size()) +
         QStringLiteral("    \n");
}

}  // namespace parvane
