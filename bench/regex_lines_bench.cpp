// A whole-process tool for comparing the engine with sed and grep on one
// file (there is no command-line program yet):
//   regex_lines_bench replace PATTERN REPLACEMENT FILE   > out   (every line, like sed 's/P/R/g')
//   regex_lines_bench count PATTERN FILE                         (matching lines, like grep -c)
// PATTERN and REPLACEMENT are taken as bytes (Shift_JIS), as the file is.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "regex/kit.h"
#include "regex/token.h"

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  bool replace = mode == "replace" && argc == 5;
  bool count = mode == "count" && argc == 4;
  if (!replace && !count) {
    std::fprintf(stderr, "usage: %s replace PATTERN REPLACEMENT FILE | count PATTERN FILE\n", argv[0]);
    return 2;
  }
  std::FILE* in = std::fopen(argv[argc - 1], "rb");
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", argv[argc - 1]);
    return 2;
  }
  std::string pattern = argv[2];
  std::string replacement = replace ? argv[3] : "";
  // Streams the file through one buffer, as sed and grep do, so the
  // comparison times the matching rather than the reading of a whole file
  // into memory.
  constexpr std::size_t kChunk = 1 << 20;
  std::string buffer;
  std::string out;
  std::string line;
  long matching = 0;
  try {
    std::size_t kept = 0;  // bytes of an unfinished line at the front of buffer
    for (;;) {
      buffer.resize(kept + kChunk);
      std::size_t got = std::fread(buffer.data() + kept, 1, kChunk, in);
      buffer.resize(kept + got);
      bool last = got == 0;
      std::size_t start = 0;
      out.clear();
      while (start < buffer.size()) {
        std::size_t end = buffer.find('\n', start);
        if (end == std::string::npos) {
          if (!last) break;
          end = buffer.size();
        }
        if (replace) {
          line.assign(buffer, start, end - start);
          parvane::RegexReplaceAll(pattern, false, replacement, line);
          out += line;
          out += '\n';
        } else {
          std::string_view view(buffer.data() + start, end - start);
          if (parvane::RegexContains(pattern, false, view)) ++matching;
        }
        start = end + 1;
      }
      if (replace) std::fwrite(out.data(), 1, out.size(), stdout);
      if (last) break;
      buffer.erase(0, std::min(start, buffer.size()));
      kept = buffer.size();
    }
  } catch (const parvane::EbmREToken& e) {
    std::fprintf(stderr, "%s.\n", e.what());
    return 1;
  }
  std::fclose(in);
  if (!replace) std::printf("%ld\n", matching);
  return 0;
}
