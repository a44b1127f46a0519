#include "app/settings.h"

#include <QCoreApplication>
#include <system_error>

#include "app/qt_text.h"
#include "text/integer.h"

namespace parvane {

SettingsPaths SettingsPathsFor(const std::filesystem::path& settings_file) {
  SettingsPaths paths;
  paths.settings = settings_file;
  paths.recovery = settings_file.parent_path() / "backup.tmp";
  return paths;
}

SettingsPaths DefaultSettingsPaths() {
  const std::filesystem::path program_dir = QStringToPath(QCoreApplication::applicationDirPath());
  std::filesystem::path settings = DefaultSettingsPath(program_dir);
  std::error_code ec;
  std::filesystem::create_directories(settings.parent_path(), ec);
  return SettingsPathsFor(settings);
}

Options LoadSettings(const std::filesystem::path& settings_file) {
  IniFile ini;
  std::string error;
  if (!ini.Load(settings_file, &error)) return Options{};
  return ReadOptions(ini);
}

QRect SavedWindowBounds(const std::filesystem::path& settings_file, const QRect& current) {
  IniFile ini;
  std::string error;
  if (!ini.Load(settings_file, &error)) return current;
  auto read = [&ini](const std::string& key, int fallback) {
    const std::optional<std::string> v = ini.Get(key);
    return v ? ParseInteger(*v).value_or(fallback) : fallback;
  };
  const int width = read("Window.Width", current.width());
  const int height = read("Window.Height", current.height());
  return QRect(read("Window.Left", current.x()), read("Window.Top", current.y()),
               width > 0 ? width : current.width(), height > 0 ? height : current.height());
}

bool WriteShutdownSettings(const std::filesystem::path& settings_file,
                           const ShutdownSettings& values, std::string* error) {
  IniFile ini;
  // An unreadable file is replaced rather than left without the window's keys.
  std::string ignored;
  if (!ini.Load(settings_file, &ignored)) ini = IniFile();
  ini.Set("Window.Left", std::to_string(values.bounds.x()));
  ini.Set("Window.Top", std::to_string(values.bounds.y()));
  ini.Set("Window.Width", std::to_string(values.bounds.width()));
  ini.Set("Window.Height", std::to_string(values.bounds.height()));
  ini.Set("File.Charset", std::string(SaveCodeSettingsName(values.save_code)));
  ini.Set("Control.Selection", values.selection == SelectionStyle::kStandard ? "0" : "1");
  ini.Set("Control.ReturnMark", std::to_string(values.return_mark));
  ini.Set("Control.Line", std::to_string(values.rule_line));
  ini.Set("Control.StatusBar", values.status_bar ? "1" : "0");
  return ini.Save(settings_file, error);
}

bool WriteDialogSettings(const std::filesystem::path& settings_file, const Options& options,
                         std::string* error) {
  IniFile ini;
  std::string ignored;
  if (!ini.Load(settings_file, &ignored)) ini = IniFile();
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  ini.Set("Window.Position", b(options.window_position));
  ini.Set("Window.FullPath", b(options.full_path));
  ini.Set("File.AutoBackup", b(options.auto_backup));
  ini.Set("File.Backup", b(options.backup));
  ini.Set("File.CharsetFixed", b(options.charset_fixed));
  ini.Set("File.Trash", b(options.trash));
  ini.Set("File.DetectUtf8", b(options.detect_utf8));
  ini.Set("Font.Name", options.font_name);
  ini.Set("Font.Size", std::to_string(options.font_size));
  static const char* const kUserKeys[10] = {
      "User.Com1.File", "User.Com2.File", "User.Com3.File", "User.Com4.File", "User.Com5.File",
      "User.Com6.File", "User.Com7.File", "User.Com8.File", "User.Com9.File", "User.Com0.File"};
  for (int i = 0; i < 10; ++i) ini.Set(kUserKeys[i], options.user_command_files[i]);
  return ini.Save(settings_file, error);
}

}  // namespace parvane
