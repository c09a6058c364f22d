#include "engine/platform/win32/win32_platform.h"
#include "engine/plugin/effect_host.h"
#include "engine/plugin/plugin_list.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace velmo {
namespace {

// The fixture plug-ins as the build made them (paths on the drive that maps the root folder).
constexpr const char* BuiltPlugins[] = {VELMO_TEST_PLUGIN_ME, VELMO_TEST_PLUGIN_MP, VELMO_TEST_PLUGIN_MX,
                                        VELMO_TEST_PLUGIN_BROKEN};

typedef int(__stdcall* TakeCounters)(std::int32_t* out, int capacity);
typedef int(__stdcall* LastParam)();

// A game's system folder holding the fixture plug-ins, a module that is no plug-in and a text
// file named like one, loaded into a list with the system's own loader.
class PluginHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* built : BuiltPlugins) {
      const std::string name = std::filesystem::path(built).filename().string();
      ASSERT_TRUE(CopyFileA(built, (system / name).string().c_str(), FALSE)) << built;
    }
    std::ofstream(system / "notadll.vpx") << "This is a text file, not a module.\r\n";
    failures = list.LoadAll(files, Folder());
  }

  std::string Folder() const { return system.string(); }
  std::string PathOf(const char* name) const { return (system / name).string(); }

  int IndexOf(const std::string& fileName) const {
    for (int i = 0; i <= list.LastIndex(); ++i) {
      if (list.Node(i).fileName == fileName) return i;
    }
    return -1;
  }

  void* ExportOf(const char* fileName, const char* name) {
    const int index = IndexOf(fileName);
    return index < 0 ? nullptr : modules.Export(list.Node(index).module, name);
  }

  std::vector<std::int32_t> TakeCountersOf(const char* fileName) {
    auto take = reinterpret_cast<TakeCounters>(ExportOf(fileName, "TestTakeCounters"));
    if (take == nullptr) return {};
    std::vector<std::int32_t> counters(64);
    counters.resize(static_cast<std::size_t>(take(counters.data(), 64)));
    return counters;
  }

  std::unique_ptr<TSurface> NewSurface(std::uint8_t fill) {
    std::unique_ptr<TSurface> surface = graphics.CreateSurface();
    if (surface != nullptr) std::memset(surface->Bits(), fill, TSurface::Size);
    return surface;
  }

  TempFolder folder;
  std::filesystem::path system = folder.path / "system";
  Win32FileSystem files;
  Win32Modules modules;
  Win32Graphics graphics;
  TListPlugin list{modules};
  std::vector<TException> failures;
};

// Runs a transition as the frame driver does, without waiting: frames until it says it is
// finished (at most `limit`), the finishing call(s), then the final copy. The number of frames
// before the finishing call.
int RunTransition(EffectHost& host, int limit) {
  int frames = 0;
  while (frames < limit) {
    ++frames;
    if (host.Step() == 0) break;
  }
  host.StartFinish();
  for (int i = 0; i < 10 && host.Step() != 0; ++i) {
  }
  GdiFlush();
  host.CopyFinalPicture();
  return frames;
}

TEST_F(PluginHostTest, LoadAllListsThePlugInsInTheSystemsOrderWithTheirTags) {
  std::vector<std::string> expected;
  for (const char* extension : {".spi", ".vpx"}) {
    for (const std::string& name : files.FindFiles(Folder(), extension)) {
      if (name != "broken.vpx" && name != "notadll.vpx") expected.push_back(name);
    }
  }
  ASSERT_EQ(expected.size(), 3u);
  ASSERT_EQ(list.LastIndex(), 2);
  for (int i = 0; i <= list.LastIndex(); ++i) {
    EXPECT_EQ(list.Node(i).fileName, expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_NE(list.Node(i).module, nullptr);
  }
  EXPECT_STREQ(list.Node(IndexOf("test_me.vpx")).tag, "00ME");
  EXPECT_STREQ(list.Node(IndexOf("test_mp.vpx")).tag, "00MP");
  EXPECT_STREQ(list.Node(IndexOf("test_mx.vpx")).tag, "00MX");
}

TEST_F(PluginHostTest, FilesThatAreNoPlugInsAreRefusedWithTheirNames) {
  ASSERT_EQ(failures.size(), 2u);
  std::vector<std::string> names;
  for (const TException& failure : failures) {
    EXPECT_EQ(failure.code, ErrBadFormat);
    EXPECT_FALSE(failure.fatal);
    names.emplace_back(failure.info);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"broken.vpx", "notadll.vpx"}));
  EXPECT_EQ(IndexOf("broken.vpx"), -1);
  EXPECT_EQ(IndexOf("notadll.vpx"), -1);
  // The module without GetPluginInfo was loaded, then let go again.
  EXPECT_EQ(GetModuleHandleA(PathOf("broken.vpx").c_str()), nullptr);
}

