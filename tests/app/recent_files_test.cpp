// The recent-files list: order, duplicates, the limit of eight, pruning of
// files that have gone, and the round trip through the settings keys.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/recent_files.h"
#include "editor/options.h"

namespace parvane {

class RecentFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void NewestFirstEachFileOnceAtMostEight() {
    QStringList list;
    for (int i = 0; i < 10; ++i) list = AddRecentFile(list, QStringLiteral("/d/f%1").arg(i));
    QCOMPARE(list.size(), kRecentFileLimit);
    QCOMPARE(list.first(), QStringLiteral("/d/f9"));
    QCOMPARE(list.last(), QStringLiteral("/d/f2"));
    // Opening one again moves it to the front instead of adding it twice,
    // also when it is named another way.
    list = AddRecentFile(list, QStringLiteral("/d/x/../f5"));
    QCOMPARE(list.size(), kRecentFileLimit);
    QCOMPARE(list.mid(0, 3), QStringList({"/d/f5", "/d/f9", "/d/f8"}));
    QCOMPARE(list.count(QStringLiteral("/d/f5")), 1);
    // A relative name is kept absolute: the working folder may change.
    QVERIFY(QDir::isAbsolutePath(AddRecentFile({}, QStringLiteral("rel.txt")).first()));
  }

  void MissingFilesAreDroppedAndTheKeysRoundTrip() {
    QTemporaryDir dir;
    const QString kept = dir.filePath(QString::fromUtf8("日本語.txt"));
    const QString gone = dir.filePath(QStringLiteral("gone.txt"));
    QFile file(kept);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(WithoutMissingFiles({gone, kept, dir.path()}), QStringList({kept}));

    IniFile ini;
    for (int n = 1; n <= 8; ++n) ini.Set("Recent.File" + std::to_string(n), "/old");
    WriteRecentFiles({kept, gone}, ini);
    QCOMPARE(ini.Get("Recent.File1").value_or(""), kept.toStdString());
    QCOMPARE(ini.Get("Recent.File2").value_or(""), gone.toStdString());
    // Keys past the list are emptied, not left with an older run's names.
    QCOMPARE(ini.Get("Recent.File3").value_or("?"), std::string());
    QCOMPARE(ReadRecentFiles(ini), QStringList({kept}));
  }

  void CaptionsNumberTheEntriesAndKeepAmpersands() {
    QCOMPARE(RecentFileCaption(0, QStringLiteral("/a/R&D.txt")), QStringLiteral("&1 /a/R&&D.txt"));
    QCOMPARE(RecentFileCaption(7, QStringLiteral("/b")), QStringLiteral("&8 /b"));
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::RecentFilesTest)
#include "recent_files_test.moc"
