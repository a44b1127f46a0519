// Unicode forms: byte order marks, decoding to UTF-16, the writers and the
// file reader TUnicode.
#include "codes/unicode.h"

#include <cerrno>
#include <cstring>

#include "text/append_block.h"
#include "text/cp932.h"

namespace parvane {
namespace {

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

std::size_t MarkSize(std::string_view bytes, int kind) {
  int found = DetectUnicodeBom(bytes);
  if (found != kind) return 0;
  return kind == kUnicodeUtf8 ? 3 : 2;
}

// What a UTF-8 lead byte allows: the sequence's size (0: not a lead byte)
// and the range of its second byte, which excludes overlong forms,
// surrogates and anything above U+10FFFF.
struct Utf8Lead {
  unsigned char size;
  unsigned char low;
  unsigned char high;
};

struct LeadTable {
  Utf8Lead of[256];
};

const LeadTable& Utf8Leads() {
  static const LeadTable table = [] {
    LeadTable t;
    for (Utf8Lead& lead : t.of) lead = Utf8Lead{0, 0x80, 0xBF};
    for (int b = 0xC2; b <= 0xDF; ++b) t.of[b].size = 2;
    for (int b = 0xE0; b <= 0xEF; ++b) t.of[b].size = 3;
    for (int b = 0xF0; b <= 0xF4; ++b) t.of[b].size = 4;
    t.of[0xE0].low = 0xA0;
    t.of[0xED].high = 0x9F;
    t.of[0xF0].low = 0x90;
    t.of[0xF4].high = 0x8F;
    return t;
  }();
  return table;
}

std::u16string DecodeUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  AppendBlock<char16_t> block(out);
  char16_t* p = block.data;
  const std::size_t n = s.size();
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  for (std::size_t i = 0; i < n;) {
    p = block.Room(p, 2);
    unsigned char b = byte(i);
    if (b < 0x80) {
      *p++ = b;
      ++i;
      continue;
    }
    if (b >= 0xF0 && b <= 0xF7 && i + 3 < n && IsContinuation(byte(i + 1)) &&
        IsContinuation(byte(i + 2)) && IsContinuation(byte(i + 3))) {
      char32_t cp = (char32_t{b} & 0x07) << 18 | (char32_t{byte(i + 1)} & 0x3F) << 12 |
                    (char32_t{byte(i + 2)} & 0x3F) << 6 | (char32_t{byte(i + 3)} & 0x3F);
      if (cp >= 0x10000 && cp <= 0x10FFFF) {
        cp -= 0x10000;
        *p++ = static_cast<char16_t>(0xD800 + (cp >> 10));
        *p++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
      } else {
        *p++ = u'\uFFFD';
      }
      i += 4;
      continue;
    }
    // As the writers of such files do it: continuation bits unchecked.
    std::size_t size = b > 0xDF ? 3 : 2;
    if (i + size > n) {
      *p++ = u'\uFFFD';  // the last character was cut off
      break;
    }
    if (size == 3) {
      *p++ = static_cast<char16_t>((b & 0x0F) << 12 | (byte(i + 1) & 0x3F) << 6 |
                                   (byte(i + 2) & 0x3F));
    } else {
      *p++ = static_cast<char16_t>((b & 0x1F) << 6 | (byte(i + 1) & 0x3F));
    }
    i += size;
  }
  block.Finish(p);
  return out;
}

std::u16string DecodeUtf16(std::string_view s, bool big_endian) {
  std::u16string out(s.size() / 2, u'\0');
  for (std::size_t k = 0; k < out.size(); ++k) {
    unsigned a = static_cast<unsigned char>(s[2 * k]);
    unsigned b = static_cast<unsigned char>(s[2 * k + 1]);
    out[k] = static_cast<char16_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
  }
  return out;
}

}  // namespace

int DetectUnicodeBom(std::string_view bytes) {
  auto at = [&](std::size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0; };
  if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) return kUnicodeUtf8;
  if (at(0) == 0xFF && at(1) == 0xFE) return kUnicodeUtf16Le;
  if (at(0) == 0xFE && at(1) == 0xFF) return kUnicodeUtf16Be;
  return kUnicodeNone;
}

int DetectUnicodeBom(const std::filesystem::path& path, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    *error = std::strerror(errno);
    return -1;
  }
  char head[8];
  std::size_t got = std::fread(head, 1, sizeof head, f);
  bool failed = std::ferror(f) != 0;
  int saved = errno;
  std::fclose(f);
  if (failed) {
    *error = std::strerror(saved);
    return -1;
  }
  return DetectUnicodeBom(std::string_view(head, got));
}

