// Runs a Python 3 script as an independent oracle: the script reads the given
// bytes on standard input and its standard output is returned. Tests skip
// themselves when no python3 is installed.
#ifndef PARVANE_TESTS_CHARS_PYTHON_ORACLE_H_
#define PARVANE_TESTS_CHARS_PYTHON_ORACLE_H_

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "support/scripted_host.h"

namespace parvane {

inline bool HavePython() { return std::system("python3 -c pass >/dev/null 2>&1") == 0; }

inline std::optional<std::string> RunPython(std::string_view script, std::string_view input) {
  TempDir dir;
  WriteBytes(dir / "oracle.py", script);
  WriteBytes(dir / "input", input);
  const std::string command = "python3 '" + (dir / "oracle.py").string() + "' < '" +
                              (dir / "input").string() + "' > '" + (dir / "output").string() + "'";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  return ReadBytes(dir / "output");
}

}  // namespace parvane

#endif  // PARVANE_TESTS_CHARS_PYTHON_ORACLE_H_
