#pragma once

#include <cstdint>

namespace velmo {

class Engine;

// The player's reading aids: auto mode (click waits end by themselves), the skip of read text
// (既読スキップ) and the flashback (読み返す). The frame driver and the menu commands carry out the
// player's input through these; each keeps the menus' marks in step.

// The menus as the settings read at start want them: 読み返す enabled when pages are kept for it,
// オートモード checked when it is on. Does not show them.
void ReadingModesFromSettings(Engine& engine);

// How long auto mode lets a click wait last: a second, and per character typed before the wait a
// time that grows with the player's text speed setting (MESSAGE Speed, 0 the fastest, taken within
// 0..10).
std::uint32_t AutoModeDelayMs(std::int32_t characters, std::int32_t speed);
// Turns auto mode on or off; a click wait under way counts its delay afresh.
void SetAutoMode(Engine& engine, bool on);
// A tick in a click wait while auto mode is on: the delay is counted from the first tick after
// the wait began, or after the voice belonging to the page has finished; then the page goes on.
void TickAutoMode(Engine& engine, std::uint32_t nowMs);

// Turns the skip of read text on or off. It does not turn on while skipping is disabled
// (@EnableSkip FALSE, or 次の選択肢へ grayed); turned on at a click wait of a line read before,
// the page goes on at once.
void SetReadSkip(Engine& engine, bool on);
// 既読スキップ from the menu or the key: on (from a hidden message window or the flashback, back to
// the page first) or off.
void ToggleReadSkip(Engine& engine);
// The message line at byte `offset` of the current scenario file is about to be shown: it is
// recorded as read, and the skip of read text stops at it unless it was read before.
void TakeMessageLine(Engine& engine, std::uint32_t offset);

// The page goes on after its click wait: the page marker is erased, output resumes.
void ContinuePage(Engine& engine);
// A hidden message window shows again, the flashback returns to the page on screen; true when
// the engine was away from it.
bool ReturnToPage(Engine& engine);

// 読み返す, the wheel turned up or PageUp: one kept page further back, opening the flashback from
// whatever the engine waits for, except while a transition's frames run. Nothing when no page is
// kept or there is no older one.
void FlashbackBack(Engine& engine);
// The wheel turned down, PageDown, a click or Esc in the flashback: one page nearer; past the
// newest kept page, back to what the engine was doing.
void FlashbackForward(Engine& engine);

} // namespace velmo
