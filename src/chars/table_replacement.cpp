// One-pass table replacement; see table_replacement.h. Entry point:
// TableReplacer::Replace.
#include "chars/table_replacement.h"

#include <algorithm>
#include <stdexcept>

#include "text/sjis.h"

namespace parvane {
namespace {

// Which kinds of characters a string is written in.
struct Kinds {
  bool single = false;       // has one-byte characters
  bool double_byte = false;  // has two-byte characters
};

Kinds KindsOf(std::string_view s) {
  Kinds k;
  ForEachSjisChar(s,
                  [&](std::size_t, std::size_t n) { (n == 1 ? k.single : k.double_byte) = true; });
  return k;
}

}  // namespace

TableReplacer::TableReplacer(const ReplacementTable& table, bool ignore_ascii_case)
    : table_(table), ignore_case_(ignore_ascii_case) {
  std::fill(std::begin(root_next_), std::end(root_next_), -1);
  nodes_.emplace_back();
  Kinds keys, values;
  key_lengths_.reserve(table.size());
  for (std::size_t e = 0; e < table.size(); ++e) {
    const std::string& key = table[e].key;
    if (key.empty()) throw std::invalid_argument("empty key in a replacement table");
    Kinds k = KindsOf(key), v = KindsOf(table[e].value);
    keys.single |= k.single;
    keys.double_byte |= k.double_byte;
    values.single |= v.single;
    values.double_byte |= v.double_byte;
    key_lengths_.push_back(static_cast<std::uint32_t>(key.size()));

    std::int32_t node = 0;
    for (std::size_t i = 0; i < key.size();) {
      std::size_t n = SjisCharLength(key, i);
      for (std::size_t b = 0; b < n; ++b) {
        unsigned char byte = static_cast<unsigned char>(key[i + b]);
        if (n == 1) byte = Fold(byte);
        std::int32_t child = Child(node, byte);
        if (child < 0) {
          child = static_cast<std::int32_t>(nodes_.size());
          nodes_.emplace_back();
          if (node == 0) {
            root_next_[byte] = child;
          } else {
            nodes_[node].next.emplace_back(byte, child);
          }
        }
        node = child;
      }
      i += n;
    }
    // The first entry with a key is the one whose value is used.
    if (nodes_[node].entry < 0) nodes_[node].entry = static_cast<std::int32_t>(e);
  }
  if ((keys.single && values.single) || (keys.double_byte && values.double_byte)) {
    throw std::invalid_argument("replacement table keys and values share a kind of character");
  }
}

std::int32_t TableReplacer::Child(std::int32_t node, unsigned char byte) const {
  if (node == 0) return root_next_[byte];
  for (const auto& [b, child] : nodes_[node].next) {
    if (b == byte) return child;
  }
  return -1;
}

unsigned char TableReplacer::Fold(unsigned char byte) const {
  return (ignore_case_ && byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 32)
                                                      : byte;
}

std::string TableReplacer::Replace(std::string_view text) {
  const std::size_t size = text.size();

  // 1. Every occurrence of every key, in text order.
  occurrences_.clear();
  for (std::size_t p = 0; p < size;) {
    const std::size_t first = SjisCharLength(text, p);
    std::int32_t node = 0;
    for (std::size_t q = p; q < size && node >= 0;) {
      const std::size_t n = q == p ? first : SjisCharLength(text, q);
      for (std::size_t b = 0; b < n && node >= 0; ++b) {
        unsigned char byte = static_cast<unsigned char>(text[q + b]);
        node = Child(node, n == 1 ? Fold(byte) : byte);
      }
      if (node < 0) break;
      q += n;
      if (nodes_[node].entry >= 0) {
        occurrences_.push_back({static_cast<std::uint32_t>(p), nodes_[node].entry});
      }
    }
    p += first;
  }
  if (occurrences_.empty()) return std::string(text);

  // 2. Stable counting sort by entry: entry order first, text order within.
  bucket_.assign(table_.size() + 1, 0);
  for (const Occurrence& o : occurrences_) ++bucket_[o.entry + 1];
  for (std::size_t e = 1; e < bucket_.size(); ++e) bucket_[e] += bucket_[e - 1];
  sorted_.resize(occurrences_.size());
  for (const Occurrence& o : occurrences_) sorted_[bucket_[o.entry]++] = o;

  // 3. Each entry claims, left to right, the occurrences that still lie in
  // untouched text, exactly as its own replacement pass would find them.
  claimed_.assign(size, 0);
  start_.assign(size, -1);
  for (const Occurrence& o : sorted_) {
    const std::uint32_t length = key_lengths_[o.entry];
    const std::uint8_t* c = claimed_.data() + o.position;
    if (std::find(c, c + length, 1) != c + length) continue;
    std::fill(claimed_.begin() + o.position, claimed_.begin() + o.position + length, 1);
    start_[o.position] = o.entry;
  }

  // 4. The result.
  std::string out;
  out.reserve(size + size / 2);
  for (std::size_t p = 0; p < size;) {
    const std::int32_t e = start_[p];
    if (e >= 0) {
      out += table_[e].value;
      p += key_lengths_[e];
    } else {
      const char* run = text.data() + p;
      std::size_t q = p + 1;
      while (q < size && start_[q] < 0) ++q;
      out.append(run, q - p);
      p = q;
    }
  }
  return out;
}

}  // namespace parvane
