// The three romaji tables: katakana to Hepburn romaji, katakana to Kunrei
// romaji, and romaji to katakana. Stored order matters: entries are grouped
// from the longest keys to the shortest, and for a key that appears twice (ン)
// only the first entry counts.
#ifndef PARVANE_CHARS_ROMAJI_TABLES_H_
#define PARVANE_CHARS_ROMAJI_TABLES_H_

#include "chars/table_replacement.h"

namespace parvane {

// Katakana -> Hepburn romaji, 226 entries, Shift_JIS.
const ReplacementTable& HepburnTable();

// Katakana -> Kunrei romaji, 226 entries: the keys of the Hepburn table in
// the same order, 31 of them with other values (シ=si, チ=ti, ツ=tu, フ=hu, ...).
const ReplacementTable& KunreiTable();

// Romaji -> katakana, 257 entries; keys are lower-case ASCII, "'" and "-".
const ReplacementTable& RomajiToKatakanaTable();

}  // namespace parvane

#endif  // PARVANE_CHARS_ROMAJI_TABLES_H_
