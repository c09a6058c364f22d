#include "engine/base/format.h"

#include <cstdarg>
#include <cstdio>

namespace velmo {

std::string FormatText(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

std::string FormatCommand(const char* pattern, std::string_view text) {
  const std::string_view p(pattern);
  const std::size_t at = p.find("%s");
  std::string command;
  command.reserve(p.size() + text.size());
  command.append(p.substr(0, at)).append(text).append(p.substr(at + 2));
  return command;
}

} // namespace velmo
