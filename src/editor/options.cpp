#include "editor/options.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "editor/files.h"
#include "text/integer.h"

namespace parvane {
namespace {

constexpr const char* kSection = "Parvane";

std::string Bool(bool v) { return v ? "1" : "0"; }

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return std::string(s.substr(b, e - b));
}

std::string UserComKey(int slot_index) {
  // Index 0..8 are slots 1..9, index 9 is slot 0.
  int slot = slot_index == 9 ? 0 : slot_index + 1;
  return "User.Com" + std::to_string(slot) + ".File";
}

int ReadInt(const IniFile& ini, const std::string& key, int fallback) {
  auto v = ini.Get(key);
  if (!v) return fallback;
  auto n = ParseInteger(*v);
  return n ? *n : fallback;
}

bool ReadBool(const IniFile& ini, const std::string& key, bool fallback) {
  auto v = ini.Get(key);
  if (!v) return fallback;
  auto n = ParseInteger(*v);
  return n ? *n != 0 : fallback;
}

}  // namespace

bool IniFile::Load(const std::filesystem::path& path, std::string* error) {
  values_.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  std::istringstream in(bytes);
  std::string line;
  bool in_section = false;
  while (std::getline(in, line)) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      in_section = t.substr(1, t.size() - 2) == kSection;
      continue;
    }
    if (!in_section) continue;
    auto eq = t.find('=');
    if (eq == std::string::npos) continue;
    values_[Trim(t.substr(0, eq))] = t.substr(eq + 1);
  }
  return true;
}

bool IniFile::Save(const std::filesystem::path& path, std::string* error) const {
  std::string text = std::string("[") + kSection + "]\n";
  for (const auto& [key, value] : values_) text += key + "=" + value + "\n";
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  return WriteFileAtomically(path, text, error);
}

std::optional<std::string> IniFile::Get(const std::string& key) const {
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

Options ReadOptions(const IniFile& ini) {
  Options o;
  o.window_left = ReadInt(ini, "Window.Left", o.window_left);
  o.window_top = ReadInt(ini, "Window.Top", o.window_top);
  o.window_width = ReadInt(ini, "Window.Width", o.window_width);
  o.window_height = ReadInt(ini, "Window.Height", o.window_height);
  o.window_position = ReadBool(ini, "Window.Position", o.window_position);
  o.full_path = ReadBool(ini, "Window.FullPath", o.full_path);
  if (auto v = ini.Get("Font.Name"); v && !v->empty()) o.font_name = *v;
  o.font_size = ReadInt(ini, "Font.Size", o.font_size);
  o.status_bar = ReadBool(ini, "Control.StatusBar", o.status_bar);
  o.selection = ReadInt(ini, "Control.Selection", 1) == 0 ? SelectionStyle::kStandard
                                                          : SelectionStyle::kExtended;
  o.return_mark = ReadInt(ini, "Control.ReturnMark", 1);
  if (o.return_mark < 0 || o.return_mark > 2) o.return_mark = 1;
  o.rule_line = ReadInt(ini, "Control.Line", 1);
  if (o.rule_line < 0 || o.rule_line > 2) o.rule_line = 1;
  if (auto v = ini.Get("File.Charset")) {
    o.charset = SaveCodeFromSettingsName(*v).value_or(SaveCode::kShiftJis);
  }
  o.charset_fixed = ReadBool(ini, "File.CharsetFixed", o.charset_fixed);
  o.auto_backup = ReadBool(ini, "File.AutoBackup", o.auto_backup);
  o.backup = ReadBool(ini, "File.Backup", o.backup);
  o.trash = ReadBool(ini, "File.Trash", o.trash);
  o.detect_utf8 = ReadBool(ini, "File.DetectUtf8", o.detect_utf8);
  if (auto v = ini.Get("File.Name")) o.file_name = *v;
  o.undo_memory_mb = ReadInt(ini, "Undo.MemoryMB", o.undo_memory_mb);
  if (o.undo_memory_mb < 0) o.undo_memory_mb = 0;
  for (int i = 0; i < 10; ++i) {
    if (auto v = ini.Get(UserComKey(i))) o.user_command_files[i] = *v;
  }
  return o;
}

void WriteDialogOptions(const Options& o, IniFile& ini) {
  ini.Set("Window.Position", Bool(o.window_position));
  ini.Set("Window.FullPath", Bool(o.full_path));
  ini.Set("Font.Name", o.font_name);
  ini.Set("Font.Size", std::to_string(o.font_size));
  ini.Set("File.CharsetFixed", Bool(o.charset_fixed));
  ini.Set("File.AutoBackup", Bool(o.auto_backup));
  ini.Set("File.Backup", Bool(o.backup));
  ini.Set("File.Trash", Bool(o.trash));
  ini.Set("File.DetectUtf8", Bool(o.detect_utf8));
  ini.Set("Undo.MemoryMB", std::to_string(o.undo_memory_mb));
  for (int i = 0; i < 10; ++i) ini.Set(UserComKey(i), o.user_command_files[i]);
}

void WriteSessionOptions(const Options& o, IniFile& ini) {
  ini.Set("Window.Left", std::to_string(o.window_left));
  ini.Set("Window.Top", std::to_string(o.window_top));
  ini.Set("Window.Width", std::to_string(o.window_width));
  ini.Set("Window.Height", std::to_string(o.window_height));
  ini.Set("Control.StatusBar", Bool(o.status_bar));
  ini.Set("Control.Selection", o.selection == SelectionStyle::kStandard ? "0" : "1");
  ini.Set("Control.ReturnMark", std::to_string(o.return_mark));
  ini.Set("Control.Line", std::to_string(o.rule_line));
  ini.Set("File.Charset", std::string(SaveCodeSettingsName(o.charset)));
}

void WriteOptions(const Options& o, IniFile& ini) {
  WriteDialogOptions(o, ini);
  WriteSessionOptions(o, ini);
  ini.Set("File.Name", o.file_name);
}

std::filesystem::path DefaultSettingsPath(const std::filesystem::path& program_dir) {
  std::error_code ec;
  if (!program_dir.empty()) {
    auto portable = program_dir / "parvane.ini";
    if (std::filesystem::exists(portable, ec)) return portable;
  }
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = std::filesystem::temp_directory_path(ec);
  }
  return base / "parvane" / "parvane.ini";
}

}  // namespace parvane
