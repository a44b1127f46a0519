// Conversions that read their lines joined with CR LF, a block at a time,
// over the lines of a command's store. Entry point: RewriteJoinedBlocks.
//
// Some conversions are defined on the text rather than on single lines (a
// code conversion, the romaji rules): joining a block of lines keeps their
// result exactly that of converting the whole text at once, without a second
// copy of a large document.
#ifndef PARVANE_CHARS_JOINED_BLOCKS_H_
#define PARVANE_CHARS_JOINED_BLOCKS_H_

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

// Rewrites editor.work_store block by block: convert(joined, lines_so_far)
// gets up to block_lines lines, each followed by CR LF, and the count of
// result lines made so far, and returns the converted text, which is split
// into lines again. convert runs at least once, with an empty text when there
// are no lines. When a block gives back as many lines as it had, a line that
// came back unchanged keeps its bytes (shared, not copied).
template <class Convert>
void RewriteJoinedBlocks(Editor& editor, std::size_t block_lines, Convert&& convert) {
  const LineStore& lines = editor.work_store;
  LineStore rewritten;
  rewritten.ReserveLines(lines.size());
  bool kept_any = false;
  std::string block;
  std::size_t next = 0;
  do {
    const std::size_t end = std::min(lines.size(), next + block_lines);
    block.clear();
    for (std::size_t i = next; i < end; ++i) {
      block += lines[i];
      block += "\r\n";
    }
    const std::string converted = convert(std::string_view(block), rewritten.size());
    if (CountLines(converted) == end - next) {
      std::size_t i = next;
      ForEachLine(converted, [&](std::string_view line) {
        if (line == lines[i]) {
          rewritten.AppendShared(lines[i]);
          kept_any = true;
        } else {
          rewritten.Append(line);
        }
        ++i;
      });
    } else {
      ForEachLine(converted, [&rewritten](std::string_view line) { rewritten.Append(line); });
    }
    next = end;
  } while (next < lines.size());
  if (kept_any) rewritten.ShareBlocksOf(lines);
  editor.work_store = std::move(rewritten);
}

}  // namespace parvane

#endif  // PARVANE_CHARS_JOINED_BLOCKS_H_
