// What the file information box adds about the file on disk: its size with
// a unit, the code it will be saved in, and its line break. The document's
// own figures (characters, Shift_JIS bytes, lines) are the core's.
#ifndef PARVANE_APP_FILE_FACTS_H_
#define PARVANE_APP_FILE_FACTS_H_

#include <QString>
#include <QtGlobal>
#include <optional>

namespace parvane {

// "686 バイト" below 1024 bytes, otherwise "12.3 KB (12,603 バイト)" or
// "1.5 MB (1,572,864 バイト)" (binary multiples), so the exact count stays.
QString SizeWithUnit(qint64 bytes);

// The line break of a file on disk as its first break shows it: "CR+LF",
// "LF" or "CR"; "なし" for a file without one. A UTF-16 file (by its byte
// order mark) is read in 16-bit units. nullopt when the file cannot be read.
std::optional<QString> LineBreakOnDisk(const QString& path);

// The lines appended to the file information box, each ending in four
// spaces and a line break as the core's lines do: the size on disk and the
// line break (only for a file that exists), and the save code's name.
QString FileFactsText(const QString& path, const QString& save_code_name);

}  // namespace parvane

#endif  // PARVANE_APP_FILE_FACTS_H_
