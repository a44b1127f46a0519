// The recent-files list of "最近使ったファイル": the documents last opened or
// saved under a name, newest first, kept in the settings file as
// "Recent.File1" … "Recent.File8" (UTF-8 paths; an empty value is no entry).
#ifndef PARVANE_APP_RECENT_FILES_H_
#define PARVANE_APP_RECENT_FILES_H_

#include <QString>
#include <QStringList>

namespace parvane {

class IniFile;

inline constexpr int kRecentFileLimit = 8;

// Returns list with path (made absolute and clean) in front: an earlier
// entry for the same file is removed, and entries past the limit drop off.
QStringList AddRecentFile(const QStringList& list, const QString& path);

// Returns list without the files that no longer exist, order kept.
QStringList WithoutMissingFiles(const QStringList& list);

// The list as the settings hold it, missing files already pruned.
QStringList ReadRecentFiles(const IniFile& ini);

// Writes all eight keys, so that entries dropped since the last run are
// emptied rather than left behind.
void WriteRecentFiles(const QStringList& list, IniFile& ini);

// The caption of the n-th entry (0-based): "&1 path" with any "&" in the
// path doubled so it is not taken for a mnemonic.
QString RecentFileCaption(int n, const QString& path);

}  // namespace parvane

#endif  // PARVANE_APP_RECENT_FILES_H_
