#pragma once

#include "engine/script/scenario.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace velmo {

// The call stack of @GoSub: up to 16 frames. A call into another file keeps the caller's own
// scenario object in its frame (offset -1), standing where it stood; a call within the file keeps
// only the byte offset to return to in the same object.
class TScnFileStack {
public:
  static constexpr int Capacity = 16;

  // A call into another file: the frame takes the caller's scenario.
  void PushParagraph(std::unique_ptr<TScenario>& caller);
  // A call within the file: the frame remembers where the caller stands, and its line number, so
  // that after the return errors name the caller's own lines.
  void PushScenario(const TScenario& caller);
  // Returns to the caller: the scenario to continue with, or nullptr when the stack was empty.
  // `current` is destroyed unless it is also the caller's.
  std::unique_ptr<TScenario> Pop(std::unique_ptr<TScenario> current);
  // Discards every frame and the scenarios they own.
  void Clear() { frames.clear(); }
  int Depth() const { return static_cast<int>(frames.size()); }

private:
  struct Frame {
    std::unique_ptr<TScenario> owned; // the caller's scenario, for offset -1
    std::int64_t offset;
    std::int32_t line; // the caller's line number, for a call within the file
  };
  std::vector<Frame> frames;
};

} // namespace velmo
