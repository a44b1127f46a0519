// The state of automatic processing that lives beside the editor: recording,
// the step list being played, the batch window's "most recent command" and
// the batch flag. One instance per main window (or per command-line run).
#ifndef PARVANE_AUTOMATION_AUTOMATION_STATE_H_
#define PARVANE_AUTOMATION_AUTOMATION_STATE_H_

#include <string>

#include "editor/document.h"

namespace parvane {

struct AutomationState {
  bool recording = false;      // between start and end of a recording
  Lines step_list;             // the steps played last, as the player rewrote them
  std::string last_step_text;  // the batch window's eleventh choice (one step line)
  bool batch = false;          // set while the second and later files of a drop run:
                               // step_list is reused, not reloaded
};

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_AUTOMATION_STATE_H_
