// The command-line Host.
#include "cli/cli_host.h"

#include <algorithm>

#include "automation/playback.h"
#include "text/integer.h"
#include "text/ascii.h"
#include "text/literal.h"
#include "text/private_codes.h"

namespace parvane {

CliHost::CliHost(std::vector<std::string> answers, std::FILE* err)
    : answers_(answers.begin(), answers.end()), err_(err) {}

void CliHost::Report(std::string_view utf8_text) {
  std::string text;
  for (std::size_t i = 0; i < utf8_text.size(); ++i) {
    if (utf8_text[i] == '\r') {
      if (i + 1 < utf8_text.size() && utf8_text[i + 1] == '\n') ++i;
      text += '\n';
    } else {
      text += utf8_text[i];
    }
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  std::string line = "parvane-cli: ";
  if (!subject_.empty()) line += subject_ + ": ";
  line += text;
  line += '\n';
  if (line == last_line_) {
    ++repeats_;
    return;
  }
  FlushRepeats();
  std::fwrite(line.data(), 1, line.size(), err_);
  std::fflush(err_);
  last_line_ = std::move(line);
}

void CliHost::FlushRepeats() {
  if (repeats_ > 0) {
    std::string line = "parvane-cli: ";
    if (!subject_.empty()) line += subject_ + ": ";
    line += "(the message above " + std::to_string(repeats_) +
            (repeats_ == 1 ? " more time)\n" : " more times)\n");
    std::fwrite(line.data(), 1, line.size(), err_);
    std::fflush(err_);
  }
  repeats_ = 0;
  last_line_.clear();
}

CliHost::~CliHost() { FlushRepeats(); }

std::string CliHost::NextAnswer(std::string_view question_utf8) {
  if (answers_.empty()) {
    throw PlaybackAborted("no --answer left for the question: " + std::string(question_utf8));
  }
  std::string answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

std::string CliHost::ToUtf8(std::string_view sjis) const {
  return private_codes() != nullptr ? private_codes()->ToUtf8(sjis) : SjisToUtf8(sjis);
}

std::string CliHost::FromUtf8(std::string_view utf8) {
  return private_codes() != nullptr ? private_codes()->FromUtf8(utf8) : Sjis(utf8);
}

std::optional<std::string> CliHost::InputBox(std::string_view, std::string_view prompt,
                                             std::string_view) {
  return FromUtf8(NextAnswer(ToUtf8(prompt)));
}

Answer CliHost::Message(std::string_view text, MessageIcon, MessageButtons buttons) {
  const std::string utf8 = ToUtf8(text);
  if (buttons == MessageButtons::kOk) {
    Report(utf8);
    return Answer::kOk;
  }
  const std::string answer = AsciiLower(NextAnswer(utf8));
  if (answer == "yes" || answer == "y" || answer == "はい") return Answer::kYes;
  if (answer == "no" || answer == "n" || answer == "いいえ") return Answer::kNo;
  if (buttons == MessageButtons::kYesNoCancel &&
      (answer == "cancel" || answer == "c" || answer == "キャンセル")) {
    return Answer::kCancel;
  }
  throw PlaybackAborted("the answer '" + answer + "' is not yes or no, to the question: " + utf8);
}

std::optional<std::filesystem::path> CliHost::OpenFileDialog(const FileDialogSpec&) {
  return std::filesystem::path(NextAnswer("a file to open"));
}

std::optional<std::filesystem::path> CliHost::SaveFileDialog(const FileDialogSpec&) {
  return std::filesystem::path(NextAnswer("a file to save to"));
}

std::optional<int> CliHost::ChooseKeyField(std::string_view caption, const Lines&) {
  std::string answer = NextAnswer(ToUtf8(caption));
  std::optional<std::int32_t> n = ParseInteger(answer);
  if (!n) throw PlaybackAborted("the key field '" + answer + "' is not a number");
  return *n;
}

}  // namespace parvane
