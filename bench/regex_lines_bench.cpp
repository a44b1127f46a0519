// A whole-process tool for comparing the engine with sed and grep on one
// file (there is no command-line program yet):
//   regex_lines_bench replace PATTERN REPLACEMENT FILE   > out   (every line, like sed 's/P/R/g')
//   regex_lines_bench count PATTERN FILE                         (matching lines, like grep -c)
// PATTERN and REPLACEMENT are taken as bytes (Shift_JIS), as the file is.
#include <cstdio>
#include <string>

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
  std::string text;
  char chunk[1 << 16];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;) text.append(chunk, got);
  std::fclose(in);
  std::string pattern = argv[2];
  std::string replacement = replace ? argv[3] : "";
  std::string out;
  if (replace) out.reserve(text.size() + text.size() / 8);
  long matching = 0;
  try {
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      if (replace) {
        line.assign(text, start, end - start);
        parvane::RegexReplaceAll(pattern, false, replacement, line);
        out += line;
        out += '\n';
      } else {
        int position = 0;
        int length = 0;
        std::string_view view(text.data() + start, end - start);
        if (parvane::RegexFind(pattern, false, view, &position, &length) > 0) ++matching;
      }
      start = end + 1;
    }
  } catch (const parvane::EbmREToken& e) {
    std::fprintf(stderr, "%s.\n", e.what());
    return 1;
  }
  if (replace) {
    std::fwrite(out.data(), 1, out.size(), stdout);
  } else {
    std::printf("%ld\n", matching);
  }
  return 0;
}
