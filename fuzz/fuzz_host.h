// A Host for fuzz targets: every answer comes from the fuzzer's input, no
// dialog reaches a file, and nothing is shown. Header-only, so that the
// targets need nothing beyond the core.
#ifndef PARVANE_FUZZ_FUZZ_HOST_H_
#define PARVANE_FUZZ_FUZZ_HOST_H_

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "editor/host.h"

namespace parvane {

class FuzzHost : public Host {
 public:
  explicit FuzzHost(FuzzedDataProvider& input) : input_(input) {}

  // An input box gets a short text from the input, or is cancelled.
  std::optional<std::string> InputBox(std::string_view, std::string_view,
                                      std::string_view) override {
    if (input_.ConsumeIntegralInRange<int>(0, 7) == 0) return std::nullopt;
    return input_.ConsumeRandomLengthString(24);
  }
  Answer Message(std::string_view, MessageIcon, MessageButtons buttons) override {
    switch (buttons) {
      case MessageButtons::kOk:
        return Answer::kOk;
      case MessageButtons::kYesNo:
        return input_.ConsumeBool() ? Answer::kYes : Answer::kNo;
      case MessageButtons::kYesNoCancel:
        return input_.PickValueInArray({Answer::kYes, Answer::kNo, Answer::kCancel});
    }
    return Answer::kOk;
  }
  // Files stay out of reach: every dialog is cancelled.
  std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec&) override {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec&) override {
    return std::nullopt;
  }
  std::string ClipboardText() override { return clipboard_; }
  void SetClipboardText(std::string_view text) override { clipboard_ = std::string(text); }
  void CommandStarted(std::string_view) override {}
  void Progress(int) override {}
  void CommandEnded() override {}
  void ShowRemovedLines(Editor&) override {}
  std::optional<int> ChooseKeyField(std::string_view, const Lines& fields) override {
    if (input_.ConsumeIntegralInRange<int>(0, 7) == 0) return std::nullopt;
    return input_.ConsumeIntegralInRange<int>(-1, static_cast<int>(fields.size()) + 1);
  }

 private:
  FuzzedDataProvider& input_;
  std::string clipboard_;
};

}  // namespace parvane

#endif  // PARVANE_FUZZ_FUZZ_HOST_H_
