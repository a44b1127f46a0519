#include "editor/step_params.h"

#include "editor/files.h"
#include "text/ascii.h"
#include "text/integer.h"

namespace parvane {
namespace {

// Step values are decimal; anything else counts as 0.
long StepNumber(std::string_view text) {
  if (text.find_first_of("$xX") != std::string_view::npos) return 0;
  auto n = ParseInteger(text);
  return n ? *n : 0;
}

}  // namespace

StepParam ReadStepParam(const Editor& editor, int k) {
  StepParam p;
  if (!editor.Playing()) return p;
  std::string item = k >= 0 && static_cast<std::size_t>(k) < editor.step_params.size()
                         ? editor.step_params[static_cast<std::size_t>(k)]
                         : std::string(kAskEveryTime);
  std::string lower = AsciiLower(item);
  if (lower == kAskEveryTime) return p;
  if (lower == kAskOnce) {
    p.store = true;
    return p;
  }
  p.ask = false;
  p.value = std::move(item);
  return p;
}

void StoreStepParam(Editor& editor, int k, std::string_view answer) {
  if (k < 0) return;
  auto index = static_cast<std::size_t>(k);
  if (editor.step_params.size() <= index) editor.step_params.resize(index + 1, std::string(kAskEveryTime));
  editor.step_params[index] = std::string(answer);
}

ParamQuestion AskedFor(const Editor& editor, int k) {
  const StepSpec* step = editor.running_step();
  if (step == nullptr || k < 1 || static_cast<std::size_t>(k) > step->params.size()) return {};
  const ParamSpec& param = step->params[static_cast<std::size_t>(k - 1)];
  return {param.prompt, param.initial};
}

std::optional<std::string> TextParam(Editor& editor, int k) {
  StepParam p = ReadStepParam(editor, k);
  if (!p.ask) {
    if (p.value.empty()) return std::nullopt;
    return p.value;
  }
  const ParamQuestion question = AskedFor(editor, k);
  auto answer = editor.host().InputBox(kProductName, question.prompt, question.initial);
  if (!answer || answer->empty()) return std::nullopt;
  if (p.store) StoreStepParam(editor, k, *answer);
  return answer;
}

std::optional<long> NumberParam(Editor& editor, int k) {
  StepParam p = ReadStepParam(editor, k);
  if (!p.ask) return StepNumber(p.value);
  const ParamQuestion question = AskedFor(editor, k);
  auto answer = editor.host().InputBox(kProductName, question.prompt, question.initial);
  if (!answer) return std::nullopt;
  auto n = ParseInteger(*answer);
  long value = n ? *n : 0;
  if (p.store) StoreStepParam(editor, k, std::to_string(value));
  return value;
}

std::optional<std::filesystem::path> FileParam(Editor& editor, int k, FileDialogSpec dialog) {
  StepParam p = ReadStepParam(editor, k);
  if (!p.ask) {
    std::filesystem::path path = SjisToPath(p.value);
    std::error_code ec;
    if (p.value.empty() || !std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    return path;
  }
  dialog.title = std::string(AskedFor(editor, k).prompt);
  auto chosen = editor.host().OpenFileDialog(dialog);
  if (!chosen) return std::nullopt;
  if (p.store) StoreStepParam(editor, k, PathToSjis(*chosen));
  return chosen;
}

}  // namespace parvane
