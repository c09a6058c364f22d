// The three delivered plug-in DLLs as the program loads them: listed by the engine's plug-in list
// with their tags, exports, texts and entries; bandwipe's and basicfx's drawing in pixels equal to
// the same rectangles drawn with BitBlt, frame by frame; weatherfx's bitmap resources and its
// frames equal to those of the code velmo-run has compiled in; basicfx's about box.
#include "engine/platform/surface.h"
#include "engine/platform/win32/win32_platform.h"
#include "engine/plugin/plugin_list.h"
#include "plugins/basicfx/basicfx_exports.h"
#include "plugins/common/classic_random.h"
#include "plugins/native/native_plugins.h"
#include "plugins/weatherfx/sprite_art.h"
#include "plugins/weatherfx/sprite_sheet.h"
#include "tests/plugins/delivered_plugins.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace velmo {
namespace {

// The plug-ins as the build made them (paths on the drive that maps the root folder).
constexpr const char* BuiltPlugins[] = {VELMO_PLUGIN_BANDWIPE, VELMO_PLUGIN_BASICFX, VELMO_PLUGIN_WEATHERFX};

// The names a module exports, from its export directory.
std::set<std::string> ExportNames(void* module) {
  const auto* base = static_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::set<std::string> result;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) result.insert(reinterpret_cast<const char*>(base + names[i]));
  return result;
}

// A game's system folder holding the three DLLs, loaded into a plug-in list with the system's
// loader: each test has fresh loads of them.
class DeliveredPluginsTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* built : BuiltPlugins) {
      const std::string name = std::filesystem::path(built).filename().string();
      ASSERT_TRUE(CopyFileA(built, (folder.path / "system" / name).string().c_str(), FALSE)) << built;
    }
    failures = list.LoadAll(files, (folder.path / "system").string());
    ResetNativePlugins();
  }
  void TearDown() override { ResetNativePlugins(); }

  int IndexOf(const std::string& fileName) const {
    for (int i = 0; i <= list.LastIndex(); ++i) {
      if (list.Node(i).fileName == fileName) return i;
    }
    return -1;
  }
  void* ModuleOf(const std::string& fileName) const {
    const int index = IndexOf(fileName);
    return index < 0 ? nullptr : list.Node(index).module;
  }
  template <typename Function> Function ExportOf(const std::string& fileName, const char* name) {
    void* module = ModuleOf(fileName);
    return module == nullptr ? nullptr : reinterpret_cast<Function>(modules.Export(module, name));
  }

  std::unique_ptr<TSurface> Surface() {
    std::unique_ptr<TSurface> surface = graphics.CreateSurface();
    EXPECT_NE(surface, nullptr);
    return surface;
  }
  void FillRandom(TSurface& surface) {
    for (std::size_t i = 0; i < TSurface::Size; ++i) surface.Bits()[i] = static_cast<std::uint8_t>(random());
  }

  TempFolder folder;
  Win32FileSystem files;
  Win32Modules modules;
  Win32Graphics graphics;
  TListPlugin list{modules};
  std::vector<TException> failures;
  std::mt19937 random{20261209};
};

// A variant block on surfaces.
EffectBlockEx BlockOn(TSurface& screen, TSurface* from, TSurface& to, std::int32_t n,
                      std::initializer_list<std::int32_t> params) {
  EffectBlockEx ex{};
  ex.block.screenDc = screen.Dc();
  ex.block.screenPixels = screen.Bits();
  if (from != nullptr) {
    ex.block.fromDc = from->Dc();
    ex.block.fromPixels = from->Bits();
  }
  ex.block.toDc = to.Dc();
  ex.block.toPixels = to.Bits();
  ex.block.frameCounter = n;
  int i = 0;
  for (std::int32_t p : params) ex.block.params[i++] = p;
  return ex;
}

TEST_F(DeliveredPluginsTest, TheListLoadsAllThreeOnTheVariantTag) {
  EXPECT_TRUE(failures.empty());
  ASSERT_EQ(list.LastIndex(), 2);
  for (const test::DeliveredPlugin& plugin : test::Delivered) {
    const int index = IndexOf(plugin.file);
    ASSERT_GE(index, 0) << plugin.file;
    EXPECT_STREQ(list.Node(index).tag, "00MX") << plugin.file;
  }
}

