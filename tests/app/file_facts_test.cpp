// The file information's facts about the file on disk: the size with a unit
// and the line break its first break shows, in 8-bit and 16-bit files.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/file_facts.h"

namespace parvane {

class FileFactsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Write(const char* name, const QByteArray& bytes) {
    const QString path = dir_.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
  }

 private slots:
  void SizesCarryAUnitAndTheExactCount() {
    QCOMPARE(SizeWithUnit(0), QString::fromUtf8("0 バイト"));
    QCOMPARE(SizeWithUnit(686), QString::fromUtf8("686 バイト"));
    QCOMPARE(SizeWithUnit(1023), QString::fromUtf8("1,023 バイト"));
    QCOMPARE(SizeWithUnit(1536), QString::fromUtf8("1.5 KB (1,536 バイト)"));
    QCOMPARE(SizeWithUnit(3 * 1024 * 1024 / 2), QString::fromUtf8("1.5 MB (1,572,864 バイト)"));
  }

  void TheFirstBreakDecides() {
    QCOMPARE(LineBreakOnDisk(Write("crlf", "a\r\nb\n")), QStringLiteral("CR+LF"));
    QCOMPARE(LineBreakOnDisk(Write("lf", "a\nb\r\n")), QStringLiteral("LF"));
    QCOMPARE(LineBreakOnDisk(Write("cr", "a\rb")), QStringLiteral("CR"));
    QCOMPARE(LineBreakOnDisk(Write("cr-last", "a\r")), QStringLiteral("CR"));
    QCOMPARE(LineBreakOnDisk(Write("none", "abc")), QString::fromUtf8("なし"));
    QCOMPARE(LineBreakOnDisk(Write("empty", "")), QString::fromUtf8("なし"));
    QCOMPARE(LineBreakOnDisk(dir_.filePath(QStringLiteral("missing"))), std::nullopt);
    // A CR LF pair split across the reading chunks is still one CR LF.
    QCOMPARE(LineBreakOnDisk(Write("split", QByteArray(64 * 1024 - 1, 'x') + "\r\n")),
             QStringLiteral("CR+LF"));
  }

  void SixteenBitFilesAreReadInUnits() {
    // "a" CR LF in UTF-16LE: the byte after CR is 00, not LF.
    QCOMPARE(LineBreakOnDisk(Write("le", QByteArray("\xFF\xFE" "a\0\r\0\n\0", 8))),
             QStringLiteral("CR+LF"));
    QCOMPARE(LineBreakOnDisk(Write("be", QByteArray("\xFE\xFF\0a\0\n", 6))), QStringLiteral("LF"));
    // U+0D0A (a Malayalam letter) holds both bytes but is no break.
    QCOMPARE(LineBreakOnDisk(Write("le-letter", QByteArray("\xFF\xFE\x0A\x0D", 4))),
             QString::fromUtf8("なし"));
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::FileFactsTest)
#include "file_facts_test.moc"
