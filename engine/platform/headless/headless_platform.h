#pragma once

#include "engine/platform/platform.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmo {

// A clock that moves only when told to.
class HeadlessClock : public IClock {
public:
  std::uint32_t NowMs() override { return nowMs; }
  LocalTime Now() override { return localTime; }

  void Advance(std::uint32_t ms) { nowMs += ms; }

  std::uint32_t nowMs = 0;
  LocalTime localTime{2000, 1, 1, 0, 0, 0};
};

// A window that records what the core posted and asked, and answers message boxes from a queue
// of answers (then with the default answer: go on after an error, accept a fatal one).
class HeadlessWindow : public IWindow {
public:
  struct MessageBoxCall {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
  };

  void PostResume() override { ++resumePosted; }
  void PostShutdown() override { ++shutdownPosted; }
  MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon) override;

  std::deque<MessageAnswer> answers;
  MessageAnswer defaultYesNoAnswer = MessageAnswer::No;
  std::vector<MessageBoxCall> messageBoxes;
  int resumePosted = 0;
  int shutdownPosted = 0;
};

// Files on disk under a root folder. Backslashes of engine paths become the host's separators;
// the trail byte of a two-byte character is never taken for one.
class DiskFileSystem : public IFileSystem {
public:
  explicit DiskFileSystem(std::string rootFolder) : root(std::move(rootFolder)) {}

  bool WriteNewFile(std::string_view path, std::string_view bytes) override;
  bool AppendToFile(std::string_view path, std::string_view bytes) override;

  // The host path of an engine path.
  std::string HostPath(std::string_view path) const;

private:
  bool Write(std::string_view path, std::string_view bytes, const char* mode);

  std::string root;
};

} // namespace velmo
