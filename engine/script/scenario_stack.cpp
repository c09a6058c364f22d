#include "engine/script/scenario_stack.h"

#include "engine/base/errors.h"

#include <utility>

namespace velmo {

void TScnFileStack::PushParagraph(std::unique_ptr<TScenario>& caller) {
  if (Depth() >= Capacity) ThrowError(ErrStackOverflow, "TScnFileStack::PushParagraph");
  frames.push_back(Frame{std::move(caller), -1, 0});
}

void TScnFileStack::PushScenario(const TScenario& caller) {
  if (Depth() >= Capacity) ThrowError(ErrStackOverflow, "TScnFileStack::PushScenario");
  frames.push_back(Frame{nullptr, caller.Tell(), caller.line});
}

std::unique_ptr<TScenario> TScnFileStack::Pop(std::unique_ptr<TScenario> current) {
  if (frames.empty()) return nullptr;
  Frame top = std::move(frames.back());
  frames.pop_back();
  if (top.offset < 0) return std::move(top.owned);
  current->Seek(static_cast<std::uint32_t>(top.offset));
  current->line = top.line;
  return current;
}

} // namespace velmo
