// Character readers: a byte string in one of the engine's encodings seen as a
// sequence of character codes, walked forwards and backwards one character
// at a time, with backslash escapes and the way back from codes to bytes.
//
// A single-byte character is its byte value; a double-byte character is
// lead * 256 + trail; a UTF-16 character is its 16-bit code unit. -1 means
// "no character" (end of buffer, failed escape).
#ifndef PARVANE_REGEX_READER_H_
#define PARVANE_REGEX_READER_H_

#include <memory>
#include <string>
#include <string_view>

namespace parvane {

// CharCode values.
inline constexpr int kCharCodeShiftJis = 0;  // code page 932
inline constexpr int kCharCodeEucJp = 1;
inline constexpr int kCharCodeSingleByte = 2;  // Windows-1252
inline constexpr int kCharCodeUtf16Le = 3;
inline constexpr int kCharCodeJis = 4;  // has no reader

// The char code of document text. Text inside the program is always
// Shift_JIS, so it is fixed at 0 rather than taken from the platform.
inline constexpr int SystemCharCode = kCharCodeShiftJis;

// Returns the CharCode of a code page: 932 -> 0, 1252 -> 2, 1200 -> 3.
// Throws std::runtime_error "bmccCodePage2CharCode: unknown code page".
int bmccCodePage2CharCode(int code_page);

using IsLeadByteFunc = bool (*)(unsigned char);

// Returns the lead-byte test of char code 0, 1 or 2.
// Throws std::runtime_error "bmccGetIsLeadByteFunc: invalid argument".
IsLeadByteFunc bmccGetIsLeadByteFunc(int char_code);

// Abstract reader. Readers never own the buffer given to SetTextBuff; SetText
// keeps its own copy of the string.
class TbmWchReader {
 public:
  explicit TbmWchReader(int char_code) : char_code_(char_code) {}
  virtual ~TbmWchReader() = default;
  TbmWchReader(const TbmWchReader&) = delete;
  TbmWchReader& operator=(const TbmWchReader&) = delete;

  int CharCode() const { return char_code_; }

  // Returns the buffer from start to end.
  virtual std::string GetText() const = 0;
  // Keeps a copy of text and reads it; cursor at the start.
  virtual void SetText(std::string_view text) = 0;
  // Returns cursor - start in bytes (one past the end after reading -1).
  virtual int GetPosition() const = 0;
  // Moves the cursor to a byte offset, clamped to 0..length.
  virtual void SetPosition(int position) = 0;
  // Returns the next character code, or -1 at the end (repeatedly).
  virtual int ReadChar() = 0;
  // Moves back over one character; returns false when already at the start.
  virtual bool UnreadChar() = 0;
  // Returns the number of characters between start and cursor.
  virtual int GetCharIndex() const = 0;
  // Moves the cursor to the start.
  virtual void Rewind() = 0;
  // Reads the hexadecimal digits after \x; returns -1 when there is none.
  virtual int ReadHexCode();
  // Reads the octal digits after a backslash.
  virtual int ReadOctalCode();
  // Returns the character an escape stands for (called after the backslash
  // was read), or -1 when the buffer ends or \x has no digit.
  virtual int ReadEscape();
  // Reads byte_length bytes at buff (not owned); cursor at the start.
  // The UTF-16 reader throws std::runtime_error for an odd length.
  virtual void SetTextBuff(const char* buff, int byte_length) = 0;
  // Returns the rest of the buffer with escapes resolved, as bytes.
  virtual std::string UnescapeAll();
  // Returns the bytes of one character code.
  virtual std::string CharToStr(int code) const = 0;
  // Returns the escape text of one character code (\t, \x41, ...).
  virtual std::string CharToEscape(int code) const;

 protected:
  virtual int MaxHexDigits() const { return 4; }
  virtual int MaxOctalDigits() const { return 6; }
  virtual int MaxOctalValue() const { return 0xFFFF; }

 private:
  int char_code_;
};

// Multi-byte reader (Shift_JIS, EUC-JP).
class TbmMBCSReader : public TbmWchReader {
 public:
  explicit TbmMBCSReader(int char_code);
  std::string GetText() const override;
  void SetText(std::string_view text) override;
  int GetPosition() const override { return cursor_; }
  void SetPosition(int position) override;
  // A lead byte in the last position has no trail: it reads as lead * 256
  // and steps one byte, so the cursor never passes the buffer.
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override;
  void Rewind() override { cursor_ = 0; }
  void SetTextBuff(const char* buff, int byte_length) override;
  std::string CharToStr(int code) const override;

 protected:
  unsigned char Byte(int i) const { return static_cast<unsigned char>(buff_[i]); }
  std::string text_;          // the string given to SetText
  const char* buff_ = "";     // buffer start
  int cursor_ = 0;            // byte offset of the cursor
  int end_ = 0;               // byte length
  IsLeadByteFunc is_lead_byte_;
};

// Single-byte reader (Windows-1252).
class TbmSBCSReader : public TbmMBCSReader {
 public:
  TbmSBCSReader();
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override { return cursor_ > end_ ? end_ : cursor_; }

 protected:
  int MaxHexDigits() const override { return 2; }
  int MaxOctalDigits() const override { return 3; }
  int MaxOctalValue() const override { return 255; }
};

// UTF-16 little-endian reader; one character per 16-bit unit.
class TbmUniCodeReader : public TbmWchReader {
 public:
  TbmUniCodeReader();
  std::string GetText() const override;
  void SetText(std::string_view text) override;
  int GetPosition() const override { return cursor_ * 2; }
  void SetPosition(int position) override;
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override { return cursor_; }
  void Rewind() override { cursor_ = 0; }
  void SetTextBuff(const char* buff, int byte_length) override;
  std::string CharToStr(int code) const override;
  std::string CharToEscape(int code) const override;

 private:
  std::string text_;
  const char* buff_ = "";
  int cursor_ = 0;  // in units
  int end_ = 0;     // in units
};

// Returns a new reader for a char code with an empty text, or nullptr for a
// char code without one (4 and anything unknown).
std::unique_ptr<TbmWchReader> CreateReader(int char_code);

}  // namespace parvane

#endif  // PARVANE_REGEX_READER_H_
