#include "engine/platform/headless/headless_platform.h"

#include "engine/base/pixel.h"
#include "engine/base/sjis.h"
#include "engine/platform/headless/memory_surface.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velmo {

void HeadlessWindow::PostResume(std::uint32_t ticket) {
  ++resumePosted;
  posted.push_back(PostedMessage::Resume);
  resumeTickets.push_back(ticket);
}

void HeadlessWindow::PostShutdown() {
  ++shutdownPosted;
  posted.push_back(PostedMessage::Shutdown);
}

MessageAnswer HeadlessWindow::ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                                             MessageIcon icon) {
  messageBoxes.push_back(MessageBoxCall{std::string(text), std::string(caption), buttons, icon});
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers.empty()) return defaultYesNoAnswer;
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

bool HeadlessWindow::SetCursor(CursorChoice choice, std::string_view file) {
  cursorFile = file;
  const bool loads = choice != CursorChoice::File || std::find(loadableCursorFiles.begin(), loadableCursorFiles.end(),
                                                               file) != loadableCursorFiles.end();
  cursor = loads ? choice : CursorChoice::Program;
  return loads;
}

bool HeadlessWindow::AskText(std::string_view caption, std::string_view prompt, std::string& text) {
  textDialogs.push_back(TextDialogCall{std::string(caption), std::string(prompt), text});
  if (textAnswers.empty()) return true;
  TextAnswer answer = textAnswers.front();
  textAnswers.pop_front();
  text = answer.text;
  return answer.ok;
}

bool HeadlessWindow::ShowDialog(EngineDialog dialog) {
  dialogs.push_back(dialog);
  if (dialogAnswers.empty()) return false;
  const bool answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

int HeadlessWindow::OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) {
  shellCalls.push_back(ShellCall{std::string(file), std::string(parameters), std::string(folder)});
  return shellResult;
}

bool HeadlessWindow::CursorPosition(int& x, int& y) {
  x = cursorX;
  y = cursorY;
  return true;
}

void HeadlessWindow::MoveCursor(int x, int y, std::uint32_t) {
  cursorX = x;
  cursorY = y;
  cursorMoves.emplace_back(x, y);
}

std::unique_ptr<TSurface> HeadlessGraphics::CreateSurface() { return std::make_unique<MemorySurface>(); }

FontDescription HeadlessGraphics::SystemFont() {
  FontDescription description;
  description.height = SystemFontHeight;
  description.weight = 700;
  std::snprintf(description.faceName, sizeof description.faceName, "%s", "System");
  return description;
}

void HeadlessGraphics::SetMessageFont(const FontDescription& description) {
  font = description;
  fontsMade.push_back(description);
}

std::int32_t HeadlessGraphics::CellHeight() const {
  if (font.height == 0) return SystemFontHeight;
  // The magnitude, in 64 bits: INT32_MIN has none in 32.
  return static_cast<std::int32_t>(std::min<std::int64_t>(std::llabs(std::int64_t{font.height}), 1 << 16));
}

TextSize HeadlessGraphics::MeasureText(std::string_view text) {
  const std::int32_t height = CellHeight();
  TextSize size{0, height};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(text[i]) && i + 1 < text.size()) {
      size.cx += height;
      ++i;
    } else {
      size.cx += height / 2;
    }
  }
  return size;
}

void HeadlessGraphics::PaintText(TSurface& surface, int x, int y, std::string_view text, std::uint32_t colorRef) {
  ++textsDrawn;
  const PixelBytes pixel = ColorRefPixel(colorRef);
  const TextSize size = MeasureText(text);
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + size.cx, TSurface::Width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + size.cy, TSurface::Height);
  for (std::int64_t row = top; row < bottom; ++row) {
    std::uint8_t* p = surface.Bits() + static_cast<std::size_t>(row) * TSurface::Stride;
    for (std::int64_t column = left; column < right; ++column) std::memcpy(p + column * 3, pixel.bytes, 3);
  }
}

