// Steps carried from one document to the next; see carried_steps.h.
#include "automation/carried_steps.h"

#include "codes/text_file.h"

namespace parvane {

Lines CarriedSteps::For(PrivateCodes& codes) const {
  Lines out;
  out.reserve(steps_.size());
  for (const Step& step : steps_) out.push_back(step.utf8 ? codes.FromUtf8(step.text) : step.text);
  return out;
}

void CarriedSteps::Keep(const Lines& sjis_steps, const PrivateCodes& codes) {
  steps_.clear();
  for (const std::string& line : sjis_steps) {
    if (CountUnsavable({line}, SaveCode::kShiftJis, &codes).count > 0) {
      steps_.push_back({true, codes.ToUtf8(line)});
    } else {
      steps_.push_back({false, line});
    }
  }
}

}  // namespace parvane
