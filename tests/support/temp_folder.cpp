#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace velmo {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string base =
      std::string("velmo_") + (test ? test->test_suite_name() : "") + "_" + (test ? test->name() : "") + "_";
  // A taken name (a leftover, or another build's run of the same test) just means another try.
  std::random_device device;
  std::mt19937_64 random((static_cast<std::uint64_t>(device()) << 32) ^ device() ^
                         reinterpret_cast<std::uintptr_t>(this));
  for (;;) {
    path = fs::path(::testing::TempDir()) / (base + std::to_string(random()));
    if (fs::create_directories(path)) break;
  }
  fs::create_directory(path / "system");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

} // namespace velmo
