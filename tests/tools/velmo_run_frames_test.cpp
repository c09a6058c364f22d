// velmo-run's pictures: a game folder on disk whose start-up scenario composes layers and shows
// them twice; the frames written after each @UpdateScreen and the capture at the end must be the
// frames worked out in the test, as 640 x 480 BMP files with the bottom row first.
#include "tools/velmo_run/headless_run.h"

#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velmo {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A scrambled scenario: lines joined with CR LF, each byte's two nibbles swapped.
std::string Scrambled(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  for (char& c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    c = static_cast<char>((b << 4 | b >> 4) & 0xFF);
  }
  return bytes;
}

std::uint32_t U32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

// What is wrong with `file` as the BMP file of `expected`; "" when nothing is.
std::string CompareCapture(const std::string& file, const ExpectedFrame& expected) {
  if (file.size() != 921654) return "size " + std::to_string(file.size());
  if (file.compare(0, 2, "BM") != 0 || U32(file, 2) != 921654 || U32(file, 10) != 54 || U32(file, 14) != 40 ||
      U32(file, 18) != 640 || U32(file, 22) != 480 || (U32(file, 26) & 0xFFFF) != 1 || (U32(file, 28) & 0xFFFF) != 24 ||
      U32(file, 30) != 0) {
    return "header";
  }
  // The file's rows run from the bottom of the frame up.
  std::vector<std::uint8_t> topDown(TSurface::Size);
  for (int row = 0; row < TSurface::Height; ++row) {
    const std::size_t from = 54 + static_cast<std::size_t>(TSurface::Height - 1 - row) * TSurface::Stride;
    std::copy(file.begin() + static_cast<std::ptrdiff_t>(from),
              file.begin() + static_cast<std::ptrdiff_t>(from + TSurface::Stride),
              topDown.begin() + static_cast<std::ptrdiff_t>(row * TSurface::Stride));
  }
  return FirstDifference(topDown.data(), expected);
}

