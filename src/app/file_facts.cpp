#include "app/file_facts.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace parvane {
namespace {

constexpr qint64 kChunk = 64 * 1024;

enum class Unit { kOther, kCr, kLf };

}  // namespace

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

std::optional<QString> LineBreakOnDisk(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray head = file.peek(2);
  int width = 1;
  bool big_endian = false;
  if (head.size() == 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
      static_cast<unsigned char>(head[1]) == 0xFE) {
    width = 2;
  } else if (head.size() == 2 && static_cast<unsigned char>(head[0]) == 0xFE &&
             static_cast<unsigned char>(head[1]) == 0xFF) {
    width = 2;
    big_endian = true;
  }
  auto unit_at = [&](const QByteArray& bytes, qsizetype i) {
    unsigned value = static_cast<unsigned char>(bytes[i]);
    if (width == 2) {
      const unsigned other = static_cast<unsigned char>(bytes[i + 1]);
      value = big_endian ? (value << 8 | other) : (other << 8 | value);
    }
    return value == '\r' ? Unit::kCr : value == '\n' ? Unit::kLf : Unit::kOther;
  };
  // A CR at the end of one chunk may still be followed by LF in the next.
  bool after_cr = false;
  while (true) {
    const QByteArray bytes = file.read(kChunk);
    const qsizetype usable = bytes.size() - bytes.size() % width;
    for (qsizetype i = 0; i + width <= usable; i += width) {
      const Unit unit = unit_at(bytes, i);
      if (after_cr) return unit == Unit::kLf ? QStringLiteral("CR+LF") : QStringLiteral("CR");
      if (unit == Unit::kLf) return QStringLiteral("LF");
      if (unit == Unit::kCr) after_cr = true;
    }
    if (bytes.size() < kChunk) break;
  }
  return after_cr ? QStringLiteral("CR") : QString::fromUtf8("なし");
}

QString FileFactsText(const QString& path, const QString& save_code_name) {
  const QString end = QStringLiteral("    \n");
  QString text;
  const QFileInfo info(path);
  if (!path.isEmpty() && info.isFile()) {
    text += QString::fromUtf8("　ディスク上のサイズ = ") + SizeWithUnit(info.size()) + end;
    if (const std::optional<QString> line_break = LineBreakOnDisk(path)) {
      text += QString::fromUtf8("　改行コード = ") + *line_break + end;
    }
  }
  text += QString::fromUtf8("　保存時の文字コード = ") + save_code_name + end;
  return text;
}

}  // namespace parvane
