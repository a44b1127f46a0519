// Comma-separated fields: the one form of steps, comma-separated data and
// spreadsheet clipboard text. Blanks are data; control characters separate.
#ifndef PARVANE_EDITOR_FIELDS_H_
#define PARVANE_EDITOR_FIELDS_H_

#include <string>
#include <string_view>

#include "editor/document.h"

namespace parvane {

// One comma-separated line from fields. A field holding a byte 0x00-0x20, a
// double quote or a comma is quoted (inner quotes doubled). One empty field
// gives "" (two quotes); an empty list gives the empty string.
std::string JoinFields(const Lines& fields);

// The fields of one comma-separated line (the inverse of JoinFields).
Lines SplitFields(std::string_view line);

// True when line is a plain record: not empty, without a double quote or a
// byte up to 0x20 (blank, tab, control character), and not ending in a comma.
// Its fields are then exactly the text between its commas, and JoinFields of
// them gives the line back, so it can be read without SplitFields.
bool IsPlainRecord(std::string_view line);

// Turns tab-separated lines (spreadsheet text) into comma-separated lines in
// place; empty cells stay empty fields.
void TabsToCommas(Lines& lines);
// One tab-separated line as a comma-separated line (every line is rewritten
// in the JoinFields form, tabs or not).
std::string TabsToCommas(std::string_view line);

}  // namespace parvane

#endif  // PARVANE_EDITOR_FIELDS_H_
