// The lines of a document: their bytes in a few large blocks, and an index of
// views into those blocks -- one 16-byte view per line and no heap object of
// its own, so a twelve-million-line file costs its text plus 16 bytes a line.
//
// The bytes of a block never change once written, so stores share blocks
// freely: copying a store copies its index and shares its blocks, which is
// what the undo history keeps; reordering, removing or selecting lines only
// moves views. A store appends new bytes only to a block it made itself,
// never to one it shares.
#ifndef PARVANE_TEXT_LINE_STORE_H_
#define PARVANE_TEXT_LINE_STORE_H_

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace parvane {

class LineStore {
 public:
  using View = std::string_view;
  using Index = std::vector<View>;

  LineStore() = default;
  // A copy shares the blocks and appends to blocks of its own.
  LineStore(const LineStore& other) : blocks_(other.blocks_), index_(other.index_) {}
  LineStore& operator=(const LineStore& other);
  LineStore(LineStore&& other) noexcept = default;
  LineStore& operator=(LineStore&& other) noexcept = default;

  // The lines of text, split as the document splits a file (CR LF, CR, LF;
  // a break at the very end adds no line), with text itself as the block:
  // no byte is copied.
  static LineStore FromText(std::string text);
  template <class Strings>
  static LineStore FromStrings(const Strings& lines) {
    LineStore store;
    store.ReserveLines(lines.size());
    for (const auto& line : lines) store.Append(line);
    return store;
  }

  std::size_t size() const { return index_.size(); }
  bool empty() const { return index_.empty(); }
  View operator[](std::size_t i) const { return index_[i]; }
  View front() const { return index_.front(); }
  View back() const { return index_.back(); }
  Index::const_iterator begin() const { return index_.begin(); }
  Index::const_iterator end() const { return index_.end(); }

  // The index, to reorder, filter or reuse views: every view in it must stay
  // a view of this store's lines (or of a store whose blocks it shares).
  Index& views() { return index_; }
  const Index& views() const { return index_; }

  void ReserveLines(std::size_t count) { index_.reserve(count); }
  // Copies line into a block of this store.
  void Append(View line);
  // Appends lines of other without copying their bytes: call ShareBlocksOf
  // first (once), then AppendShared with views of other's lines.
  void ShareBlocksOf(const LineStore& other);
  void AppendShared(View view_of_shared_block) { index_.push_back(view_of_shared_block); }
  // Room for line in the block being filled, for a caller that composes the
  // line in place: write up to `size` bytes at the returned pointer, then
  // CommitComposed with the count written.
  char* ComposeBuffer(std::size_t size);
  void CommitComposed(std::size_t written);
  // As CommitComposed, but returns the line's view instead of appending it
  // to the index: for a caller that places the views itself (lines composed
  // side by side in several stores, each view going to its slot of one index).
  View CommitComposedView(std::size_t written);

  void clear();

  // The bytes of the blocks this store holds (shared or not).
  std::size_t HeldBytes() const;
  // The bytes of its lines.
  std::size_t LineBytes() const;
  // Copies the lines into fresh blocks when the held blocks are mostly bytes
  // no line refers to any more (lines removed or rewritten), so that a long
  // session of small edits does not keep every old block alive.
  void CompactIfSparse();

  // Every line followed by CR LF (the last one too).
  std::string Text() const;

  // A stretch of lines that can be written as the bytes it lies in.
  struct Run {
    // The run's lines and the separators between them, and the separator
    // after its last line when `separated`: bytes of one block.
    View bytes;
    std::size_t count = 0;  // lines in the run
    bool separated = false;
  };
  // Walks the lines in order as runs of lines that follow each other in one
  // block with separator between each and the next (as a loaded file's lines
  // lie), so that a writer can pass large runs on without copying them; a
  // line that stands alone is a run of one. Calls run(Run) for each and
  // stops as soon as it returns false. Returns false when it stopped.
  template <class F>
  bool ForEachRun(View separator, F&& run) const {
    using Callable = std::remove_reference_t<F>;
    return VisitRuns(
        separator, [](void* c, const Run& r) { return (*static_cast<Callable*>(c))(r); },
        const_cast<void*>(static_cast<const void*>(&run)));
  }
  std::vector<std::string> ToStrings() const;

  // Line by line equal to a list of strings (tests and small checks).
  friend bool operator==(const LineStore& store, const std::vector<std::string>& lines) {
    if (store.size() != lines.size()) return false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (store[i] != lines[i]) return false;
    }
    return true;
  }

  // A block's bytes live in a std::string whose capacity is reserved up
  // front: appending within the capacity never moves them, so views stay valid.
  friend bool operator==(const LineStore& a, const LineStore& b) { return a.index_.size() == b.index_.size() && std::equal(a.begin(), a.end(), b.begin()); }

  struct Block {
    std::string bytes;
  };
  const std::vector<std::shared_ptr<Block>>& blocks() const { return blocks_; }

 private:
  char* Room(std::size_t size);
  bool VisitRuns(View separator, bool (*run)(void* context, const Run& r), void* context) const;

  std::vector<std::shared_ptr<Block>> blocks_;
  Index index_;
  // The block this store appends to: its own, never shared with a copy.
  std::shared_ptr<Block> tail_;
  std::size_t composing_ = 0;  // bytes reserved by ComposeBuffer
};

// Splits text into lines at CR LF, a lone CR and a lone LF (LF CR is two
// breaks); a terminator at the very end adds no empty line. Every other byte,
// NUL included, stays in its line. Calls line(view) for each, in order.
void VisitLines(std::string_view text, void (*line)(void* context, std::string_view view),
                void* context);
template <class F>
void ForEachLine(std::string_view text, F&& f) {
  using Callable = std::remove_reference_t<F>;
  VisitLines(
      text, [](void* c, std::string_view v) { (*static_cast<Callable*>(c))(v); },
      const_cast<void*>(static_cast<const void*>(&f)));
}
// How many lines ForEachLine finds in text (to reserve an index once).
std::size_t CountLines(std::string_view text);
// Returns whether text holds a CR or an LF: whether it would split at all.
bool HoldsLineBreak(std::string_view text);

}  // namespace parvane

#endif  // PARVANE_TEXT_LINE_STORE_H_
