#include "editor/error_text.h"

namespace parvane {

std::string ErrorDisplayText(std::string_view what) {
  std::string text(what);
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

}  // namespace parvane
