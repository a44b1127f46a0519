// A Host for benchmarks: asks nothing, shows nothing, keeps a clipboard.
#ifndef PARVANE_BENCH_QUIET_HOST_H_
#define PARVANE_BENCH_QUIET_HOST_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "editor/editor.h"
#include "editor/host.h"

namespace parvane {

class QuietHost : public Host {
 public:
  std::optional<std::string> InputBox(std::string_view, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  Answer Message(std::string_view, MessageIcon, MessageButtons) override { return Answer::kOk; }
  std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec&) override { return {}; }
  std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec&) override { return {}; }
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(std::string_view text) override { clipboard = std::string(text); }
  void CommandStarted(std::string_view) override {}
  void Progress(int) override {}
  void CommandEnded() override {}
  void ShowRemovedLines(Editor&) override {}
  std::optional<int> ChooseKeyField(std::string_view, const Lines&) override { return {}; }

  std::string clipboard;
};

}  // namespace parvane

#endif  // PARVANE_BENCH_QUIET_HOST_H_
