// Appending to a string through a small local block.
//
// The converters write one or a few characters per input character; going
// through push_back pays a capacity check and a length update each time,
// which was most of their cost. They write through a raw pointer into this
// block instead, and the block is appended to the result when it fills:
//
//   AppendBlock<char16_t> block(out);
//   char16_t* p = block.data;
//   for (...) {
//     p = block.Room(p, 2);   // room for the most one step writes
//     *p++ = ...;
//   }
//   block.Finish(p);
#ifndef PARVANE_TEXT_APPEND_BLOCK_H_
#define PARVANE_TEXT_APPEND_BLOCK_H_

#include <cstddef>
#include <string>

namespace parvane {

template <typename Char, std::size_t kSize = 4096>
struct AppendBlock {
  explicit AppendBlock(std::basic_string<Char>& result) : out(result) {}

  // Returns where `room` more characters can be written: p itself, or the
  // start of the block after its contents up to p went to the result.
  Char* Room(Char* p, std::size_t room) {
    if (p + room <= data + kSize) return p;
    out.append(data, static_cast<std::size_t>(p - data));
    return data;
  }

  // Appends the contents up to p to the result.
  void Finish(Char* p) { out.append(data, static_cast<std::size_t>(p - data)); }

  std::basic_string<Char>& out;
  Char data[kSize];
};

}  // namespace parvane

#endif  // PARVANE_TEXT_APPEND_BLOCK_H_
