// parvane: the desktop program. Each argument is a file: the first is opened,
// the rest are appended.
#include <QApplication>
#include <QStringList>

#include "app/main_window.h"
#include "editor/editor.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parvane"));
  // No display name: the platform would append it to the title, which
  // already ends with the product name.
  QApplication::setApplicationVersion(QString::fromUtf8(parvane::kProductVersion.data(),
                                                        parvane::kProductVersion.size()));
  QApplication::setDesktopFileName(QStringLiteral("parvane"));
  parvane::MainWindowSetup setup;
  setup.files = QApplication::arguments().mid(1);
  parvane::MainWindow window(std::move(setup));
  window.show();
  return QApplication::exec();
}
