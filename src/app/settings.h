// The settings file as the desktop program uses it: read once when the main
// window first shows, and at shutdown the keys the window owns (bounds, save
// code, view choices, status bar) written back, the whole file sorted. The
// options dialog's keys are written only by that dialog's OK.
#ifndef PARVANE_APP_SETTINGS_H_
#define PARVANE_APP_SETTINGS_H_

#include <QRect>
#include <QStringList>
#include <filesystem>
#include <string>

#include "editor/options.h"

namespace parvane {

struct SettingsPaths {
  std::filesystem::path settings;  // parvane.ini
  std::filesystem::path recovery;  // the folder of the recovery copies (recovery_copy.h)
};

// parvane.ini beside the program (portable mode), the recovery copies in the
// same folder; or parvane.ini in the user's configuration folder, the
// recovery copies in the user's state folder (DefaultRecoveryFolder).
SettingsPaths DefaultSettingsPaths();
// settings_file, and the recovery copies beside it.
SettingsPaths SettingsPathsFor(const std::filesystem::path& settings_file);

// Every option, defaults for missing keys or a missing or unreadable file.
Options LoadSettings(const std::filesystem::path& settings_file);

// The bounds that "Window.Position" restores: each of the four "Window." keys
// that is missing or not a number keeps the matching value of current, and so
// does a width or height below 1.
QRect SavedWindowBounds(const std::filesystem::path& settings_file, const QRect& current);

// What the window writes at every shutdown.
struct ShutdownSettings {
  QRect bounds;
  SaveCode save_code = SaveCode::kShiftJis;
  SelectionStyle selection = SelectionStyle::kExtended;
  int return_mark = 1;
  int rule_line = 1;
  bool status_bar = true;
  QStringList recent_files;  // newest first
};

// The recent files kept in the settings file, missing ones pruned.
QStringList SavedRecentFiles(const std::filesystem::path& settings_file);

// Writes those keys into the settings file, keeping all others, sorted.
// Returns false with *error set when the file cannot be written.
bool WriteShutdownSettings(const std::filesystem::path& settings_file,
                           const ShutdownSettings& values, std::string* error);

// Writes the options dialog's keys (OK of that dialog).
bool WriteDialogSettings(const std::filesystem::path& settings_file, const Options& options,
                         std::string* error);

}  // namespace parvane

#endif  // PARVANE_APP_SETTINGS_H_