TEST(VelmoRunFramesTest, FramesAndCaptureAreTheComposedPictures) {
  TempFolder game;
  const Picture bg = MakePicture(640, 480, [](int x, int y) {
    return Pixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x + y)};
  });
  // The sprite's top-left colour is its key; so is a square in its middle.
  const Picture sprite = MakePicture(41, 30, [](int x, int y) {
    if ((x == 0 && y == 0) || (x >= 15 && x < 20 && y >= 10 && y < 15)) return Pixel{255, 0, 255};
    return Pixel{static_cast<std::uint8_t>(x * 6), 200, static_cast<std::uint8_t>(y * 8)};
  });
  const Picture blob = MakePicture(64, 48, [](int x, int y) {
    return Pixel{static_cast<std::uint8_t>(250 - x), static_cast<std::uint8_t>(y * 5), 40};
  });
  const Picture blobMask = MakePicture(64, 48, [](int x, int y) {
    return Pixel{static_cast<std::uint8_t>(x < 32 ? x * 8 : 255), static_cast<std::uint8_t>(y), 0};
  });
  const Picture window = MakePicture(640, 80, [](int x, int y) {
    return Pixel{20, static_cast<std::uint8_t>(x / 3), static_cast<std::uint8_t>(100 + y)};
  });
  WriteFile(game.path / "bg.bmp", EncodeBmp(bg));
  WriteFile(game.path / "sprite.bmp", EncodeBmp(sprite));
  WriteFile(game.path / "blob.bmp", EncodeBmp(blob));
  WriteFile(game.path / "blobmask.bmp", EncodeBmp(blobMask));
  WriteFile(game.path / "win.bmp", EncodeBmp(window));
  WriteFile(
      game.path / "system" / "startup.scx",
      Scrambled({"@AssignLayer 3 1 1", "@BGColor 0x336699", "@LoadLayer 0 bg.bmp", "@LoadLayer 1 sprite.bmp 100 80",
                 "@Layer 1 TRANSPARENT ALPHA=50", "@LoadLayer 2 blob.bmp 600 450", "@LoadAlpha 2 blobmask.bmp",
                 "@LoadLayer 3 win.bmp 0 400", "@Layer 3 ALPHA=25", "@UpdateScreen", "@ShowLayer 0 HIDE",
                 "@OffsetLayer 2 -20 -10", "@UpdateScreen NOFADE", "@Exit"}));
  const fs::path frames = game.path / "frames";
  fs::create_directory(frames);

  RunOptions options;
  options.framesFolder = frames.string();
  options.captureFile = (game.path / "last.bmp").string();
  std::FILE* transcript = std::tmpfile();
  ASSERT_NE(transcript, nullptr);
  HeadlessRun run(game.path.string(), options, transcript);
  EXPECT_EQ(run.Run(), RunEnd::Exit);
  std::rewind(transcript);
  std::string text;
  for (int c; (c = std::fgetc(transcript)) != EOF;) text += static_cast<char>(c);
  std::fclose(transcript);
  EXPECT_EQ(text, "capture " + options.captureFile + "\nend exit\n");

  ExpectedFrame first;
  first.Draw(bg, 0, 0);
  first.Draw(sprite, 100, 80, 128, nullptr, false, true);
  first.Draw(blob, 600, 450, 0, &blobMask);
  first.Draw(window, 0, 400, 64);
  ExpectedFrame second;
  second.Fill({0x33, 0x66, 0x99});
  second.Draw(sprite, 100, 80, 128, nullptr, false, true);
  second.Draw(blob, -20, -10, 0, &blobMask);
  second.Draw(window, 0, 400, 64);

  std::vector<std::string> written;
  for (const fs::directory_entry& entry : fs::directory_iterator(frames))
    written.push_back(entry.path().filename().string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"0001.bmp", "0002.bmp"}));
  EXPECT_EQ(CompareCapture(ReadBytes(frames / "0001.bmp"), first), "");
  EXPECT_EQ(CompareCapture(ReadBytes(frames / "0002.bmp"), second), "");
  EXPECT_EQ(CompareCapture(ReadBytes(game.path / "last.bmp"), second), "");
}

// A filter of a delivered plug-in works in velmo-run when the game's system folder holds the
// plug-in's DLL, whose code velmo-run has compiled in; without the DLL the filter is not found.
TEST(VelmoRunFramesTest, DeliveredPlugInsOfTheSystemFolderRunCompiledIn) {
  const Picture bg = MakePicture(640, 480, [](int x, int y) {
    return Pixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x * y)};
  });
  ExpectedFrame plain, grey;
  plain.Draw(bg, 0, 0);
  grey.Draw(bg, 0, 0);
  for (std::size_t i = 0; i < grey.bytes.size(); i += 3) {
    const auto g = static_cast<std::uint8_t>((grey.bytes[i] + grey.bytes[i + 1] + grey.bytes[i + 2]) / 3);
    grey.bytes[i] = grey.bytes[i + 1] = grey.bytes[i + 2] = g;
  }
  for (bool installed : {true, false}) {
    TempFolder game;
    WriteFile(game.path / "bg.bmp", EncodeBmp(bg));
    WriteFile(game.path / "system" / "startup.scx",
              Scrambled({"@AssignLayer 3 1 1", "@LoadLayer 0 bg.bmp", "@LoadFilter 1 MONOTONE", "@UpdateScreen NOFADE",
                         "@Exit"}));
    if (installed) WriteFile(game.path / "system" / "BasicFX.vpx", "the DLL; velmo-run has its code");
    RunOptions options;
    options.captureFile = (game.path / "last.bmp").string();
    std::FILE* transcript = std::tmpfile();
    ASSERT_NE(transcript, nullptr);
    HeadlessRun run(game.path.string(), options, transcript);
    EXPECT_EQ(run.Run(), RunEnd::Exit);
    std::fclose(transcript);
    EXPECT_EQ(CompareCapture(ReadBytes(game.path / "last.bmp"), installed ? grey : plain), "") << installed;
  }
}

} // namespace
} // namespace velmo