TEST_F(PluginHostTest, FreeAllReleasesEveryModule) {
  for (const char* name : {"test_me.vpx", "test_mp.vpx", "test_mx.vpx"}) {
    EXPECT_NE(GetModuleHandleA(PathOf(name).c_str()), nullptr) << name;
  }
  list.FreeAll();
  EXPECT_EQ(list.LastIndex(), -1);
  for (const char* name : {"test_me.vpx", "test_mp.vpx", "test_mx.vpx"}) {
    EXPECT_EQ(GetModuleHandleA(PathOf(name).c_str()), nullptr) << name;
  }
}

TEST_F(PluginHostTest, LoadingAgainReplacesTheList) {
  failures = list.LoadAll(files, Folder());
  EXPECT_EQ(failures.size(), 2u);
  EXPECT_EQ(list.LastIndex(), 2);
}

TEST_F(PluginHostTest, TransitionsAreFoundByNameIgnoringCase) {
  EffectInfo info{};
  info.name = "testwipe";
  VelmoEntryFunction function = list.FindEffect(info, VELMO_TAG_EFFECT, TransitionInfoExport);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(function), ExportOf("test_me.vpx", "TestWipe"));
  EXPECT_STREQ(info.name, "TESTWIPE");
  EXPECT_STREQ(info.functionName, "TestWipe");
  EXPECT_EQ(info.intervalMs, 20);
  EXPECT_EQ(info.params[0], 7);
  EXPECT_EQ(info.params[1], 8);
  EXPECT_EQ(info.params[62], 63);

  EffectInfo second{};
  second.name = "Second";
  ASSERT_NE(list.FindEffect(second, VELMO_TAG_EFFECT, TransitionInfoExport), nullptr);
  EXPECT_EQ(second.intervalMs, 40);
}

TEST_F(PluginHostTest, EffectsAndFiltersHaveLookupsOfTheirOwn) {
  EffectInfo effect{};
  effect.name = "testfx";
  VelmoEntryFunction function = list.FindEffect(effect, VELMO_TAG_EFFECT, EffectInfoExport);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(effect.intervalMs, 50);
  EffectBlock block{};
  EXPECT_EQ(function(&block), 0);

  EffectInfo filter{};
  filter.name = "negate";
  EXPECT_NE(list.FindEffect(filter, VELMO_TAG_EFFECT, FilterInfoExport), nullptr);
  EXPECT_EQ(filter.params[0], 9);

  // Each name is known only to its own lookup.
  EffectInfo wrongKind{};
  wrongKind.name = "negate";
  EXPECT_EQ(list.FindEffect(wrongKind, VELMO_TAG_EFFECT, TransitionInfoExport), nullptr);
  wrongKind.name = "testwipe";
  EXPECT_EQ(list.FindEffect(wrongKind, VELMO_TAG_EFFECT, EffectInfoExport), nullptr);
}

TEST_F(PluginHostTest, AnUnknownNameLeavesTheRecordAsItWas) {
  EffectInfo info{};
  const char* wanted = "NOWHERE";
  info.name = wanted;
  info.intervalMs = 123;
  info.params[0] = 456;
  EXPECT_EQ(list.FindEffect(info, VELMO_TAG_EFFECT, TransitionInfoExport), nullptr);
  EXPECT_EQ(info.name, wanted);
  EXPECT_EQ(info.functionName, nullptr);
  EXPECT_EQ(info.intervalMs, 123);
  EXPECT_EQ(info.params[0], 456);
}

TEST_F(PluginHostTest, AnEntryWhoseFunctionIsNotExportedYieldsNoFunction) {
  EffectInfo info{};
  info.name = "missing";
  EXPECT_EQ(list.FindEffect(info, VELMO_TAG_EFFECT, EffectInfoExport), nullptr);
  EXPECT_STREQ(info.functionName, "NoSuchExport");
}

TEST_F(PluginHostTest, TagsMustMatchExactly) {
  EffectInfo info{};
  info.name = "mxwipe";
  EXPECT_EQ(list.FindEffect(info, "00me", TransitionInfoExport), nullptr);
  EXPECT_EQ(info.functionName, nullptr);
  // The variant-block plug-in is found by the effect lookup, which says so.
  bool variant = false;
  EXPECT_NE(list.FindEffect(info, VELMO_TAG_EFFECT, TransitionInfoExport, &variant), nullptr);
  EXPECT_STREQ(info.functionName, "MxWipe");
  EXPECT_TRUE(variant);
  EffectInfo plain{};
  plain.name = "testwipe";
  EXPECT_NE(list.FindEffect(plain, VELMO_TAG_EFFECT, TransitionInfoExport, &variant), nullptr);
  EXPECT_FALSE(variant);

  // The user procedure lives in the "00MP" plug-in only.
  EffectInfo proc{};
  proc.name = "testproc";
  EXPECT_EQ(list.FindEffect(proc, VELMO_TAG_EFFECT, UserProcInfoExport), nullptr);
  EXPECT_NE(list.FindEffect(proc, VELMO_TAG_USERPROC, UserProcInfoExport), nullptr);
}

