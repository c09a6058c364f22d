#pragma once

#include "engine/platform/surface.h"
#include "plugins/include/velmo_plugin.h"

#include <cstdint>

namespace velmo {

// A transition or effect as the engine holds it: the entry function with its info, and whether
// the plug-in takes the variant block ("00MX"). A record whose function is the built-in
// transition has no entry function but `builtIn` set; a record with neither has no function at
// all (nothing was found, or nothing was ever set), and the built-in steps in when it is shown.
struct EffectRecord {
  VelmoEntryFunction function = nullptr;
  EffectInfo info{};
  bool variant = false;
  bool builtIn = false;

  bool HasFunction() const { return function != nullptr || builtIn; }
  // Makes the built-in transition the record's function, at its own frame interval.
  void InstallDefaultTransition();
};

// The patterns of the built-in transition's seven frames: eight rows of eight bits, the most
// significant bit leftmost; a 1 shows the new picture. Drawn in pixels here and with GDI on Win32.
extern const std::uint8_t DefaultTransitionPatterns[7][8];

// The interval of the built-in transition.
inline constexpr std::uint32_t DefaultTransitionIntervalMs = 30;

// The built-in transition, frame `counter` (0..6 draw): copies the pixels of `to` that the
// frame's 8 x 8 pattern selects onto `screen`, the pattern repeating from the surface's top-left
// corner; returns non-zero while more frames follow. Any other counter draws nothing and returns
// 0.
int DefaultTransition(std::int64_t counter, const TSurface& to, TSurface& screen);

// The transition or effect being stepped (the pending effect with its parameter block), as the
// frame driver drives it.
class ITransitionRunner {
public:
  virtual ~ITransitionRunner() = default;
  // Calls the transition's function for one frame and counts the frame; returns its result
  // (0: finished).
  virtual int Step() = 0;
  // The next call is the finishing one (frame counter 65535).
  virtual void StartFinish() = 0;
  // The final copy of the "to" picture onto the shown surface.
  virtual void CopyFinalPicture() = 0;
  virtual std::uint32_t FrameIntervalMs() const = 0;
};

// Steps the pending transition or effect frame by frame for the frame driver: the parameter
// block, the frame counter and the finishing calls of both block forms.
class EffectHost : public ITransitionRunner {
public:
  // Prepares `record` to run from `from` to `to` on `screen`: counter 0, the record's
  // parameters in the block. Before the first Start there is nothing to step: Step answers 0.
  void Start(const EffectRecord& record, TSurface& screen, TSurface& from, TSurface& to);

  int Step() override;
  void StartFinish() override;
  void CopyFinalPicture() override;
  std::uint32_t FrameIntervalMs() const override;

  // The pending record and its block, for the commands that adjust them after Start (WAIT and
  // PARAM).
  const EffectRecord& Pending() const { return pending; }
  EffectRecord& Pending() { return pending; }
  EffectBlock& Block() { return blockEx.block; }
  std::int64_t FrameCounter() const { return blockEx.block.frameCounter; }

  // Where no one ever looks at a transition's frames (the headless player, which shows only the
  // finished picture), the built-in transition only counts its frames and draws none: the final
  // copy shows the same picture, at the same time.
  void SkipUnseenBuiltInFrames() { drawsBuiltInFrames = false; }

private:
  EffectRecord pending;
  EffectBlockEx blockEx{};
  TSurface* screen = nullptr;
  TSurface* to = nullptr;
  bool finishing = false;
  bool drawsBuiltInFrames = true;
};

} // namespace velmo
