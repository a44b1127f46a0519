#include "app/command_line.h"

#include "editor/editor.h"

namespace parvane {

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine result;
  bool options_ended = false;
  for (const QString& argument : arguments) {
    if (options_ended || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
      result.files << argument;
    } else if (argument == QLatin1String("--")) {
      options_ended = true;
    } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
      result.kind = CommandLine::Kind::kHelp;
      return result;
    } else if (argument == QLatin1String("--version")) {
      result.kind = CommandLine::Kind::kVersion;
      return result;
    } else if (result.kind != CommandLine::Kind::kUsageError) {
      // Keep looking: a later --help still answers with the help.
      result.kind = CommandLine::Kind::kUsageError;
      result.error = QStringLiteral("parvane: unknown option %1").arg(argument);
    }
  }
  if (result.kind == CommandLine::Kind::kUsageError) result.files.clear();
  return result;
}

QString UsageText() {
  return QStringLiteral(
      "usage: parvane [FILE]...\n"
      "       parvane --help | --version\n"
      "\n"
      "Opens the first FILE as the document and appends the lines of each further\n"
      "FILE to it, as dropping several files on the window does. Use -- before a\n"
      "file name that starts with '-'.\n"
      "\n"
      "  -h, --help   print this help and exit\n"
      "  --version    print the version and exit\n"
      "\n"
      "The same commands without a window: parvane-cli --help\n");
}

QString VersionText() {
  return QStringLiteral("parvane ") +
         QString::fromUtf8(kProductVersion.data(), static_cast<qsizetype>(kProductVersion.size())) +
         QLatin1Char('\n');
}

}  // namespace parvane
