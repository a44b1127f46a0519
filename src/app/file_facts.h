// What the file information box adds about the file on disk: its size with
// a unit. The document's own figures (characters, Shift_JIS bytes, lines, the
// code and line break it will be saved in) are the core's.
#ifndef PARVANE_APP_FILE_FACTS_H_
#define PARVANE_APP_FILE_FACTS_H_

#include <QString>
#include <QtGlobal>

namespace parvane {

// "686 バイト" below 1024 bytes, otherwise "12.3 KB (12,603 バイト)" or
// "1.5 MB (1,572,864 バイト)" (binary multiples), so the exact count stays.
QString SizeWithUnit(qint64 bytes);

// The line appended to the file information box, ending in four spaces and
// a line break as the core's lines do: the size on disk, for a file that
// exists (empty otherwise).
QString FileFactsText(const QString& path);

}  // namespace parvane

#endif  // PARVANE_APP_FILE_FACTS_H_
