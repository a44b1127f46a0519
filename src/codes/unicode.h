// Unicode forms of a file: recognition by byte order mark, the reader
// TUnicode, decoding to UTF-16 and the three writers (as byte producers; the
// editor writes the bytes to disk atomically).
#ifndef PARVANE_CODES_UNICODE_H_
#define PARVANE_CODES_UNICODE_H_

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace parvane {

// Unicode kinds; the numbers equal the SaveCode values of the same forms.
inline constexpr int kUnicodeNone = 0;       // not recognised as Unicode
inline constexpr int kUnicodeUtf8 = 3;       // UTF-8 with EF BB BF
inline constexpr int kUnicodeUtf16Le = 4;    // UTF-16 little endian with FF FE
inline constexpr int kUnicodeUtf16Be = 5;    // UTF-16 big endian with FE FF
inline constexpr int kUnicodeUtf8NoBom = 6;  // UTF-8 without a mark (detected)

// Returns the kind told by the byte order mark at the start of bytes: EF BB BF
// -> 3, else FF FE -> 4, else FE FF -> 5, else 0. Only the mark decides.
int DetectUnicodeBom(std::string_view bytes);

// The same for the first bytes of a file. Returns -1 with *error set (the
// system's reason) when the file cannot be read.
int DetectUnicodeBom(const std::filesystem::path& path, std::string* error);

// True when bytes hold no byte order mark, are valid UTF-8 (a sequence cut
// off by the end of the bytes is allowed) and contain at least one complete
// multi-byte sequence.
bool LooksLikeUtf8(std::string_view bytes);

// Decodes the bytes of a file of the given kind to UTF-16, skipping a leading
// mark of that kind. UTF-8 (3, 6): sequences of one to three bytes as the
// file's writer made them (continuation bits are not checked), a four-byte
// sequence to its surrogate pair, a sequence cut off by the end to U+FFFD.
// UTF-16 (4, 5): an odd last byte is dropped. Kind 0: code page 932.
std::u16string DecodeUnicodeBytes(std::string_view bytes, int kind);

// The writers. Each takes UTF-16 text and returns the bytes of the file.
// UTF-8 writes a surrogate pair as the four bytes of its character and any
// other unit (a lone surrogate too) on its own, so that what DecodeUnicodeBytes
// read comes back byte for byte.
std::string WriteUtf8Bytes(std::u16string_view text, bool with_bom);
std::string WriteUtf16LeBytes(std::u16string_view text);  // FF FE, low byte first
std::string WriteUtf16BeBytes(std::u16string_view text);  // FE FF, high byte first

// A reader for one file: construction opens it and determines the kind; the
// first ReadText returns the whole file as UTF-16, after which AtEnd is true.
class TUnicode {
 public:
  explicit TUnicode(const std::filesystem::path& path);
  ~TUnicode();
  TUnicode(const TUnicode&) = delete;
  TUnicode& operator=(const TUnicode&) = delete;

  // False when the file could not be opened or read; error() says why.
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // The Unicode kind from the file's byte order mark (0 when none).
  int kind() const { return kind_; }

  // True when every byte of the file has been read.
  bool AtEnd() const { return position_ >= size_; }

  // Returns the rest of the file decoded by kind (empty at the end).
  std::u16string ReadText();

 private:
  std::FILE* file_ = nullptr;
  int kind_ = kUnicodeNone;
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  std::string error_;
};

}  // namespace parvane

#endif  // PARVANE_CODES_UNICODE_H_
