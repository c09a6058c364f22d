#pragma once

#include <filesystem>
#include <string>

namespace velmo {

// A folder of its own for one test, with a `system` subfolder as a game folder has; removed
// again at the end of the test.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::filesystem::path path;
};

// The whole content of a file, read in binary mode ("" when it cannot be read).
std::string ReadBytes(const std::filesystem::path& file);

} // namespace velmo
