// Character readers of every encoding the engine knows, their escapes, and
// the factory CreateReader.
#include "regex/reader.h"

#include <algorithm>
#include <stdexcept>

namespace parvane {
namespace {

bool IsSjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsEucLead(unsigned char b) { return b == 0x8E || (b >= 0xA1 && b <= 0xFE); }
bool IsNeverLead(unsigned char) { return false; }

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int bmccCodePage2CharCode(int code_page) {
  switch (code_page) {
    case 932: return kCharCodeShiftJis;
    case 1252: return kCharCodeSingleByte;
    case 1200: return kCharCodeUtf16Le;
  }
  throw std::runtime_error("bmccCodePage2CharCode: unknown code page");
}

IsLeadByteFunc bmccGetIsLeadByteFunc(int char_code) {
  switch (char_code) {
    case kCharCodeShiftJis: return &IsSjisLead;
    case kCharCodeEucJp: return &IsEucLead;
    case kCharCodeSingleByte: return &IsNeverLead;
  }
  throw std::runtime_error("bmccGetIsLeadByteFunc: invalid argument");
}

int TbmWchReader::ReadHexCode() {
  int value = 0;
  int digits = 0;
  while (digits < MaxHexDigits()) {
    int c = ReadChar();
    int v = HexValue(c);
    if (v < 0) {
      UnreadChar();
      break;
    }
    value = value * 16 + v;
    ++digits;
  }
  return digits == 0 ? -1 : value;
}

int TbmWchReader::ReadOctalCode() {
  int value = 0;
  for (int digits = 0; digits < MaxOctalDigits(); ++digits) {
    int c = ReadChar();
    if (c < '0' || c > '7' || value * 8 + (c - '0') > MaxOctalValue()) {
      UnreadChar();
      break;
    }
    value = value * 8 + (c - '0');
  }
  return value;
}

int TbmWchReader::ReadEscape() {
  int c = ReadChar();
  switch (c) {
    case -1: return -1;
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case 'x': return ReadHexCode();
  }
  if (c >= '0' && c <= '7') {
    UnreadChar();
    return ReadOctalCode();
  }
  return c;
}

std::string TbmWchReader::UnescapeAll() {
  std::string out;
  for (int c = ReadChar(); c != -1; c = ReadChar()) {
    if (c == '\\') {
      c = ReadEscape();
      if (c == -1) break;
    }
    out += CharToStr(c);
  }
  return out;
}

std::string TbmWchReader::CharToEscape(int code) const {
  switch (code) {
    case 7: return "\\a";
    case 8: return "\\b";
    case 9: return "\\t";
    case 10: return "\\n";
    case 11: return "\\v";
    case 12: return "\\f";
    case 13: return "\\r";
  }
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  unsigned value = static_cast<unsigned>(code);
  do {
    hex.insert(hex.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  if (hex.size() < 2) hex.insert(hex.begin(), '0');
  return "\\x" + hex;
}

TbmMBCSReader::TbmMBCSReader(int char_code)
    : TbmWchReader(char_code), is_lead_byte_(bmccGetIsLeadByteFunc(char_code)) {}

std::string TbmMBCSReader::GetText() const { return std::string(buff_, end_); }

void TbmMBCSReader::SetText(std::string_view text) {
  text_.assign(text);
  SetTextBuff(text_.data(), static_cast<int>(text_.size()));
}

void TbmMBCSReader::SetTextBuff(const char* buff, int byte_length) {
  buff_ = buff ? buff : "";
  end_ = std::max(byte_length, 0);
  cursor_ = 0;
}

void TbmMBCSReader::SetPosition(int position) { cursor_ = std::clamp(position, 0, end_); }

int TbmMBCSReader::ReadChar() {
  if (cursor_ >= end_) {
    cursor_ = end_ + 1;
    return -1;
  }
  unsigned char b = Byte(cursor_++);
  if (!is_lead_byte_(b)) return b;
  if (cursor_ >= end_) return b * 256;
  return b * 256 + Byte(cursor_++);
}

bool TbmMBCSReader::UnreadChar() {
  if (cursor_ <= 0) return false;
  if (cursor_ > end_) {
    cursor_ = end_;
    return true;
  }
  // Shift_JIS cannot be stepped backwards directly: the byte before the
  // cursor is a trail byte exactly when an odd number of lead-range bytes
  // precede it, counted back to the first byte that cannot be a lead.
  int b = cursor_ - 1;
  int count = 0;
  for (int i = b - 1; i >= 0 && is_lead_byte_(Byte(i)); --i) ++count;
  cursor_ -= (count % 2 == 1) ? 2 : 1;
  return true;
}

int TbmMBCSReader::GetCharIndex() const {
  int count = 0;
  int limit = std::min(cursor_, end_);
  for (int i = 0; i < limit;) {
    if (Byte(i) == 0) return -1;
    i += (is_lead_byte_(Byte(i)) && i + 1 < end_) ? 2 : 1;
    ++count;
  }
  return count;
}

std::string TbmMBCSReader::CharToStr(int code) const {
  std::string out;
  if ((code & 0xFF00) != 0) out += static_cast<char>((code >> 8) & 0xFF);
  out += static_cast<char>(code & 0xFF);
  return out;
}

TbmSBCSReader::TbmSBCSReader() : TbmMBCSReader(kCharCodeSingleByte) {}

int TbmSBCSReader::ReadChar() {
  if (cursor_ >= end_) {
    cursor_ = end_ + 1;
    return -1;
  }
  return Byte(cursor_++);
}

bool TbmSBCSReader::UnreadChar() {
  if (cursor_ <= 0) return false;
  cursor_ = std::min(cursor_, end_ + 1) - 1;
  return true;
}

TbmUniCodeReader::TbmUniCodeReader() : TbmWchReader(kCharCodeUtf16Le) {}

std::string TbmUniCodeReader::GetText() const { return std::string(buff_, end_ * 2); }

void TbmUniCodeReader::SetText(std::string_view text) {
  if (text.size() % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  text_.assign(text);
  SetTextBuff(text_.data(), static_cast<int>(text_.size()));
}

void TbmUniCodeReader::SetTextBuff(const char* buff, int byte_length) {
  if (byte_length % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  buff_ = buff ? buff : "";
  end_ = std::max(byte_length, 0) / 2;
  cursor_ = 0;
}

void TbmUniCodeReader::SetPosition(int position) { cursor_ = std::clamp(position / 2, 0, end_); }

int TbmUniCodeReader::ReadChar() {
  if (cursor_ >= end_) {
    cursor_ = end_ + 1;
    return -1;
  }
  const unsigned char* p = reinterpret_cast<const unsigned char*>(buff_) + cursor_ * 2;
  ++cursor_;
  return p[0] | (p[1] << 8);
}

bool TbmUniCodeReader::UnreadChar() {
  if (cursor_ <= 0) return false;
  cursor_ = std::min(cursor_, end_ + 1) - 1;
  return true;
}

std::string TbmUniCodeReader::CharToStr(int code) const {
  std::string out;
  out += static_cast<char>(code & 0xFF);
  out += static_cast<char>((code >> 8) & 0xFF);
  return out;
}

std::string TbmUniCodeReader::CharToEscape(int code) const {
  std::string narrow = TbmWchReader::CharToEscape(code);
  std::string out;
  for (char c : narrow) {
    out += c;
    out += '\0';
  }
  return out;
}

std::unique_ptr<TbmWchReader> CreateReader(int char_code) {
  switch (char_code) {
    case kCharCodeShiftJis:
    case kCharCodeEucJp:
      return std::make_unique<TbmMBCSReader>(char_code);
    case kCharCodeSingleByte:
      return std::make_unique<TbmSBCSReader>();
    case kCharCodeUtf16Le:
      return std::make_unique<TbmUniCodeReader>();
  }
  return nullptr;
}

}  // namespace parvane
