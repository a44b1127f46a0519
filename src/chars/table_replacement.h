// Replacement by a fixed table of key=value entries, as the romaji commands
// use it: for each entry in stored order, every occurrence of its key is
// replaced by the value of the first entry with that key, left to right,
// matching on Shift_JIS character boundaries.
//
// Entry-by-entry replacement costs one pass over the text per entry. This
// class gives the same result in one pass: a trie finds every key occurrence
// in the original text, and the occurrences are then claimed in entry order.
// That is exact because replaced text can never take part in a later match:
// the tables' keys and values are written in disjoint kinds of characters
// (all keys one-byte characters and all values two-byte, or the reverse),
// which the constructor checks.
#ifndef PARVANE_CHARS_TABLE_REPLACEMENT_H_
#define PARVANE_CHARS_TABLE_REPLACEMENT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvane {

// One entry of a replacement table; Shift_JIS text.
struct TableEntry {
  std::string key;    // never empty
  std::string value;  // may be empty
};

using ReplacementTable = std::vector<TableEntry>;

class TableReplacer {
 public:
  // Compiles table. ignore_ascii_case: keys match one-byte ASCII letters
  // without regard to case. Throws std::invalid_argument when a key is empty
  // or keys and values are not written in disjoint kinds of characters.
  TableReplacer(const ReplacementTable& table, bool ignore_ascii_case);

  // Returns text with the table applied (see the file comment). Reuses
  // internal buffers between calls: not for concurrent use.
  std::string Replace(std::string_view text);

 private:
  struct Node {
    std::int32_t entry = -1;  // first table entry whose key ends here, or -1
    std::vector<std::pair<unsigned char, std::int32_t>> next;  // byte -> node
  };
  struct Occurrence {
    std::uint32_t position;  // byte offset in the text
    std::int32_t entry;      // table entry index
  };

  std::int32_t Child(std::int32_t node, unsigned char byte) const;
  unsigned char Fold(unsigned char byte) const;

  ReplacementTable table_;
  bool ignore_case_;
  std::vector<Node> nodes_;
  std::int32_t root_next_[256];             // the root's children, the hot path
  std::vector<std::uint32_t> key_lengths_;  // per entry, in bytes

  // Scratch, reused across calls.
  std::vector<Occurrence> occurrences_;
  std::vector<Occurrence> sorted_;
  std::vector<std::uint32_t> bucket_;
  std::vector<std::uint8_t> claimed_;
  std::vector<std::int32_t> start_;
};

}  // namespace parvane

#endif  // PARVANE_CHARS_TABLE_REPLACEMENT_H_
