#include "support/scripted_host.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "text/literal.h"
#include "text/private_codes.h"

namespace parvane {

std::vector<std::string> ScriptedHost::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

std::optional<std::string> ScriptedHost::InputBox(std::string_view, std::string_view prompt,
                                                  std::string_view initial) {
  prompts.push_back(SjisToUtf8(prompt));
  initial_texts.push_back(SjisToUtf8(initial));
  if (inputs.empty()) {
    if (strict) ADD_FAILURE() << "unexpected input box: " << prompts.back();
    return std::nullopt;
  }
  auto answer = inputs.front();
  inputs.pop_front();
  if (!answer) return std::nullopt;
  // As a real Host does: through the document's private codes.
  return private_codes() != nullptr ? private_codes()->FromUtf8(*answer) : Sjis(*answer);
}

Answer ScriptedHost::Message(std::string_view text, MessageIcon icon, MessageButtons buttons) {
  messages.push_back(
      {private_codes() != nullptr ? private_codes()->ToUtf8(text) : SjisToUtf8(text), icon, buttons});
  if (buttons == MessageButtons::kOk) return Answer::kOk;
  if (answers.empty()) {
    if (strict) ADD_FAILURE() << "unexpected question: " << messages.back().text;
    return buttons == MessageButtons::kYesNo ? Answer::kNo : Answer::kCancel;
  }
  Answer a = answers.front();
  answers.pop_front();
  return a;
}

std::optional<std::filesystem::path> ScriptedHost::OpenFileDialog(const FileDialogSpec& dialog) {
  open_dialogs.push_back(dialog);
  if (open_files.empty()) {
    if (strict) ADD_FAILURE() << "unexpected open dialog";
    return std::nullopt;
  }
  auto path = open_files.front();
  open_files.pop_front();
  return path;
}

std::optional<std::filesystem::path> ScriptedHost::SaveFileDialog(const FileDialogSpec& dialog) {
  save_dialogs.push_back(dialog);
  if (save_files.empty()) {
    if (strict) ADD_FAILURE() << "unexpected save dialog";
    return std::nullopt;
  }
  auto path = save_files.front();
  save_files.pop_front();
  return path;
}

void ScriptedHost::CommandStarted(std::string_view busy_message) {
  ++commands_started;
  busy_messages.push_back(SjisToUtf8(busy_message));
}

void ScriptedHost::Progress(int percent) {
  if (percent > max_percent) max_percent = percent;
}

void ScriptedHost::ShowRemovedLines(Editor& editor) {
  ++removed_lines_shown;
  if (on_removed_lines) on_removed_lines(editor);
}

std::optional<int> ScriptedHost::ChooseKeyField(std::string_view caption, const Lines&) {
  key_dialog_captions.push_back(SjisToUtf8(caption));
  if (key_fields.empty()) {
    if (strict) ADD_FAILURE() << "unexpected key-field dialog";
    return std::nullopt;
  }
  auto k = key_fields.front();
  key_fields.pop_front();
  return k;
}

Lines SjisLines(const std::vector<std::string>& utf8_lines) {
  Lines out;
  for (const auto& l : utf8_lines) out.push_back(Sjis(l));
  return out;
}

std::vector<std::string> Utf8Lines(const Lines& sjis_lines) {
  std::vector<std::string> out;
  for (const auto& l : sjis_lines) out.push_back(SjisToUtf8(l));
  return out;
}

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("parvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only files or directories behind.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (old_) {
    ::setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

std::filesystem::path WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace parvane
