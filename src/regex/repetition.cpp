// ExpandRepetitions. One pass with a stack of open groups, so that the atom
// before a count is known without parsing; the parser later reports any
// other mistake in the pattern exactly as it would have.
#include "regex/repetition.h"

#include <cstddef>
#include <vector>

namespace parvane {
namespace {

// Tokens the written-out pattern may hold: nested counts multiply, and
// {1000}{1000} of a group must stop here rather than exhaust memory.
constexpr std::size_t kMaxExpandedTokens = 200'000;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

void ExpandRepetitions(TbmRETokens* tokens) {
  bool any = false;
  for (const TbmREToken& t : *tokens) any = any || t.Kind == kTokenRepetition;
  if (!any) return;
  TbmRETokens out;
  out.reserve(tokens->size());
  std::vector<std::size_t> open;  // indices in out of unclosed '('
  std::size_t atom = kNone;       // where in out the last complete atom begins
  bool after_count = false;
  const TbmRETokens& in = *tokens;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const TbmREToken& t = in[i];
    // An operator after a count would apply to the last copy only, not to
    // the whole repetition; refuse it as a doubled operator is refused.
    if (after_count && (t.Kind == kTokenAsterisk || t.Kind == kTokenPlus || t.Kind == kTokenQuestionMark)) {
      RaiseTokenError(t, kTokenNeedOperand);
    }
    after_count = t.Kind == kTokenRepetition;
    switch (t.Kind) {
      case kTokenLeftParenthesis:
        open.push_back(out.size());
        out.push_back(t);
        atom = kNone;
        break;
      case kTokenRightParenthesis:
        out.push_back(t);
        if (open.empty()) {
          atom = kNone;
        } else {
          atom = open.back();
          open.pop_back();
        }
        break;
      case kTokenLeftBracket:
      case kTokenNegateLeftBracket:
        atom = out.size();
        for (; i < in.size(); ++i) {
          out.push_back(in[i]);
          if (in[i].Kind == kTokenRightBracket) break;
        }
        break;
      case kTokenCharacter:
      case kTokenCharacterClass:
      case kTokenDot:
      case kTokenLineHead:
      case kTokenLineTail:
        atom = out.size();
        out.push_back(t);
        break;
      case kTokenRepetition: {
        if (atom == kNone) RaiseTokenError(t, kTokenNeedOperand);
        const TbmRETokens copy(out.begin() + static_cast<std::ptrdiff_t>(atom), out.end());
        out.resize(atom);
        const std::size_t lo = static_cast<std::size_t>(t.Lo);
        const std::size_t copies = t.Hi < 0 ? lo + 1 : static_cast<std::size_t>(t.Hi);
        if (out.size() + copies * (copy.size() + 1) > kMaxExpandedTokens) {
          RaiseTokenError(t, kTokenTooComplex);
        }
        TbmREToken op = t;
        for (std::size_t k = 0; k < copies; ++k) {
          out.insert(out.end(), copy.begin(), copy.end());
          if (k >= lo) {
            op.Kind = t.Hi < 0 ? kTokenAsterisk : kTokenQuestionMark;
            out.push_back(op);
          }
        }
        atom = kNone;
        break;
      }
      default:
        out.push_back(t);
        atom = kNone;
        break;
    }
  }
  *tokens = std::move(out);
}

}  // namespace parvane
