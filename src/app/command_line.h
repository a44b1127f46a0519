// The desktop program's command line: files to open, or one of the two
// informational options. Read before the window system is touched, so that
// --help and --version work without a display.
#ifndef PARVANE_APP_COMMAND_LINE_H_
#define PARVANE_APP_COMMAND_LINE_H_

#include <QString>
#include <QStringList>

namespace parvane {

struct CommandLine {
  enum class Kind {
    kRun,         // start the window with files
    kHelp,        // print UsageText() to standard output, exit 0
    kVersion,     // print VersionText() to standard output, exit 0
    kUsageError,  // print error and UsageText() to standard error, exit 2
  };
  Kind kind = Kind::kRun;
  QStringList files;  // kRun: the first replaces the document, the rest are appended
  QString error;      // kUsageError: one line naming the offending argument
};

// Reads the arguments after the program name. "-h"/"--help" and
// "--version" win wherever they stand; any other argument that starts with
// "-" (except "-" itself) is a usage error; "--" ends the options, so a file
// named like an option can still be opened.
CommandLine ParseCommandLine(const QStringList& arguments);

// "parvane [FILE]...", what the files do, and the options.
QString UsageText();
// "parvane 1.15".
QString VersionText();

}  // namespace parvane

#endif  // PARVANE_APP_COMMAND_LINE_H_
