// The three plug-ins as the headless player loads them: found by file name, with every export,
// info text and entry of their tables; loaded through the engine's plug-in list and run by its
// effect host to the end, as velmo32.exe runs their DLLs.
#include "plugins/native/native_plugins.h"

#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/headless/memory_surface.h"
#include "engine/plugin/effect_host.h"
#include "engine/plugin/plugin_list.h"
#include "tests/plugins/delivered_plugins.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace velmo {
namespace {

using test::Delivered;
using test::DeliveredPlugin;
using test::Entry;
using test::InfoTable;

void* ExportOf(std::span<const NativePluginExport> exports, const std::string& name) {
  for (const NativePluginExport& e : exports) {
    if (name == e.name) return e.address;
  }
  return nullptr;
}

TEST(NativePluginsTest, PlugInsAreFoundByTheirFileNamesIgnoringCase) {
  EXPECT_EQ(FindNativePlugin("BandWipe.VPX").data(), FindNativePlugin("bandwipe.vpx").data());
  EXPECT_FALSE(FindNativePlugin("WEATHERFX.vpx").empty());
  for (const char* name : {"bandwipe.dll", "bandwipe", "other.vpx", "", "xbandwipe.vpx"})
    EXPECT_TRUE(FindNativePlugin(name).empty()) << name;
}

TEST(NativePluginsTest, EachPlugInExportsItsFunctionsAndNothingElse) {
  for (const DeliveredPlugin& plugin : Delivered) {
    std::set<std::string> expected = {"GetPluginInfo"};
    for (const std::string& other : plugin.otherExports) expected.insert(other);
    for (const InfoTable& table : plugin.tables) {
      for (const Entry& entry : table.entries) expected.insert(entry.function);
    }
    std::set<std::string> exported;
    for (const NativePluginExport& e : FindNativePlugin(plugin.file)) {
      EXPECT_NE(e.address, nullptr) << e.name;
      exported.insert(e.name);
    }
    EXPECT_EQ(exported, expected) << plugin.file;
  }
}

TEST(NativePluginsTest, PluginInfoGivesTheTagAndTheDescriptionCutToTheBuffer) {
  for (const DeliveredPlugin& plugin : Delivered) {
    auto info = reinterpret_cast<VelmoGetPluginInfo>(ExportOf(FindNativePlugin(plugin.file), "GetPluginInfo"));
    ASSERT_NE(info, nullptr);
    const struct {
      int number, length;
      int result;
      std::string text;
    } cases[] = {
        {0, 5, 4, "00MX"},
        {1, 256, static_cast<int>(std::strlen(plugin.description)), plugin.description},
        {1, 8, 7, std::string(plugin.description, 7)},
        {0, 3, 2, "00"},
        {0, 1, 0, ""},
        {0, 0, 0, "untouched"},
        {0, -1, 0, "untouched"},
        {2, 256, 0, "untouched"},
        {-1, 256, 0, "untouched"},
    };
    for (const auto& c : cases) {
      char buffer[300];
      std::strcpy(buffer, "untouched");
      EXPECT_EQ(info(c.number, buffer, c.length), c.result) << plugin.file << " " << c.number << "/" << c.length;
      EXPECT_EQ(std::string(buffer), c.text) << plugin.file << " " << c.number << "/" << c.length;
    }
    EXPECT_EQ(info(0, nullptr, 5), 0);
  }
}

TEST(NativePluginsTest, InfoExportsFillWholeRecordsAndRefuseOtherIndexes) {
  for (const DeliveredPlugin& plugin : Delivered) {
    const auto exports = FindNativePlugin(plugin.file);
    for (const InfoTable& table : plugin.tables) {
      auto info = reinterpret_cast<VelmoGetEntryInfo>(ExportOf(exports, table.exportName));
      ASSERT_NE(info, nullptr) << plugin.file << " " << table.exportName;
      for (std::size_t i = 0; i < table.entries.size(); ++i) {
        const Entry& e = table.entries[i];
        EffectInfo record;
        std::memset(&record, 0xCD, sizeof record);
        ASSERT_EQ(info(static_cast<int>(i), &record), 1) << e.name;
        EXPECT_STREQ(record.name, e.name);
        EXPECT_STREQ(record.functionName, e.function);
        EXPECT_EQ(record.intervalMs, e.intervalMs) << e.name;
        for (int p = 0; p < VELMO_PARAM_COUNT; ++p) EXPECT_EQ(record.params[p], p < 3 ? e.params[p] : 0) << e.name << p;
        EXPECT_NE(ExportOf(exports, e.function), nullptr) << e.function;
      }
      EffectInfo record{};
      for (int index : {static_cast<int>(table.entries.size()), -1, INT_MIN, INT_MAX})
        EXPECT_EQ(info(index, &record), 0) << plugin.file << " " << index;
      EXPECT_EQ(info(0, nullptr), 0) << plugin.file;
    }
  }
}

// The engine's own plug-in list and effect host with the plug-ins compiled in, as velmo-run has
// them.
class NativePluginHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetNativePlugins();
    for (const DeliveredPlugin& plugin : Delivered) {
      files.files[std::string("system\\") + plugin.file] = "";
      for (const NativePluginExport& e : FindNativePlugin(plugin.file))
        modules.modules[plugin.file].exports[e.name] = e.address;
    }
    failures = list.LoadAll(files, "system");
  }
  void TearDown() override { ResetNativePlugins(); }

  MemoryFileSystem files;
  HeadlessModules modules;
  TListPlugin list{modules};
  std::vector<TException> failures;
};

