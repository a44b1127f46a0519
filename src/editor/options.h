// The options and settings that the core obeys, and the settings file.
//
// The settings file is an INI file with the one section [Parvane]; keys are an
// area, a dot and a name ("File.Backup"). Booleans are written 1/0; any
// non-zero number reads as true; a missing key gives its default.
#ifndef PARVANE_EDITOR_OPTIONS_H_
#define PARVANE_EDITOR_OPTIONS_H_

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "codes/save_code.h"

namespace parvane {

enum class SelectionStyle { kStandard = 0, kExtended = 1 };

// The values of the settings file, read once at start and written at exit.
struct Options {
  // Window area (the app's business; kept here so one reader serves both).
  int window_left = 0, window_top = 0, window_width = 0, window_height = 0;
  bool window_position = false;  // "Window.Position"
  bool full_path = false;        // "Window.FullPath"
  std::string font_name = "FixedSys";  // "Font.Name"
  int font_size = 14;                  // "Font.Size"
  bool status_bar = true;              // "Control.StatusBar"
  SelectionStyle selection = SelectionStyle::kExtended;  // "Control.Selection"
  int return_mark = 1;  // "Control.ReturnMark": 0 none, 1 mark A, 2 mark B
  int rule_line = 1;    // "Control.Line": 0 none, 1 dotted, 2 solid
  SaveCode charset = SaveCode::kShiftJis;  // "File.Charset"
  bool charset_fixed = false;  // "File.CharsetFixed"
  bool auto_backup = true;     // "File.AutoBackup"
  bool backup = true;          // "File.Backup"
  bool trash = true;           // "File.Trash"
  bool detect_utf8 = true;     // "File.DetectUtf8"
  std::string file_name;       // "File.Name": the file the recovery copy holds (UTF-8 path)
  // "Undo.MemoryMB": how much memory the undo history may keep, in MB.
  int undo_memory_mb = 1024;
  // "User.Com1.File" ... "User.Com9.File", "User.Com0.File": index 0 is slot 1,
  // index 9 is slot 0 (UTF-8 paths).
  std::array<std::string, 10> user_command_files;
};

// A one-section INI file kept as key -> value. Keys keep the case they were
// written in; lookups are exact.
class IniFile {
 public:
  // Reads path. A missing file gives an empty set of keys and returns true;
  // an unreadable one returns false with *error set.
  bool Load(const std::filesystem::path& path, std::string* error);
  // Writes every key, sorted, under [Parvane], atomically.
  bool Save(const std::filesystem::path& path, std::string* error) const;

  std::optional<std::string> Get(const std::string& key) const;
  void Set(const std::string& key, std::string value) { values_[key] = std::move(value); }
  const std::map<std::string, std::string>& values() const { return values_; }

 private:
  std::map<std::string, std::string> values_;
};

// Reads the options from ini (defaults for missing keys).
Options ReadOptions(const IniFile& ini);

// Writes every option into ini.
void WriteOptions(const Options& options, IniFile& ini);

// Writes the keys the options dialog owns (written on its OK only): window
// position and full path, font, the file check boxes, the ten user commands.
void WriteDialogOptions(const Options& options, IniFile& ini);

// Writes the keys written at every shutdown: window bounds, status bar,
// selection style, return mark, rule lines, save code.
void WriteSessionOptions(const Options& options, IniFile& ini);

// The settings file: parvane.ini beside the program when one exists there
// (portable mode), otherwise in the per-user configuration directory
// ($XDG_CONFIG_HOME or ~/.config)/parvane/parvane.ini.
std::filesystem::path DefaultSettingsPath(const std::filesystem::path& program_dir);

}  // namespace parvane

#endif  // PARVANE_EDITOR_OPTIONS_H_
