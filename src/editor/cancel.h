// A person's request to stop a long command. The Host says whether one is
// pending (Host::CancelRequested); Editor::Progress asks it and throws
// CommandCancelled, which CommandFrame answers by leaving the document as
// it was.
#ifndef PARVANE_EDITOR_CANCEL_H_
#define PARVANE_EDITOR_CANCEL_H_

#include <exception>

namespace parvane {

// Thrown by Editor::Progress when the Host reports a cancel request. It is
// an std::exception so that a handler written for errors still stops it, but
// it is no error: the desktop program catches it before them and shows no box.
class CommandCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace parvane

#endif  // PARVANE_EDITOR_CANCEL_H_