TEST_F(DeliveredPluginsTest, EachDllExportsItsFunctionsUnderTheirPlainNames) {
  for (const test::DeliveredPlugin& plugin : test::Delivered) {
    std::set<std::string> expected = {"GetPluginInfo"};
    if (plugin.hasAboutBox) expected.insert("ConfigurationDlg");
    for (const std::string& other : plugin.otherExports) expected.insert(other);
    for (const test::InfoTable& table : plugin.tables) {
      for (const test::Entry& entry : table.entries) expected.insert(entry.function);
    }
    void* module = ModuleOf(plugin.file);
    ASSERT_NE(module, nullptr) << plugin.file;
    EXPECT_EQ(ExportNames(module), expected) << plugin.file;
  }
}

TEST_F(DeliveredPluginsTest, TextsAndInfoRecordsAreThoseOfEachEntry) {
  for (const test::DeliveredPlugin& plugin : test::Delivered) {
    auto info = ExportOf<VelmoGetPluginInfo>(plugin.file, "GetPluginInfo");
    ASSERT_NE(info, nullptr);
    char text[256];
    EXPECT_EQ(info(1, text, sizeof text), static_cast<int>(std::strlen(plugin.description)));
    EXPECT_STREQ(text, plugin.description);
    EXPECT_EQ(info(0, text, 3), 2);
    EXPECT_STREQ(text, "00");
    EXPECT_EQ(info(0, text, 0), 0);
    for (const test::InfoTable& table : plugin.tables) {
      auto entries = ExportOf<VelmoGetEntryInfo>(plugin.file, table.exportName);
      ASSERT_NE(entries, nullptr) << plugin.file << " " << table.exportName;
      for (std::size_t i = 0; i < table.entries.size(); ++i) {
        const test::Entry& e = table.entries[i];
        std::uint8_t bytes[264];
        std::memset(bytes, 0xCD, sizeof bytes);
        auto* record = reinterpret_cast<EffectInfo*>(bytes);
        ASSERT_EQ(entries(static_cast<int>(i), record), 1) << e.name;
        EXPECT_STREQ(record->name, e.name);
        EXPECT_STREQ(record->functionName, e.function);
        EXPECT_EQ(record->intervalMs, e.intervalMs) << e.name;
        for (int p = 0; p < VELMO_PARAM_COUNT; ++p) EXPECT_EQ(record->params[p], p < 3 ? e.params[p] : 0) << e.name;
      }
      EffectInfo record{};
      EXPECT_EQ(entries(static_cast<int>(table.entries.size()), &record), 0);
      EXPECT_EQ(entries(-1, &record), 0);
      EXPECT_EQ(entries(0, nullptr), 0);
    }
    // Through the engine's lookup: the variant block and the entry's own function.
    for (const test::InfoTable& table : plugin.tables) {
      for (const test::Entry& e : table.entries) {
        EffectInfo record{};
        record.name = e.name;
        bool variant = false;
        const VelmoEntryFunction function = list.FindEffect(record, VELMO_TAG_EFFECT, table.exportName, &variant);
        EXPECT_EQ(reinterpret_cast<void*>(function), modules.Export(ModuleOf(plugin.file), e.function)) << e.name;
        EXPECT_NE(function, nullptr) << e.name;
        EXPECT_TRUE(variant) << e.name;
      }
    }
  }
}

