// How an error that ends a command is shown to the person.
#ifndef PARVANE_EDITOR_ERROR_TEXT_H_
#define PARVANE_EDITOR_ERROR_TEXT_H_

#include <string>
#include <string_view>

namespace parvane {

// Returns what as the error box shows it: with a full stop added unless it
// already ends in one ("need right parenthesis" -> "need right parenthesis.").
std::string ErrorDisplayText(std::string_view what);

}  // namespace parvane

#endif  // PARVANE_EDITOR_ERROR_TEXT_H_
