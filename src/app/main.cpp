// parvane: the desktop program. Each argument is a file: the first is opened,
// the rest are appended.
#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/translations.h"
#include "editor/editor.h"

namespace {

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
}

// Qt would abort with a long message that suggests reinstalling; say in one
// line what is missing and where the same work can be done without a window.
bool DisplayMissing() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return false;
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/%1x%1/parvane.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const parvane::CommandLine command_line = parvane::ParseCommandLine(arguments);
  switch (command_line.kind) {
    case parvane::CommandLine::Kind::kHelp:
      Print(stdout, parvane::UsageText());
      return EXIT_SUCCESS;
    case parvane::CommandLine::Kind::kVersion:
      Print(stdout, parvane::VersionText());
      return EXIT_SUCCESS;
    case parvane::CommandLine::Kind::kUsageError:
      Print(stderr, command_line.error + QLatin1Char('\n') + parvane::UsageText());
      return 2;
    case parvane::CommandLine::Kind::kRun:
      break;
  }
  if (DisplayMissing()) {
    Print(stderr, QStringLiteral("parvane: no display (DISPLAY is not set); without a window use "
                                 "parvane-cli (parvane-cli --help)\n"));
    return EXIT_FAILURE;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parvane"));
  // No display name: the platform would append it to the title, which
  // already ends with the product name.
  QApplication::setApplicationVersion(QString::fromUtf8(parvane::kProductVersion.data(),
                                                        parvane::kProductVersion.size()));
  QApplication::setDesktopFileName(QStringLiteral("parvane"));
  QApplication::setWindowIcon(ProgramIcon());
  parvane::InstallQtTranslations(&app, QLocale::system());
  parvane::MainWindowSetup setup;
  setup.files = command_line.files;
  parvane::MainWindow window(std::move(setup));
  window.show();
  return QApplication::exec();
}