// The stripe and wipe transitions as rectangles copied with BitBlt, word for word as they are
// defined, in 32-bit arithmetic. `next` is the RANDOM_STRIPE state.
int StripeWithBitBlt(int index, int n, int p1, int p2, HDC screen, HDC to, std::int32_t& next) {
  const auto copy = [&](int x, int y, int w, int h) { BitBlt(screen, x, y, w, h, to, x, y, SRCCOPY); };
  const auto step = [&](std::int32_t m) { return next = next * 19 % m; };
  if (n == 0 || n == -1) return 1;
  switch (index) {
  case 0:
  case 1: {
    const int a = n * p2;
    for (int s = 0; s < (index == 0 ? 480 : 640); s += p1)
      index == 0 ? copy(0, a + s, 640, p2) : copy(a + s, 0, p2, 480);
    return a < p1;
  }
  case 2:
  case 3: {
    const int extent = index == 2 ? 480 : 640;
    int t = (n - 1) * p1, b = extent - t, j = 0;
    const auto line = [&](int at) { index == 2 ? copy(0, at, 640, 1) : copy(at, 0, 1, 480); };
    if (p1 > 0) {
      do {
        line(t);
        ++t, ++j, --b;
        line(b);
        ++t, ++j, --b;
      } while (j < p1);
    }
    return n * p1 < extent;
  }
  case 4:
    for (int i = 0; i < p1; ++i) copy(0, step(479), 640, 1);
    return n * p1 < 480;
  case 5:
    for (int i = 0; i < p1; ++i) copy(step(641), 0, 1, 480);
    return n * p1 < 640;
  case 6:
  case 7: {
    const bool horizontal = index == 6;
    const int steps = horizontal ? p1 : p2;
    for (int r = 0; r < 480 / p2; ++r) {
      for (int c = 0; c < 640 / p1; ++c) {
        const int phase = r + c + (steps < n ? 1 : 0);
        if (phase % 2 != 0) continue;
        const int k = n <= steps ? n - 1 : n - 1 - steps;
        horizontal ? copy(c * p1 + k, r * p2, 1, p2) : copy(c * p1, r * p2 + k, p1, 1);
      }
    }
    return n < 2 * steps;
  }
  case 8:
    for (int i = 0; i < p1; ++i) copy(0, 480 - (p2 - p1) * i - n * p1, 640, -p2);
    return n * p1 < p1 * p1 / p2 + 480;
  case 9:
    for (int i = 0; i < p1; ++i) copy(0, n * p1 + (p2 - p1) * i, 640, p2);
    return n * p1 < p1 * p1 / p2 + 480;
  case 10:
    for (int i = 0; i < p1; ++i) copy(640 - (p2 - p1) * i - n * p1, 0, -p2, 480);
    return n * p1 < p1 * p1 / p2 + 640;
  default:
    for (int i = 0; i < p1; ++i) copy(n * p1 + (p2 - p1) * i, 0, p2, 480);
    return n * p1 < p1 * p1 / p2 + 640;
  }
}

TEST_F(DeliveredPluginsTest, BandwipeDrawsEachFrameAsBitBltWould) {
  const struct {
    int index;
    std::int32_t p1, p2;
  } runs[] = {
      {0, 20, 1},  {0, 13, 3}, {1, 20, 1},  {1, 7, 5},   {2, 12, 0},  {2, 5, 0},   {3, 16, 0},   {3, 9, 0},  {4, 20, 0},
      {5, 20, 0},  {4, 7, 0},  {5, 33, 0},  {6, 20, 20}, {6, 30, 40}, {7, 20, 20}, {7, 24, 16},  {8, 20, 1}, {8, 20, 5},
      {8, 15, -4}, {9, 20, 1}, {9, 20, -6}, {10, 20, 1}, {10, 16, 7}, {11, 20, 1}, {11, 12, -3},
  };
  const char* const functions[] = {"funcBlindH",      "funcBlindV",       "funcInterlaceH",   "funcInterlaceV",
                                   "funcRandStripeH", "funcRandStripeV",  "funcCheckerWipeH", "funcCheckerWipeV",
                                   "funcGradWipeUp",  "funcGradWipeDown", "funcGradWipeLeft", "funcGradWipeRight"};
  std::unique_ptr<TSurface> to = Surface(), pixels = Surface(), drawn = Surface();
  std::int32_t next = 759375;
  for (const auto& run : runs) {
    auto function = ExportOf<VelmoEntryFunction>("bandwipe.vpx", functions[run.index]);
    ASSERT_NE(function, nullptr) << functions[run.index];
    FillRandom(*to);
    FillRandom(*pixels);
    std::memcpy(drawn->Bits(), pixels->Bits(), TSurface::Size);
    int frames = 0;
    for (std::int32_t n = 0; n < 200; ++n) {
      EffectBlockEx block = BlockOn(*pixels, nullptr, *to, n, {run.p1, run.p2});
      const int result = function(&block);
      const int expected = StripeWithBitBlt(run.index, n, run.p1, run.p2, static_cast<HDC>(drawn->Dc()),
                                            static_cast<HDC>(to->Dc()), next);
      GdiFlush();
      ASSERT_EQ(result, expected) << functions[run.index] << " " << run.p1 << "," << run.p2 << " frame " << n;
      ASSERT_EQ(std::memcmp(pixels->Bits(), drawn->Bits(), TSurface::Size), 0)
          << functions[run.index] << " " << run.p1 << "," << run.p2 << " frame " << n;
      ++frames;
      if (result == 0) break;
    }
    EXPECT_LT(frames, 200) << functions[run.index];
    EffectBlockEx finish = BlockOn(*pixels, nullptr, *to, -1, {run.p1, run.p2});
    EXPECT_EQ(function(&finish), 1);
    EXPECT_EQ(std::memcmp(pixels->Bits(), drawn->Bits(), TSurface::Size), 0) << functions[run.index];
  }
}

