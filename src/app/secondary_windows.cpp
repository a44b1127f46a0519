#include "app/secondary_windows.h"

#include <QInputDialog>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "commands/removed_lines.h"
#include "text/literal.h"

namespace parvane {

SecondaryWindows::SecondaryWindows(MainWindow* main) : main_(main) {}
SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::Startup() {}
void SecondaryWindows::CloseAll() {}

void SecondaryWindows::ShowBatch() {}
void SecondaryWindows::ShowFind(bool) {}
void SecondaryWindows::ShowOptions(bool) {}
void SecondaryWindows::ShowRemovedLines(Editor&) {}

std::optional<int> SecondaryWindows::ChooseKeyField(const QString& caption,
                                                    const QStringList& fields, const QFont&) {
  bool ok = false;
  const QString item = QInputDialog::getItem(main_, caption, QString(), fields, 0, false, &ok);
  if (!ok) return std::nullopt;
  return static_cast<int>(fields.indexOf(item));
}

void SecondaryWindows::RunEncoder(AppAction) {}

}  // namespace parvane
