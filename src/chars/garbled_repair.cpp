// The garbled-text repair command; see garbled_repair.h.
#include "chars/garbled_repair.h"

#include <algorithm>

#include "codes/jis.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Lines are converted in blocks joined with CR LF. SjisToEuc never pairs a
// byte with a CR or LF and never produces one, so the blocks give exactly the
// lines that converting the whole text at once would, without a second and a
// third copy of a large document.
constexpr std::size_t kBlockLines = 4096;

}  // namespace

void RepairGarbledText(Editor& editor) {
  editor.RecordStep(Sjis("[チャットや掲示板で化けた文字を元に戻す]"));
  CommandFrame frame(editor, Sjis("文字化けを何とかしようと試みています…"));
  Lines& lines = editor.work_lines;
  std::string block;
  for (std::size_t start = 0; start < lines.size(); start += kBlockLines) {
    const std::size_t end = std::min(lines.size(), start + kBlockLines);
    block.clear();
    for (std::size_t i = start; i < end; ++i) {
      block += lines[i];
      block += "\r\n";
    }
    Lines repaired = SplitLines(SjisToEuc(block));
    for (std::size_t i = start; i < end; ++i) lines[i].swap(repaired[i - start]);
  }
}

}  // namespace parvane