TEST_F(DeliveredPluginsTest, KickAndFlashDrawAsBlacknessCopiesAndInversionsWould) {
  auto kick = ExportOf<VelmoEntryFunction>("basicfx.vpx", "funcTransition_Kick");
  auto flash = ExportOf<VelmoEntryFunction>("basicfx.vpx", "funcTransition_Flash");
  ASSERT_NE(kick, nullptr);
  ASSERT_NE(flash, nullptr);
  std::unique_ptr<TSurface> to = Surface(), pixels = Surface(), drawn = Surface();
  FillRandom(*to);
  FillRandom(*pixels);
  std::memcpy(drawn->Bits(), pixels->Bits(), TSurface::Size);
  const auto screen = static_cast<HDC>(drawn->Dc());
  plugin::ClassicRandom numbers; // as freshly loaded as the DLL's
  for (std::int32_t n = 0; n <= 5; ++n) {
    EffectBlockEx block = BlockOn(*pixels, nullptr, *to, n, {5, 0});
    EXPECT_EQ(kick(&block), n < 5 ? 1 : 0) << n;
    if (n > 0) {
      BitBlt(screen, 0, 0, 640, 480, nullptr, 0, 0, BLACKNESS);
      const int y = numbers.Below(40) - 20, x = numbers.Below(40) - 20;
      BitBlt(screen, x, y, 640, 480, static_cast<HDC>(to->Dc()), 0, 0, SRCCOPY);
    }
    GdiFlush();
    ASSERT_EQ(std::memcmp(pixels->Bits(), drawn->Bits(), TSurface::Size), 0) << "KICK frame " << n;
  }
  for (std::int32_t n = 0; n <= 5; ++n) {
    EffectBlockEx block = BlockOn(*pixels, nullptr, *to, n, {5, 0});
    EXPECT_EQ(flash(&block), n < 5 ? 1 : 0) << n;
    if (n > 0) BitBlt(screen, 0, 0, 640, 480, nullptr, 0, 0, DSTINVERT);
    GdiFlush();
    ASSERT_EQ(std::memcmp(pixels->Bits(), drawn->Bits(), TSurface::Size), 0) << "FLASH frame " << n;
  }
}

TEST_F(DeliveredPluginsTest, WeatherfxHoldsItsFiveSheetsAsTheGeneratorDrewThem) {
  const struct {
    int id, width, height, bits;
  } sheets[] = {{1001, 48, 128, 8}, {1002, 48, 128, 8}, {107, 64, 16, 8}, {1000, 8, 8, 4}, {108, 2, 100, 8}};
  const auto module = static_cast<HMODULE>(ModuleOf("weatherfx.vpx"));
  ASSERT_NE(module, nullptr);
  std::unique_ptr<TSurface> screen = Surface();
  HDC sheetDc = CreateCompatibleDC(static_cast<HDC>(screen->Dc()));
  for (const auto& s : sheets) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(s.id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_NE(found, nullptr) << s.id;
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    const std::vector<std::uint8_t> resource(bytes, bytes + SizeofResource(module, found));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(resource.data());
    EXPECT_EQ(header->biWidth, s.width) << s.id;
    EXPECT_EQ(header->biHeight, s.height) << s.id;
    EXPECT_EQ(header->biBitCount, s.bits) << s.id;
    EXPECT_EQ(resource, weatherfx::DrawSpriteSheet(s.id)) << s.id;

    // The system's own reading of the bitmap, copied onto a 24-bit surface, has the colours of
    // the plug-in's decoding.
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(s.id));
    ASSERT_NE(bitmap, nullptr) << s.id;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, s.width);
    EXPECT_EQ(info.bmHeight, s.height);
    HGDIOBJ old = SelectObject(sheetDc, bitmap);
    std::memset(screen->Bits(), 0x77, TSurface::Size);
    BitBlt(static_cast<HDC>(screen->Dc()), 0, 0, s.width, s.height, sheetDc, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(sheetDc, old);
    DeleteObject(bitmap);
    const weatherfx::SpriteSheet decoded = weatherfx::DecodePackedDib(resource);
    int wrong = 0;
    for (int y = 0; y < s.height; ++y) {
      wrong += std::memcmp(screen->Bits() + y * TSurface::Stride, decoded.pixels.data() + y * s.width * 3,
                           static_cast<std::size_t>(s.width) * 3) != 0;
    }
    EXPECT_EQ(wrong, 0) << s.id;
  }
  DeleteDC(sheetDc);
}

