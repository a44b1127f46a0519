// parvane-cli: the steps of automatic processing on files or a pipe, without
// a window.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "cli/arguments.h"
#include "cli/run.h"

namespace {

std::filesystem::path ProgramDir(const char* argv0) {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv0, ec);
  return exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  // A write past the file size limit is an error to report (the file is then
  // left as it was), not a reason to die without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  // RunCli catches exhaustion while an input is processed; this is for the
  // rest (arguments, steps, settings). Either way: a message and status 1,
  // never an abort.
  try {
    parvane::CliArguments args;
    std::string error;
    if (!parvane::ParseCliArguments(argc, argv, &args, &error)) {
      std::fprintf(stderr, "parvane-cli: %s\n\n%s", error.c_str(), parvane::CliUsage().c_str());
      return parvane::kExitUsage;
    }
    return parvane::RunCli(args, ProgramDir(argv[0]), stdout, stderr);
  } catch (const std::bad_alloc&) {
    std::fputs("parvane-cli: not enough memory\n", stderr);
    return parvane::kExitFailed;
  }
}
