// The garbled-text repair command; see garbled_repair.h.
#include "chars/garbled_repair.h"

#include "chars/joined_blocks.h"
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
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("文字化けを何とかしようと試みています…"), {.use_store = true});
  RewriteJoinedBlocks(editor, kBlockLines,
                      [](std::string_view block, std::size_t) { return SjisToEuc(block); });
}

}  // namespace parvane
