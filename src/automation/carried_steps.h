// CarriedSteps: a step list that outlives the document it was read for (the
// command-line tool's inputs, the batch window's files). A step parameter's
// character outside code page 932 is a private code of one document's table;
// before the next document is loaded the steps that hold one are kept in
// UTF-8, and after it they take that document's codes. Every other step keeps
// its bytes (so a Shift_JIS step file's NEC and IBM codes stay as written).
#ifndef PARVANE_AUTOMATION_CARRIED_STEPS_H_
#define PARVANE_AUTOMATION_CARRIED_STEPS_H_

#include <string>
#include <string_view>
#include <vector>

#include "editor/document.h"
#include "text/private_codes.h"

namespace parvane {

class CarriedSteps {
 public:
  // Adds a step given in UTF-8 (a command line's -e, a UTF-8 step file).
  void AddUtf8(std::string_view utf8) { steps_.push_back({true, std::string(utf8)}); }
  // Adds a step in Shift_JIS that holds no private code.
  void AddSjis(std::string_view sjis) { steps_.push_back({false, std::string(sjis)}); }

  // Returns the steps as Shift_JIS for the document whose table is codes.
  Lines For(PrivateCodes& codes) const;

  // Takes back the steps after they ran on the document whose table is codes
  // ("@1st" answers are kept in them).
  void Keep(const Lines& sjis_steps, const PrivateCodes& codes);

  bool empty() const { return steps_.empty(); }

 private:
  struct Step {
    bool utf8;         // text is UTF-8, not yet given codes
    std::string text;  // UTF-8 or Shift_JIS
  };
  std::vector<Step> steps_;
};

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_CARRIED_STEPS_H_
