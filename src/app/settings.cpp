#include "app/settings.h"

#include <QCoreApplication>
#include <system_error>

#include "app/qt_text.h"
#include "app/recent_files.h"
#include "editor/recovery_copy.h"
#include "text/integer.h"

namespace parvane {

SettingsPaths SettingsPathsFor(const std::filesystem::path& settings_file) {
  SettingsPaths paths;
  paths.settings = settings_file;
  paths.recovery = settings_file.parent_path();
  return paths;
}

SettingsPaths DefaultSettingsPaths() {
  const std::filesystem::path program_dir = QStringToPath(QCoreApplication::applicationDirPath());
  std::filesystem::path settings = DefaultSettingsPath(program_dir);
  std::error_code ec;
  std::filesystem::create_directories(settings.parent_path(), ec);
  SettingsPaths paths = SettingsPathsFor(settings);
  const bool portable = settings.parent_path() == program_dir;
  if (!portable) paths.recovery = DefaultRecoveryFolder();
  return paths;
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

QStringList SavedRecentFiles(const std::filesystem::path& settings_file) {
  IniFile ini;
  std::string error;
  if (!ini.Load(settings_file, &error)) return {};
  return ReadRecentFiles(ini);
}

bool WriteShutdownSettings(const std::filesystem::path& settings_file,
                           const ShutdownSettings& values, std::string* error) {
  IniFile ini;
  // An unreadable file is replaced rather than left without the window's keys.
  std::string ignored;
  if (!ini.Load(settings_file, &ignored)) ini = IniFile();
  Options session;
  session.window_left = values.bounds.x();
  session.window_top = values.bounds.y();
  session.window_width = values.bounds.width();
  session.window_height = values.bounds.height();
  session.charset = values.save_code;
  session.selection = values.selection;
  session.return_mark = values.return_mark;
  session.rule_line = values.rule_line;
  session.status_bar = values.status_bar;
  WriteSessionOptions(session, ini);
  WriteRecentFiles(values.recent_files, ini);
  return ini.Save(settings_file, error);
}

bool WriteDialogSettings(const std::filesystem::path& settings_file, const Options& options,
                         std::string* error) {
  IniFile ini;
  std::string ignored;
  if (!ini.Load(settings_file, &ignored)) ini = IniFile();
  WriteDialogOptions(options, ini);
  return ini.Save(settings_file, error);
}

}  // namespace parvane
