// The file information's size on disk: a unit and the exact count.
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
};

}  // namespace parvane

QTEST_MAIN(parvane::FileFactsTest)
#include "file_facts_test.moc"
