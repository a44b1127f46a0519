// What parvane-cli does with its parsed arguments.
#ifndef PARVANE_CLI_RUN_H_
#define PARVANE_CLI_RUN_H_

#include <cstdio>
#include <filesystem>

#include "cli/arguments.h"

namespace parvane {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a step or a file failed; that file is unchanged
inline constexpr int kExitUsage = 2;

// Runs the tool: the steps of -f and -e on each FILE in place (or to out with
// --stdout, or to -o), or on the bytes of in when no FILE is given. The
// settings file is found from program_dir as the desktop program finds it,
// read and never written. Returns the exit status.
int RunCli(const CliArguments& args, const std::filesystem::path& program_dir, std::FILE* out,
           std::FILE* err);

}  // namespace parvane

#endif  // PARVANE_CLI_RUN_H_
