// TbmREWchRanges: a sorted list of disjoint character intervals. During
// compilation it is the alphabet partition: every interval a pattern
// mentions is exactly the union of a run of consecutive partition
// intervals, so each partition interval is wholly inside or wholly outside
// every class of the pattern.
#ifndef PARVANE_REGEX_PARTITION_H_
#define PARVANE_REGEX_PARTITION_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace parvane {

class TbmREWchRanges {
 public:
  using Range = std::pair<std::int32_t, std::int32_t>;  // (low, high), inclusive

  // Adds lo..hi so that it becomes the union of a run of consecutive
  // intervals: intervals crossing lo or hi are split there and every gap
  // inside lo..hi becomes one new interval. Nothing outside lo..hi changes.
  void AddRange(std::int32_t lo, std::int32_t hi);
  // AddRange of every interval of other.
  void AddRanges(const TbmREWchRanges& other);
  // Replaces the set by its gaps within lo..hi (an empty set becomes lo..hi).
  void Complement(std::int32_t lo, std::int32_t hi);
  void Clear() { ranges_.clear(); }

  // Adds every range of a batch at once. Returns the same partition as
  // AddRange of each in turn (the result does not depend on the order), in
  // n log n instead of quadratic time for patterns with many classes.
  void AddRangesBatch(const std::vector<Range>& batch);

  // Returns the index of the interval whose low end is lo, or -1.
  int IndexOfLow(std::int32_t lo) const;
  // Returns the index of the interval whose high end is hi, or -1.
  int IndexOfHigh(std::int32_t hi) const;

  const std::vector<Range>& Ranges() const { return ranges_; }
  std::size_t Size() const { return ranges_.size(); }
  bool Empty() const { return ranges_.empty(); }

  // Returns "lo-hi lo-hi ..." in hexadecimal (single values once), for tests.
  std::string Dump() const { return DumpRanges(ranges_, ' '); }

  // Returns ranges as "lo-hi" in hexadecimal (single values once), joined by
  // separator: the one form every dump of the engine uses for intervals.
  static std::string DumpRanges(const std::vector<Range>& ranges, char separator);

 private:
  std::vector<Range> ranges_;  // sorted by low end, pairwise disjoint
};

}  // namespace parvane

#endif  // PARVANE_REGEX_PARTITION_H_
