// parvane-cli's command line: the input, cut at NUL bytes, is argv[1...].
// The parser either accepts with a consistent result or gives a one-line
// error; every -e step is either accepted by the step check as it is, shown
// unchanged (control bytes escaped), or refused and shown in a form the
// check accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/step_check.h"

namespace {

bool HasControlByte(const std::string& s) {
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// Control bytes are shown escaped even inside quotes, where they are data.
void CheckStep(const std::string& step) {
  const std::string shown = parvane::PrintableStep(step);
  if (parvane::StepArgumentError(shown).has_value()) std::abort();
  if (!parvane::StepArgumentError(step).has_value() && !HasControlByte(step) && shown != step) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> words = {"parvane-cli"};
  std::string word;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  words.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());

  parvane::CliArguments args;
  std::string error;
  if (parvane::ParseCliArguments(static_cast<int>(argv.size()), argv.data(), &args, &error)) {
    if (args.mode == parvane::CliArguments::Mode::kRun) {
      if (args.to_stdout && args.output) std::abort();
      if (args.output && args.files.size() > 1) std::abort();
      // "-" names standard input, once at most.
      int dashes = 0;
      for (const std::string& f : args.files) dashes += f == "-";
      if (dashes > 1) std::abort();
    }
  } else if (error.empty() || error.find('\n') != std::string::npos) {
    // A newline inside an argument may appear in the message; a parser
    // message of its own must still be there.
    if (error.empty()) std::abort();
  }
  for (const std::string& step : args.steps) CheckStep(step);
  CheckStep(word);
  return 0;
}