TEST_F(PluginHostTest, ATransitionRunsFrameByFrameToTheNewPicture) {
  EffectRecord record;
  record.info.name = "TESTWIPE";
  record.function = list.FindEffect(record.info, VELMO_TAG_EFFECT, TransitionInfoExport);
  ASSERT_NE(record.function, nullptr);
  auto screen = NewSurface(0x20), from = NewSurface(0x20), to = NewSurface(0x00);
  ASSERT_TRUE(screen && from && to);
  for (int y = 0; y < TSurface::Height; ++y) {
    std::memset(to->Bits() + y * TSurface::Stride, 0x40 + y % 128, TSurface::Stride);
  }
  EffectHost host;
  host.Start(record, *screen, *from, *to);
  EXPECT_EQ(host.FrameIntervalMs(), 20u);

  // The second frame has revealed the first 240 rows.
  EXPECT_NE(host.Step(), 0);
  EXPECT_NE(host.Step(), 0);
  GdiFlush();
  EXPECT_EQ(std::memcmp(screen->Bits(), to->Bits(), 240 * TSurface::Stride), 0);
  EXPECT_EQ(screen->Bits()[240 * TSurface::Stride], 0x20);
  EXPECT_EQ(screen->Bits()[TSurface::Size - 1], 0x20);
  auto take = reinterpret_cast<LastParam>(ExportOf("test_me.vpx", "TestLastParam"));
  ASSERT_NE(take, nullptr);
  EXPECT_EQ(take(), 7); // the record's first parameter reached the block

  RunTransition(host, 100);
  EXPECT_EQ(TakeCountersOf("test_me.vpx"), (std::vector<std::int32_t>{0, 1, 2, 3, VELMO_FINAL_FRAME}));
  EXPECT_EQ(std::memcmp(screen->Bits(), to->Bits(), TSurface::Size), 0);
}

TEST_F(PluginHostTest, AVariantTransitionGetsItsCounterAtByte28AndFinishesWithMinusOne) {
  EffectRecord record;
  record.info.name = "MXWIPE";
  record.function = list.FindEffect(record.info, VELMO_TAG_EFFECT_EX, TransitionInfoExport);
  record.variant = true;
  ASSERT_NE(record.function, nullptr);
  auto screen = NewSurface(0x20), from = NewSurface(0x20), to = NewSurface(0x99);
  ASSERT_TRUE(screen && from && to);
  EffectHost host;
  host.Start(record, *screen, *from, *to);
  // It never says it is finished: the player skips after five frames.
  EXPECT_EQ(RunTransition(host, 5), 5);
  EXPECT_EQ(TakeCountersOf("test_mx.vpx"), (std::vector<std::int32_t>{0, 1, 2, 3, 4, VELMO_FINAL_FRAME_EX}));
  EXPECT_EQ(std::memcmp(screen->Bits(), to->Bits(), TSurface::Size), 0);
}

TEST_F(PluginHostTest, AFilterDrawsOnTheSurfaceItIsGiven) {
  EffectInfo info{};
  info.name = "NEGATE";
  VelmoEntryFunction filter = list.FindEffect(info, VELMO_TAG_EFFECT, FilterInfoExport);
  ASSERT_NE(filter, nullptr);
  auto surface = NewSurface(0x0F);
  ASSERT_NE(surface, nullptr);
  surface->Bits()[5] = 0x00;
  EffectBlock block{};
  block.screenDc = surface->Dc();
  block.screenPixels = surface->Bits();
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) block.params[i] = info.params[i];
  filter(&block);
  EXPECT_EQ(surface->Bits()[0], 0xF0);
  EXPECT_EQ(surface->Bits()[5], 0xFF);
  EXPECT_EQ(surface->Bits()[TSurface::Size - 1], 0xF0);
}

TEST_F(PluginHostTest, AUserProcedureAnswersThroughTheVariablesTexts) {
  EffectInfo info{};
  info.name = "TestProc";
  VelmoEntryFunction procedure = list.FindEffect(info, VELMO_TAG_USERPROC, UserProcInfoExport);
  ASSERT_NE(procedure, nullptr);
  char exitText[64] = {};
  char argv[VELMO_PARAM_COUNT][64] = {};
  std::strcpy(argv[0], "hello");
  EffectBlock block{};
  block.frameCounter = reinterpret_cast<intptr_t>(exitText);
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) block.params[i] = reinterpret_cast<intptr_t>(argv[i]);
  procedure(&block);
  EXPECT_STREQ(exitText, "done");
  EXPECT_STREQ(argv[0], "HELLO");
}

TEST_F(PluginHostTest, ConfigurationDlgAnswersWhereThePlugInHasOne) {
  EXPECT_EQ(list.CallConfigurationDlg(IndexOf("test_me.vpx"), nullptr, 1), 10);
  EXPECT_EQ(list.CallConfigurationDlg(IndexOf("test_me.vpx"), nullptr, 4), 40);
  EXPECT_EQ(list.CallConfigurationDlg(IndexOf("test_mp.vpx"), nullptr, 1), 0);
  EXPECT_EQ(list.CallConfigurationDlg(IndexOf("test_mx.vpx"), nullptr, 2), 0);
}

} // namespace
} // namespace velmo