namespace {

// Splits an engine path into its parts at backslashes (and slashes), keeping two-byte
// characters whole.
std::vector<std::string> PathParts(std::string_view path) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(path[i]) && i + 1 < path.size()) {
      parts.back() += path[i];
      parts.back() += path[++i];
    } else if (path[i] == '\\' || path[i] == '/') {
      parts.emplace_back();
    } else {
      parts.back() += path[i];
    }
  }
  return parts;
}

std::string JoinRoot(const std::string& root) { return root.empty() || root.back() == '/' ? root : root + '/'; }

class DiskReadFile : public IReadFile {
public:
  explicit DiskReadFile(std::FILE* f) : file(f) {}
  ~DiskReadFile() override { std::fclose(file); }
  DiskReadFile(const DiskReadFile&) = delete;
  DiskReadFile& operator=(const DiskReadFile&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override { return std::fread(buffer, 1, size, file); }
  bool Seek(std::uint32_t offset) override { return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0; }

private:
  std::FILE* file;
};

class MemoryReadFile : public IReadFile {
public:
  explicit MemoryReadFile(std::string content) : bytes(std::move(content)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = position < bytes.size() ? std::min(size, bytes.size() - position) : 0;
    std::copy_n(bytes.data() + position, n, buffer);
    position += n;
    return n;
  }
  bool Seek(std::uint32_t offset) override {
    position = offset;
    return true;
  }

private:
  std::string bytes;
  std::size_t position = 0;
};

} // namespace

std::string DiskFileSystem::HostPath(std::string_view path) const {
  std::string host = JoinRoot(root);
  const std::vector<std::string> parts = PathParts(path);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) host += '/';
    host += parts[i];
  }
  return host;
}

std::string DiskFileSystem::ResolvePath(std::string_view path) const {
  namespace fs = std::filesystem;
  std::string host = JoinRoot(root);
  const std::vector<std::string> parts = PathParts(path);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) host += '/';
    std::string part = parts[i];
    std::error_code error;
    if (!part.empty() && !fs::exists(fs::path(host + part), error)) {
      const fs::path folder = host.empty() ? fs::path(".") : fs::path(host);
      for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (EqualsNoCase(name, part)) {
          part = name;
          break;
        }
      }
    }
    host += part;
  }
  return host;
}

std::unique_ptr<IReadFile> DiskFileSystem::OpenRead(std::string_view path) {
  const std::string host = ResolvePath(path);
  std::error_code error;
  if (std::filesystem::is_directory(host, error)) return nullptr;
  std::FILE* file = std::fopen(host.c_str(), "rb");
  if (file == nullptr) return nullptr;
  return std::make_unique<DiskReadFile>(file);
}

bool DiskFileSystem::Write(std::string_view path, std::string_view bytes, const char* mode) {
  std::FILE* file = std::fopen(ResolvePath(path).c_str(), mode);
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool DiskFileSystem::WriteNewFile(std::string_view path, std::string_view bytes) { return Write(path, bytes, "wb"); }

bool DiskFileSystem::AppendToFile(std::string_view path, std::string_view bytes) { return Write(path, bytes, "ab"); }

bool DiskFileSystem::WriteFileAtomically(std::string_view path, std::string_view bytes) {
  const std::string target = ResolvePath(path);
  const std::string temporary = target + std::string(ReplacementSuffix);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  const std::size_t size = std::min(bytes.size(), faults.failAfterBytes.value_or(bytes.size()));
  bool written = std::fwrite(bytes.data(), 1, size, file) == size && size == bytes.size() && std::fflush(file) == 0;
#ifdef _WIN32
  written = written && _commit(_fileno(file)) == 0;
#else
  written = written && fsync(fileno(file)) == 0;
#endif
  written = std::fclose(file) == 0 && written;
  if (written && faults.dieBeforeRename) return false;
  std::error_code error;
  if (written) std::filesystem::rename(temporary, target, error);
  if (written && !error) return true;
  std::remove(temporary.c_str());
  return false;
}

namespace {

// The extension of a file name, compared as the system compares names: ignoring case.
bool HasExtension(std::string_view name, std::string_view extension) {
  return name.size() > extension.size() && EqualsNoCase(name.substr(name.size() - extension.size()), extension);
}

std::string_view FileNamePart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(path[i]) && i + 1 < path.size())
      ++i;
    else if (path[i] == '\\' || path[i] == '/')
      start = i + 1;
  }
  return path.substr(start);
}

} // namespace