// velmo-run has weatherfx's code compiled in and draws its sheets in memory: the same frames as
// the DLL's from a fresh load, for every transition one after the other.
TEST_F(DeliveredPluginsTest, WeatherfxFramesEqualTheCompiledInOnes) {
  const char* const functions[] = {"funcTransition_Sakura", "funcTransition_Kareha", "funcTransition_Hotaru",
                                   "funcTransition_Snow", "funcTransition_Rain"};
  std::unique_ptr<TSurface> dllScreen = Surface(), dllTo = Surface(), nativeScreen = Surface(), nativeTo = Surface();
  const std::span<const NativePluginExport> native = FindNativePlugin("weatherfx.vpx");
  for (const char* name : functions) {
    auto dll = ExportOf<VelmoEntryFunction>("weatherfx.vpx", name);
    VelmoEntryFunction compiledIn = nullptr;
    for (const NativePluginExport& e : native) {
      if (std::strcmp(e.name, name) == 0) compiledIn = reinterpret_cast<VelmoEntryFunction>(e.address);
    }
    ASSERT_NE(dll, nullptr) << name;
    ASSERT_NE(compiledIn, nullptr) << name;
    FillRandom(*dllTo);
    FillRandom(*dllScreen);
    std::memcpy(nativeTo->Bits(), dllTo->Bits(), TSurface::Size);
    std::memcpy(nativeScreen->Bits(), dllScreen->Bits(), TSurface::Size);
    for (std::int32_t n : {0, 1, 2, 3, 4, 5, 6, -1}) {
      EffectBlockEx a = BlockOn(*dllScreen, nullptr, *dllTo, n, {300, 12});
      EffectBlockEx b = BlockOn(*nativeScreen, nullptr, *nativeTo, n, {300, 12});
      EXPECT_EQ(dll(&a), 1);
      EXPECT_EQ(compiledIn(&b), 1);
      ASSERT_EQ(std::memcmp(dllScreen->Bits(), nativeScreen->Bits(), TSurface::Size), 0) << name << " frame " << n;
    }
    EXPECT_EQ(std::memcmp(dllTo->Bits(), nativeTo->Bits(), TSurface::Size), 0) << name;
    EXPECT_EQ(std::memcmp(dllTo->Bits(), dllScreen->Bits(), TSurface::Size), 0) << name << ": the last frame is kept";
  }
}

// The texts of a message box's controls, and how many buttons it has.
struct BoxContent {
  std::vector<std::string> texts;
  int buttons = 0;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* content = reinterpret_cast<BoxContent*>(param);
  char className[64] = {}, text[512] = {};
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpiA(className, "Button") == 0) ++content->buttons;
  content->texts.emplace_back(text);
  return TRUE;
}

TEST_F(DeliveredPluginsTest, ConfigurationDlgShowsTheAboutBoxOverItsParent) {
  const int basicfx = IndexOf("basicfx.vpx");
  ASSERT_GE(basicfx, 0);
  HWND parent = CreateWindowExA(0, "STATIC", "plug-in dialog", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  for (int function : {0, 1}) {
    // The box is modal: a watcher reads it and presses OK.
    std::atomic<bool> seen{false};
    HWND owner = nullptr;
    BoxContent content;
    std::thread watcher([&] {
      for (int i = 0; i < 400; ++i) {
        HWND box = FindWindowA(nullptr, basicfx::AboutCaption);
        if (box != nullptr && IsWindowVisible(box)) {
          owner = GetWindow(box, GW_OWNER);
          EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&content));
          seen = true;
          PostMessageA(box, WM_COMMAND, IDOK, 0);
          return;
        }
        Sleep(25);
      }
    });
    EXPECT_EQ(list.CallConfigurationDlg(basicfx, parent, function), 0) << function;
    watcher.join();
    ASSERT_TRUE(seen) << function;
    EXPECT_EQ(owner, parent);
    EXPECT_EQ(content.buttons, 1);
    bool textFound = false;
    for (const std::string& text : content.texts) textFound |= text == basicfx::AboutText;
    EXPECT_TRUE(textFound) << function;
  }
  // Other functions show nothing; the other plug-ins have no box.
  EXPECT_EQ(list.CallConfigurationDlg(basicfx, parent, 2), -1);
  EXPECT_EQ(list.CallConfigurationDlg(basicfx, parent, -1), -1);
  EXPECT_EQ(FindWindowA(nullptr, basicfx::AboutCaption), nullptr);
  EXPECT_EQ(list.CallConfigurationDlg(IndexOf("bandwipe.vpx"), parent, 0), 0);
  DestroyWindow(parent);
}

} // namespace
} // namespace velmo
