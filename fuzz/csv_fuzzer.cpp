// The comma-separated commands on random fields: the key sorts, the
// transpose and the 罫線 table, on records built from the input's fields
// (quotes, commas, tabs and two-byte characters included), with the key and
// the selection drawn from the input. A sort gives the same lines in some
// order (padded with empty fields up to the key); no command leaves a row
// longer than the limit; transposing a rectangular table twice gives it back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "commands/csv.h"
#include "editor/editor.h"
#include "editor/fields.h"
#include "fuzz_host.h"

namespace {

using parvane::Lines;

parvane::Lines RandomRecords(FuzzedDataProvider& input, bool rectangular) {
  const int rows = input.ConsumeIntegralInRange<int>(0, 12);
  const int width = input.ConsumeIntegralInRange<int>(1, 6);
  Lines records;
  for (int r = 0; r < rows; ++r) {
    Lines fields;
    const int n = rectangular ? width : input.ConsumeIntegralInRange<int>(0, 6);
    for (int f = 0; f < n; ++f) {
      fields.push_back(input.ConsumeRandomLengthString(12));
      // A row never holds a line break: loading splits there, and so does
      // storing a result.
      std::replace(fields.back().begin(), fields.back().end(), '\r', ' ');
      std::replace(fields.back().begin(), fields.back().end(), '\n', ' ');
      // No empty cells in a rectangle: a row's empty last field does not
      // survive JoinFields and SplitFields, so it would not transpose back.
      if (rectangular && fields.back().empty()) fields.back() = "x";
    }
    records.push_back(parvane::JoinFields(fields));
  }
  return records;
}

void CheckLimit(const parvane::Editor& editor) {
  for (std::string_view line : editor.doc.lines()) {
    if (line.size() > editor.max_line_length) std::abort();
  }
}

Lines Sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  parvane::FuzzHost host(input);
  parvane::Editor editor(host);
  editor.max_line_length = input.ConsumeIntegralInRange<std::size_t>(8, 400);
  const int command = input.ConsumeIntegralInRange<int>(0, 3);
  const bool rectangular = input.ConsumeBool();
  Lines records = RandomRecords(input, rectangular);
  for (std::string& line : records) {
    if (line.size() > editor.max_line_length) line.resize(editor.max_line_length);
  }
  // Lines that SplitFields and JoinFields leave as they are, so that a sort's
  // padding is the only change a record can see; and without a tab, which
  // the commands take for spreadsheet text and turn into commas first.
  bool canonical = true;
  for (const std::string& line : records) {
    if (parvane::JoinFields(parvane::SplitFields(line)) != line ||
        line.find('\t') != std::string::npos) {
      canonical = false;
    }
  }
  editor.doc.SetLines(records);
  for (std::size_t row = 0; row < records.size(); ++row) {
    if (input.ConsumeIntegralInRange<int>(0, 3) == 0) editor.doc.Select(row, true);
  }
  const Lines before = editor.doc.lines().ToStrings();
  const bool whole = editor.doc.SelectedCount() <= 1;

  switch (command) {
    case 0:
    case 1: {
      if (command == 0) {
        parvane::SortCsvBySyllabary(editor);
      } else {
        parvane::SortCsvByLength(editor);
      }
      CheckLimit(editor);
      if (editor.doc.size() != before.size()) std::abort();
      // Without padding (every record reaches the key), a sort of the whole
      // document is a permutation.
      if (whole && canonical && rectangular && !(editor.doc.lines() == before) &&
          Sorted(editor.doc.lines().ToStrings()) != Sorted(before)) {
        bool padded = false;
        for (std::string_view line : editor.doc.lines()) {
          if (std::find(before.begin(), before.end(), line) == before.end()) padded = true;
        }
        if (!padded) std::abort();
      }
      break;
    }
    case 2: {
      parvane::TransposeCsv(editor);
      CheckLimit(editor);
      if (whole && canonical && rectangular && !before.empty() && !(editor.doc.lines() == before)) {
        parvane::TransposeCsv(editor);
        CheckLimit(editor);
        if (!(editor.doc.lines() == before) &&
            editor.doc.lines().size() == before.size()) {
          // Only a refused second transpose (a line over the limit) may differ.
          bool refused = false;
          for (const std::string& line : editor.work_lines) {
            if (line.size() > editor.max_line_length) refused = true;
          }
          if (!refused) std::abort();
        }
      }
      break;
    }
    case 3:
      parvane::CsvToTextTable(editor);
      CheckLimit(editor);
      break;
  }
  return 0;
}