std::vector<std::string> DiskFileSystem::FindFiles(std::string_view folder, std::string_view extension) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(ResolvePath(folder), error)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory(error) && HasExtension(name, extension)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> MemoryFileSystem::FindFiles(std::string_view folder, std::string_view extension) {
  std::vector<std::string> names;
  for (const auto& [path, bytes] : files) {
    const std::string_view name = FileNamePart(path);
    const std::string_view parent = std::string_view(path).substr(0, path.size() - name.size());
    if ((parent == std::string(folder) + "\\" || (folder.empty() && parent.empty())) && HasExtension(name, extension)) {
      names.emplace_back(name);
    }
  }
  return names;
}

void* HeadlessModules::Load(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  for (auto& [registered, module] : modules) {
    if (EqualsNoCase(registered, name)) {
      ++module.loads;
      ++loaded;
      return &module;
    }
  }
  return nullptr;
}

void* HeadlessModules::Export(void* module, const char* name) {
  auto& exports = static_cast<Module*>(module)->exports;
  auto it = exports.find(std::string_view(name));
  return it == exports.end() ? nullptr : it->second;
}

void HeadlessModules::FreeMemory(void* handle) { std::free(handle); }

bool DiskFileSystem::Exists(std::string_view path) {
  std::error_code error;
  return std::filesystem::exists(ResolvePath(path), error);
}

bool DiskFileSystem::Remove(std::string_view path) {
  std::error_code error;
  return std::filesystem::remove(ResolvePath(path), error);
}

void HeadlessModules::Free(void* module) {
  if (module != nullptr) --loaded;
}

std::unique_ptr<IReadFile> MemoryFileSystem::OpenRead(std::string_view path) {
  auto it = files.find(path);
  if (it == files.end()) return nullptr;
  return std::make_unique<MemoryReadFile>(it->second);
}

bool MemoryFileSystem::Writable(std::string_view path) const {
  return std::find(readOnly.begin(), readOnly.end(), path) == readOnly.end();
}

bool MemoryFileSystem::WriteNewFile(std::string_view path, std::string_view bytes) {
  if (!Writable(path)) return false;
  files.insert_or_assign(std::string(path), std::string(bytes));
  return true;
}

bool MemoryFileSystem::WriteFileAtomically(std::string_view path, std::string_view bytes) {
  const std::string temporary = std::string(path) + std::string(ReplacementSuffix);
  if (!Writable(temporary)) return false;
  if (faults.failAfterBytes && *faults.failAfterBytes < bytes.size()) return false;
  files.insert_or_assign(temporary, std::string(bytes));
  if (faults.dieBeforeRename) return false;
  const bool renamed = Writable(path);
  if (renamed) files.insert_or_assign(std::string(path), std::string(bytes));
  files.erase(temporary);
  return renamed;
}

bool MemoryFileSystem::Remove(std::string_view path) {
  if (!Writable(path)) return false;
  const auto it = files.find(path);
  if (it == files.end()) return false;
  files.erase(it);
  return true;
}

bool MemoryFileSystem::AppendToFile(std::string_view path, std::string_view bytes) {
  if (!Writable(path)) return false;
  auto it = files.find(path);
  if (it == files.end()) it = files.emplace(std::string(path), std::string()).first;
  it->second += bytes;
  return true;
}

} // namespace velmo
