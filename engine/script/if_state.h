#pragma once

#include <cstdint>

namespace velmo {

// The conditional state of a scenario.
enum class IfState : std::uint32_t {
  Active = 0xFFFF,     // lines are executed
  Searching = 0x10000, // inside an @if whose conditions so far were false
  Done = 0x10001,      // a branch already ran, or the block lies in a skipped region
};

// The states saved by enclosing @if blocks: 16 of them; a push beyond is not kept, and popping an
// empty stack gives Active.
class TIfStack {
public:
  static constexpr int Capacity = 16;

  void Push(IfState state) {
    if (depth < Capacity) saved[depth] = state;
    ++depth;
  }
  IfState Pop() {
    if (depth == 0) return IfState::Active;
    --depth;
    return depth < Capacity ? saved[depth] : IfState::Active;
  }
  void Clear() { depth = 0; }
  int Depth() const { return depth < Capacity ? depth : Capacity; }

private:
  IfState saved[Capacity] = {};
  int depth = 0;
};

} // namespace velmo
