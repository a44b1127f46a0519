// PrivateCodes: one document's table of two-byte codes for the characters
// that code page 932 cannot hold (emoji, accented letters, combining marks,
// characters of JIS X 0212 ...), so that the document can stay Shift_JIS
// bytes and still give every character back.
//
// A code is taken from the user-defined area F040-F9FC first, skipping codes
// the document's text already uses, then from the two-byte codes that code
// page 932 leaves undefined. Commands see an ordinary two-byte character;
// every boundary between the document and the Unicode world (loading, saving
// in a Unicode form, the screen, the clipboard, dialogs, step parameters,
// collation, the regex readers, the recovery copy) converts through the
// table with ToUtf16 and FromUtf16.
//
// The table also records "origins": a code page 932 code that a Unicode file
// wrote only as a best-fit character (81 60 as U+301C WAVE DASH instead of
// U+FF5E) stands for that character in this document. Origins and private
// codes are the same kind of entry, a code and the character it stands for.
//
// A table only grows while its document lives, so undo never meets a code
// the table has forgotten.
#ifndef PARVANE_TEXT_PRIVATE_CODES_H_
#define PARVANE_TEXT_PRIVATE_CODES_H_

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace parvane {

class PrivateCodes {
 public:
  struct Entry {
    std::uint16_t code = 0;  // Shift_JIS code: a byte, or lead << 8 | trail
    char32_t ch = 0;         // the Unicode character it stands for
  };

  // How FromUtf16 treats a best-fit character (U+301C and the eight others
  // that code page 932 writes with a code of a similar character).
  enum class BestFit {
    kUse,      // the similar character's code, unless an origin says more
    kPrivate,  // a private code unless an origin maps it (loading: the file's
               // characters were decided beforehand by NoteUnicodeText)
  };

  // Returns the number of entries.
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  // The entries in the order they were made.
  const std::vector<Entry>& entries() const { return entries_; }

  // Returns the character code stands for in this document when the table
  // has an entry for it, else -1 (the code means what code page 932 says).
  long CharOf(int code) const;

  // Returns the code of ch when the table has an entry for it, else -1.
  int CodeOf(char32_t ch) const;

  // Returns the code for ch: the table's, code page 932's own (unless the
  // table gave that code to another character), or a new private code.
  // Returns -1 when ch needs a new code and none is left.
  int Encode(char32_t ch, BestFit best_fit = BestFit::kUse);

  // Marks code as used by the document's text so that it is never given out.
  void MarkUsed(int code);

  // Marks every two-byte code of sjis that a new entry could take.
  void NoteSjisText(std::string_view sjis);

  // Sets what marks the codes of the document's text (NoteSjisText over its
  // lines): it runs the first time after this call that a new code is given
  // out, so that loading a large Shift_JIS file pays nothing for a table it
  // may never need.
  void SetTextScanner(std::function<void(PrivateCodes&)> scanner) {
    scanner_ = std::move(scanner);
    scanned_ = false;
  }

  // Prepares the table for the UTF-16 text of a whole file about to be
  // converted with BestFit::kPrivate: the codes its private-use characters
  // take are marked used, and a best-fit character becomes an origin when
  // the file never writes the code's own character.
  void NoteUnicodeText(std::u16string_view utf16);

  // Records that code (a code page 932 code) stands for ch. Returns false
  // when the table already has an entry for code or for ch.
  bool AddOrigin(int code, char32_t ch);

  // Shift_JIS -> UTF-16 through the table (code page 932 elsewhere, with its
  // '?' rules for undefined and broken pairs).
  std::u16string ToUtf16(std::string_view sjis) const;
  // ToUtf16 into out, replacing its contents (one buffer for many lines).
  void ToUtf16(std::string_view sjis, std::u16string& out) const;

  // UTF-16 -> Shift_JIS through Encode; a surrogate pair is one character, a
  // lone surrogate is a character of its own. A character for which no code
  // is left becomes '?' and *unmapped (when given) is increased.
  std::string FromUtf16(std::u16string_view utf16, std::size_t* unmapped = nullptr,
                        BestFit best_fit = BestFit::kUse);

  // UTF-8 <-> Shift_JIS through the table (the terminal, the command line,
  // UTF-8 step files).
  std::string FromUtf8(std::string_view utf8, std::size_t* unmapped = nullptr);
  std::string ToUtf8(std::string_view sjis) const;

  // The table as one line of text ("F040=1F600,8160=301C", hexadecimal), and
  // back. Parse returns false (the table unchanged) for malformed text.
  std::string Serialize() const;
  bool Parse(std::string_view text);

  // True when code has an entry that makes it a character code page 932 does
  // not hold (an entry that is not an origin).
  bool IsPrivate(int code) const;

  // Marks code as read from a place of JIS X 0212 or JIS X 0213 in an
  // EUC-JP or JIS file, so that saving in those codes writes it there again
  // (a character that came from elsewhere stays unsavable in them, as
  // before). Not kept by Serialize.
  void MarkJisPlaced(int code) { jis_placed_[static_cast<std::size_t>(code & 0xFFFF)] = true; }
  bool IsJisPlaced(int code) const {
    return code >= 0 && code <= 0xFFFF && jis_placed_[static_cast<std::size_t>(code)];
  }

 private:
  int Assign(char32_t ch);

  std::vector<Entry> entries_;
  std::unordered_map<std::uint16_t, char32_t> by_code_;
  std::unordered_map<char32_t, std::uint16_t> by_char_;
  std::bitset<0x10000> taken_;    // codes with an entry, or used by the text
  std::bitset<0x10000> entry_;    // codes with an entry
  std::bitset<0x10000> origin_;   // codes whose entry is an origin
  std::bitset<0x10000> jis_placed_;  // codes read from JIS X 0212 / 0213 (MarkJisPlaced)
  std::size_t next_candidate_ = 0;  // where the search for a free code resumes
  std::function<void(PrivateCodes&)> scanner_;
  bool scanned_ = false;  // scanner_ has run since it was set
};

}  // namespace parvane

#endif  // PARVANE_TEXT_PRIVATE_CODES_H_
