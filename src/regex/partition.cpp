// The alphabet partition: interval splitting, complement and batch building.
#include "regex/partition.h"

#include <algorithm>
#include <cstdio>

namespace parvane {

void TbmREWchRanges::AddRange(std::int32_t lo, std::int32_t hi) {
  if (lo > hi) return;
  // First interval that reaches lo or beyond.
  auto first = std::partition_point(ranges_.begin(), ranges_.end(),
                                    [lo](const Range& r) { return r.second < lo; });
  std::size_t i = first - ranges_.begin();
  std::vector<Range> middle;
  std::size_t j = i;
  std::int32_t next = lo;  // the first character of lo..hi not yet placed
  std::vector<Range> head;  // piece of a split interval below lo
  while (j < ranges_.size() && ranges_[j].first <= hi) {
    Range r = ranges_[j];
    if (r.first < lo) {
      head.push_back({r.first, lo - 1});
      r.first = lo;
    }
    if (r.first > next) middle.push_back({next, r.first - 1});  // a gap
    if (r.second > hi) {
      middle.push_back({r.first, hi});
      middle.push_back({hi + 1, r.second});
      next = hi + 1;
      ++j;
      break;
    }
    middle.push_back(r);
    next = r.second + 1;
    ++j;
  }
  if (next <= hi) middle.push_back({next, hi});
  head.insert(head.end(), middle.begin(), middle.end());
  ranges_.erase(ranges_.begin() + i, ranges_.begin() + j);
  ranges_.insert(ranges_.begin() + i, head.begin(), head.end());
}

void TbmREWchRanges::AddRanges(const TbmREWchRanges& other) {
  if (&other == this) return;
  for (const Range& r : other.ranges_) AddRange(r.first, r.second);
}

void TbmREWchRanges::Complement(std::int32_t lo, std::int32_t hi) {
  std::vector<Range> gaps;
  if (ranges_.empty()) {
    if (lo <= hi) gaps.push_back({lo, hi});
  } else {
    std::int64_t next = lo;
    for (const Range& r : ranges_) {
      if (r.first > next && next <= hi) gaps.push_back({static_cast<std::int32_t>(next), std::min(r.first - 1, hi)});
      next = std::max<std::int64_t>(next, static_cast<std::int64_t>(r.second) + 1);
    }
    if (next <= hi) gaps.push_back({static_cast<std::int32_t>(next), hi});
  }
  ranges_ = std::move(gaps);
}

void TbmREWchRanges::AddRangesBatch(const std::vector<Range>& batch) {
  // The partition after any sequence of AddRange is the covered set cut at
  // every range's low end and every range's high end + 1.
  std::vector<Range> all = ranges_;
  all.insert(all.end(), batch.begin(), batch.end());
  std::erase_if(all, [](const Range& r) { return r.first > r.second; });
  if (all.empty()) return;
  std::vector<std::int64_t> cuts;
  cuts.reserve(all.size() * 2);
  for (const Range& r : all) {
    cuts.push_back(r.first);
    cuts.push_back(static_cast<std::int64_t>(r.second) + 1);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::sort(all.begin(), all.end());
  std::vector<Range> result;
  std::size_t c = 0;
  std::size_t k = 0;
  while (k < all.size()) {
    std::int64_t lo = all[k].first;
    std::int64_t hi = all[k].second;
    for (++k; k < all.size() && all[k].first <= hi + 1; ++k) hi = std::max<std::int64_t>(hi, all[k].second);
    // Cut the covered segment lo..hi at every cut strictly inside it.
    while (c < cuts.size() && cuts[c] <= lo) ++c;
    std::int64_t start = lo;
    while (c < cuts.size() && cuts[c] <= hi) {
      result.push_back({static_cast<std::int32_t>(start), static_cast<std::int32_t>(cuts[c] - 1)});
      start = cuts[c];
      ++c;
    }
    result.push_back({static_cast<std::int32_t>(start), static_cast<std::int32_t>(hi)});
  }
  ranges_ = std::move(result);
}

int TbmREWchRanges::IndexOfLow(std::int32_t lo) const {
  auto it = std::lower_bound(ranges_.begin(), ranges_.end(), lo,
                             [](const Range& r, std::int32_t v) { return r.first < v; });
  return (it != ranges_.end() && it->first == lo) ? static_cast<int>(it - ranges_.begin()) : -1;
}

int TbmREWchRanges::IndexOfHigh(std::int32_t hi) const {
  auto it = std::lower_bound(ranges_.begin(), ranges_.end(), hi,
                             [](const Range& r, std::int32_t v) { return r.second < v; });
  return (it != ranges_.end() && it->second == hi) ? static_cast<int>(it - ranges_.begin()) : -1;
}

std::string TbmREWchRanges::DumpRanges(const std::vector<Range>& ranges, char separator) {
  std::string out;
  char buf[40];
  for (const Range& r : ranges) {
    if (!out.empty()) out += separator;
    if (r.first == r.second) {
      std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(r.first));
    } else {
      std::snprintf(buf, sizeof buf, "%x-%x", static_cast<unsigned>(r.first), static_cast<unsigned>(r.second));
    }
    out += buf;
  }
  return out;
}

}  // namespace parvane
