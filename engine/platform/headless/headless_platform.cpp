#include "engine/platform/headless/headless_platform.h"

#include "engine/script/sjis.h"

#include <cstdio>

namespace velmo {

MessageAnswer HeadlessWindow::ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                                             MessageIcon icon) {
  messageBoxes.push_back(MessageBoxCall{std::string(text), std::string(caption), buttons, icon});
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers.empty()) return defaultYesNoAnswer;
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string DiskFileSystem::HostPath(std::string_view path) const {
  std::string host = root;
  if (!host.empty() && host.back() != '/') host += '/';
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(path[i]) && i + 1 < path.size()) {
      host += path[i];
      host += path[++i];
    } else {
      host += path[i] == '\\' ? '/' : path[i];
    }
  }
  return host;
}

bool DiskFileSystem::Write(std::string_view path, std::string_view bytes, const char* mode) {
  std::FILE* file = std::fopen(HostPath(path).c_str(), mode);
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool DiskFileSystem::WriteNewFile(std::string_view path, std::string_view bytes) { return Write(path, bytes, "wb"); }

bool DiskFileSystem::AppendToFile(std::string_view path, std::string_view bytes) { return Write(path, bytes, "ab"); }

} // namespace velmo
