#include "plugins/bandwipe/bandwipe_exports.h"

#include "plugins/bandwipe/bandwipe.h"
#include "plugins/common/variant_block.h"

namespace velmo::bandwipe {

namespace {

constexpr plugin::EntryDescription TransitionTable[] = {
    {"BLIND_H", "funcBlindH", 50, {20, 1, 0}},
    {"BLIND_V", "funcBlindV", 50, {20, 1, 0}},
    {"INTERLACE_H", "funcInterlaceH", 50, {12, 0, 0}},
    {"INTERLACE_V", "funcInterlaceV", 50, {16, 0, 0}},
    {"RANDOM_STRIPE_H", "funcRandStripeH", 50, {20, 0, 0}},
    {"RANDOM_STRIPE_V", "funcRandStripeV", 50, {20, 0, 0}},
    {"CHECKER_WIPE_H", "funcCheckerWipeH", 25, {20, 20, 0}},
    {"CHECKER_WIPE_V", "funcCheckerWipeV", 25, {20, 20, 0}},
    {"GRAD_WIPE_UP", "funcGradWipeUp", 50, {20, 1, 0}},
    {"GRAD_WIPE_DOWN", "funcGradWipeDown", 50, {20, 1, 0}},
    {"GRAD_WIPE_LEFT", "funcGradWipeLeft", 50, {20, 1, 0}},
    {"GRAD_WIPE_RIGHT", "funcGradWipeRight", 50, {20, 1, 0}},
};

// The RANDOM_STRIPE state, kept for as long as the plug-in is loaded.
StripeSequence sequence;

// The frame an entry function draws: nothing to draw without a block.
bool FrameOf(void* block, StripeFrame& frame) {
  const EffectBlock* b = plugin::BlockOf(block);
  if (b == nullptr) return false;
  frame.n = plugin::FrameOf(*b);
  frame.p1 = plugin::ParamOf(*b, 1);
  frame.p2 = plugin::ParamOf(*b, 2);
  frame.screen = plugin::ScreenOf(*b);
  frame.to = plugin::ToOf(*b);
  return true;
}

template <int (*Transition)(const StripeFrame&)> int Run(void* block) {
  StripeFrame frame;
  return FrameOf(block, frame) ? Transition(frame) : 0;
}

template <int (*Transition)(const StripeFrame&, StripeSequence&)> int RunWithSequence(void* block) {
  StripeFrame frame;
  return FrameOf(block, frame) ? Transition(frame, sequence) : 0;
}

} // namespace

const char* const Description = "bandwipe 縞とワイプのトランジション v1.20";

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return plugin::CopyPluginInfo(infoNumber, VELMO_TAG_EFFECT_EX, Description, buffer, bufferLength);
}

int VELMO_STDCALL GetTransitionInfo(int index, EffectInfo* out) {
  return plugin::FillEntryInfo(TransitionTable, index, out);
}

int VELMO_STDCALL funcBlindH(void* block) { return Run<BlindH>(block); }
int VELMO_STDCALL funcBlindV(void* block) { return Run<BlindV>(block); }
int VELMO_STDCALL funcInterlaceH(void* block) { return Run<InterlaceH>(block); }
int VELMO_STDCALL funcInterlaceV(void* block) { return Run<InterlaceV>(block); }
int VELMO_STDCALL funcRandStripeH(void* block) { return RunWithSequence<RandomStripeH>(block); }
int VELMO_STDCALL funcRandStripeV(void* block) { return RunWithSequence<RandomStripeV>(block); }
int VELMO_STDCALL funcCheckerWipeH(void* block) { return Run<CheckerWipeH>(block); }
int VELMO_STDCALL funcCheckerWipeV(void* block) { return Run<CheckerWipeV>(block); }
int VELMO_STDCALL funcGradWipeUp(void* block) { return Run<GradWipeUp>(block); }
int VELMO_STDCALL funcGradWipeDown(void* block) { return Run<GradWipeDown>(block); }
int VELMO_STDCALL funcGradWipeLeft(void* block) { return Run<GradWipeLeft>(block); }
int VELMO_STDCALL funcGradWipeRight(void* block) { return Run<GradWipeRight>(block); }

std::span<const plugin::EntryDescription> Transitions() { return TransitionTable; }

std::span<const plugin::NativePluginExport> Exports() {
#define VELMO_EXPORT_ENTRY(name) {#name, reinterpret_cast<void*>(&name)},
  static const plugin::NativePluginExport table[] = {{"GetPluginInfo", reinterpret_cast<void*>(&GetPluginInfo)},
                                                     {"GetTransitionInfo", reinterpret_cast<void*>(&GetTransitionInfo)},
                                                     VELMO_BANDWIPE_ENTRIES(VELMO_EXPORT_ENTRY)};
#undef VELMO_EXPORT_ENTRY
  return table;
}

void ResetForLoad() { sequence.Reset(); }

} // namespace velmo::bandwipe