TEST_F(NativePluginHostTest, TheListLoadsThemOnTheVariantTagAndFindsTheirEntries) {
  EXPECT_TRUE(failures.empty());
  ASSERT_EQ(list.LastIndex(), 2);
  for (int i = 0; i <= list.LastIndex(); ++i) EXPECT_STREQ(list.Node(i).tag, "00MX");
  const struct {
    const char* name;
    const char* infoExport;
    bool found;
    std::int32_t intervalMs;
  } lookups[] = {{"blind_h", TransitionInfoExport, true, 50},   {"Grad_Wipe_Right", TransitionInfoExport, true, 50},
                 {"KICK", TransitionInfoExport, true, 50},      {"monotone", FilterInfoExport, true, 0},
                 {"SHADOW", FilterInfoExport, true, 0},         {"season_hotaru", TransitionInfoExport, true, 150},
                 {"MONOTONE", TransitionInfoExport, false, 0},  {"BLIND_H", EffectInfoExport, false, 0},
                 {"SEASON_FOG", TransitionInfoExport, false, 0}};
  for (const auto& l : lookups) {
    EffectInfo info{};
    info.name = l.name;
    bool variant = false;
    const VelmoEntryFunction function = list.FindEffect(info, VELMO_TAG_EFFECT, l.infoExport, &variant);
    EXPECT_EQ(function != nullptr, l.found) << l.name;
    if (!l.found) continue;
    EXPECT_TRUE(variant) << l.name;
    EXPECT_EQ(info.intervalMs, l.intervalMs) << l.name;
  }
}

TEST_F(NativePluginHostTest, TheEffectHostRunsATransitionToItsLastFrameAndFinishes) {
  const struct {
    const char* name;
    int frames; // calls before the finishing one
  } cases[] = {{"BLIND_H", 21}, {"GRAD_WIPE_UP", 45},   {"OVERLAP", 9},     {"KICK", 6},
               {"FLASH", 6},    {"CHECKER_WIPE_V", 41}, {"INTERLACE_V", 41}};
  for (const auto& c : cases) {
    EffectRecord record;
    record.info.name = c.name;
    record.function = list.FindEffect(record.info, VELMO_TAG_EFFECT, TransitionInfoExport, &record.variant);
    ASSERT_NE(record.function, nullptr) << c.name;
    MemorySurface screen, from, to;
    std::memset(from.Bits(), 0x20, TSurface::Size);
    std::memset(screen.Bits(), 0x20, TSurface::Size);
    std::memset(to.Bits(), 0xC0, TSurface::Size);
    EffectHost host;
    host.Start(record, screen, from, to);
    int frames = 0;
    while (frames < 1000) {
      ++frames;
      if (host.Step() == 0) break;
    }
    EXPECT_EQ(frames, c.frames) << c.name;
    host.StartFinish();
    EXPECT_EQ(host.Step(), 0) << c.name;
    host.CopyFinalPicture();
    EXPECT_EQ(std::memcmp(screen.Bits(), to.Bits(), TSurface::Size), 0) << c.name;
  }
}

} // namespace
} // namespace velmo