bool LooksLikeUtf8(std::string_view s) {
  if (DetectUnicodeBom(s) != kUnicodeNone) return false;
  const LeadTable& leads = Utf8Leads();
  bool multi = false;
  const std::size_t n = s.size();
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  for (std::size_t i = 0; i < n;) {
    unsigned char b = byte(i);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const Utf8Lead lead = leads.of[b];
    if (lead.size == 0) return false;
    if (i + lead.size > n) {
      // Cut off by the end of the file: what is there must still fit.
      for (std::size_t k = 1; i + k < n; ++k) {
        unsigned char c = byte(i + k);
        if (k == 1 ? (c < lead.low || c > lead.high) : !IsContinuation(c)) return false;
      }
      return multi;
    }
    unsigned char c = byte(i + 1);
    if (c < lead.low || c > lead.high) return false;
    if (lead.size >= 3 && !IsContinuation(byte(i + 2))) return false;
    if (lead.size == 4 && !IsContinuation(byte(i + 3))) return false;
    multi = true;
    i += lead.size;
  }
  return multi;
}

std::u16string DecodeUnicodeBytes(std::string_view bytes, int kind) {
  switch (kind) {
    case kUnicodeUtf8:
    case kUnicodeUtf8NoBom:
      return DecodeUtf8(bytes.substr(MarkSize(bytes, kUnicodeUtf8)));
    case kUnicodeUtf16Le:
      return DecodeUtf16(bytes.substr(MarkSize(bytes, kind)), false);
    case kUnicodeUtf16Be:
      return DecodeUtf16(bytes.substr(MarkSize(bytes, kind)), true);
    default:
      return Cp932ToUtf16(bytes);
  }
}

std::string WriteUtf8Bytes(std::u16string_view text, bool with_bom) {
  std::string out;
  out.reserve(text.size() * 3 + 3);
  if (with_bom) out.append("\xEF\xBB\xBF");
  AppendBlock<char> block(out);
  char* p = block.data;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    p = block.Room(p, 4);
    char16_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      // A pair is one character beyond the BMP: four bytes, as the decoder
      // reads them.
      char32_t cp = 0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      p[0] = static_cast<char>(0xF0 | (cp >> 18));
      p[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      p[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      p[3] = static_cast<char>(0x80 | (cp & 0x3F));
      p += 4;
      ++i;
    } else if (u < 0x80) {
      *p++ = static_cast<char>(u);
    } else if (u < 0x800) {
      p[0] = static_cast<char>(0xC0 + (u >> 6));
      p[1] = static_cast<char>(0x80 + (u & 0x3F));
      p += 2;
    } else {
      p[0] = static_cast<char>(0xE0 + (u >> 12));
      p[1] = static_cast<char>(0x80 + ((u >> 6) & 0x3F));
      p[2] = static_cast<char>(0x80 + (u & 0x3F));
      p += 3;
    }
  }
  block.Finish(p);
  return out;
}

namespace {

std::string WriteUtf16Bytes(std::u16string_view text, bool big_endian) {
  // Every unit is two bytes, so the size is known and all of it is written.
  std::string out(text.size() * 2 + 2, '\0');
  char* p = out.data();
  const int high = big_endian ? 0 : 1;
  auto put = [&p, high](char16_t u) {
    p[high] = static_cast<char>(u >> 8);
    p[1 - high] = static_cast<char>(u & 0xFF);
    p += 2;
  };
  put(u'\uFEFF');  // the mark, in the file's byte order
  for (char16_t u : text) put(u);
  return out;
}

}  // namespace

std::string WriteUtf16LeBytes(std::u16string_view text) { return WriteUtf16Bytes(text, false); }

std::string WriteUtf16BeBytes(std::u16string_view text) { return WriteUtf16Bytes(text, true); }

TUnicode::TUnicode(const std::filesystem::path& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    error_ = std::strerror(errno);
    return;
  }
  if (std::fseek(file_, 0, SEEK_END) != 0) {
    error_ = std::strerror(errno);
    return;
  }
  long size = std::ftell(file_);
  if (size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    error_ = std::strerror(errno);
    return;
  }
  size_ = static_cast<std::size_t>(size);
  char head[8];
  std::size_t got = std::fread(head, 1, sizeof head, file_);
  kind_ = DetectUnicodeBom(std::string_view(head, got));
  std::fseek(file_, 0, SEEK_SET);
}

TUnicode::~TUnicode() {
  if (file_ != nullptr) std::fclose(file_);
}

std::u16string TUnicode::ReadText() {
  if (!ok() || AtEnd()) return {};
  // The whole rest in one chunk, so no character is ever split between reads.
  std::string bytes(size_ - position_, '\0');
  std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_);
  if (got < bytes.size() && std::ferror(file_)) error_ = std::strerror(errno);
  bytes.resize(got);
  bool at_start = position_ == 0;
  position_ = size_;
  if (!at_start && kind_ != kUnicodeNone) {
    // A chunk that does not start the file carries no mark to skip.
    std::string_view rest(bytes);
    if (kind_ == kUnicodeUtf8) return DecodeUtf8(rest);
    return DecodeUtf16(rest, kind_ == kUnicodeUtf16Be);
  }
  return DecodeUnicodeBytes(bytes, kind_);
}

}  // namespace parvane
