// The plug-in list: loading a folder's plug-ins, adding one, the 64-plug-in limit, freeing,
// looking an entry up by name and calling a plug-in's configuration dialog. The plug-ins are
// modules made of the functions below.
#include "engine/plugin/plugin_list.h"

#include "engine/platform/headless/headless_platform.h"
#include "plugins/include/velmo_plugin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace velmo {
namespace {

// --- Fake plug-in exports ----------------------------------------------------------------------

// What the exports were called with; reset by the fixture before each test.
struct FakeCalls {
  int tagInfoNumber = -1;
  int tagBufferLength = -1;
  int dialogs = 0;
  void* dialogParent = nullptr;
  int dialogFunction = -1;
};
FakeCalls calls;

// Copies `text` as GetPluginInfo does: cut to the buffer, NUL-terminated.
int CopyTag(const char* text, int number, char* buffer, int length) {
  calls.tagInfoNumber = number;
  calls.tagBufferLength = length;
  if (number != 0) return 0;
  int n = 0;
  for (; text[n] != '\0' && n < length - 1; ++n) buffer[n] = text[n];
  buffer[n] = '\0';
  return n;
}

int VELMO_STDCALL TagEffect(int number, char* buffer, int length) { return CopyTag("00ME", number, buffer, length); }
int VELMO_STDCALL TagUserProc(int number, char* buffer, int length) { return CopyTag("00MP", number, buffer, length); }
int VELMO_STDCALL TagVariant(int number, char* buffer, int length) { return CopyTag("00MX", number, buffer, length); }
int VELMO_STDCALL TagPicture(int number, char* buffer, int length) { return CopyTag("00IN", number, buffer, length); }
int VELMO_STDCALL TagLowerCase(int number, char* buffer, int length) { return CopyTag("00me", number, buffer, length); }
int VELMO_STDCALL TagNone(int number, char* buffer, int length) { return CopyTag("", number, buffer, length); }
// Ignores the buffer's length and writes 20 bytes.
int VELMO_STDCALL TagOverlong(int number, char* buffer, int length) {
  CopyTag("", number, buffer, length);
  std::memcpy(buffer, "00MEfifteen-more-ch", 20);
  return 19;
}

// Entry functions, told apart by their results.
int VELMO_STDCALL WipeFirst(void*) { return 11; }
int VELMO_STDCALL BlindH(void*) { return 12; }
int VELMO_STDCALL Slide(void*) { return 13; }
int VELMO_STDCALL WipeSecond(void*) { return 21; }
int VELMO_STDCALL Ripple(void*) { return 22; }
int VELMO_STDCALL Ghost(void*) { return 23; }
int VELMO_STDCALL WipeOther(void*) { return 31; }
int VELMO_STDCALL Wave(void*) { return 32; }
int VELMO_STDCALL SetName(void*) { return 41; }
int VELMO_STDCALL Katakana(void*) { return 51; }

int Fill(EffectInfo* out, const char* name, const char* functionName, int intervalMs, int firstParam) {
  out->name = name;
  out->functionName = functionName;
  out->intervalMs = intervalMs;
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) out->params[i] = firstParam + i;
  return 1;
}

// "first": WIPE and BLIND_H effects, a SLIDE transition.
int VELMO_STDCALL FirstEffects(int index, EffectInfo* out) {
  if (index == 0) return Fill(out, "WIPE", "WipeFirst", 30, 100);
  if (index == 1) return Fill(out, "BLIND_H", "BlindH", 40, 200);
  return 0;
}
int VELMO_STDCALL FirstTransitions(int index, EffectInfo* out) {
  return index == 0 ? Fill(out, "SLIDE", "Slide", 50, 300) : 0;
}
// "second": three effects; GHOST names a function the module does not export.
int VELMO_STDCALL SecondEffects(int index, EffectInfo* out) {
  if (index == 0) return Fill(out, "GHOST", "GhostFx", 60, 400);
  if (index == 1) return Fill(out, "wipe", "WipeSecond", 70, 500);
  if (index == 2) return Fill(out, "RIPPLE", "Ripple", 80, 600);
  return 0;
}
// "other": WIPE again, GHOST with a function that exists, and WAVE.
int VELMO_STDCALL OtherEffects(int index, EffectInfo* out) {
  if (index == 0) return Fill(out, "WIPE", "WipeOther", 90, 700);
  if (index == 1) return Fill(out, "GHOST", "Ghost", 90, 800);
  if (index == 2) return Fill(out, "WAVE", "Wave", 90, 900);
  return 0;
}
int VELMO_STDCALL UserProcs(int index, EffectInfo* out) {
  return index == 0 ? Fill(out, "SetName", "SetName", 0, 0) : 0;
}
// "ア" is 0x83 0x41: its trail byte is an ASCII capital letter.
int VELMO_STDCALL KatakanaEffects(int index, EffectInfo* out) {
  return index == 0 ? Fill(out, "ア", "Katakana", 10, 0) : 0;
}

int VELMO_STDCALL FirstDialog(void* parent, int function) {
  ++calls.dialogs;
  calls.dialogParent = parent;
  calls.dialogFunction = function;
  return 1000 + function;
}
int VELMO_STDCALL OtherDialog(void*, int function) { return 2000 + function; }

// --- Fixture -----------------------------------------------------------------------------------

// Fake modules that also record which paths were loaded and in which order modules were freed.
class RecordingModules : public HeadlessModules {
public:
  void* Load(std::string_view path) override {
    paths.emplace_back(path);
    return HeadlessModules::Load(path);
  }
  void Free(void* module) override {
    freed.push_back(module);
    HeadlessModules::Free(module);
  }
  std::vector<std::string> paths;
  std::vector<void*> freed;
};

class PluginListTest : public ::testing::Test {
protected:
  void SetUp() override { calls = FakeCalls{}; }

  HeadlessModules::Module& Register(const std::string& fileName, VelmoGetPluginInfo getPluginInfo) {
    HeadlessModules::Module& module = modules.modules[fileName];
    module.exports["GetPluginInfo"] = reinterpret_cast<void*>(getPluginInfo);
    return module;
  }
  template <typename Function> static void Export(HeadlessModules::Module& module, const char* name, Function* f) {
    module.exports[name] = reinterpret_cast<void*>(f);
  }
  // The modules of the entries above.
  void RegisterFirst() {
    auto& m = Register("first.vpx", &TagEffect);
    Export(m, "GetEffectInfo", &FirstEffects);
    Export(m, "GetTransitionInfo", &FirstTransitions);
    Export(m, "WipeFirst", &WipeFirst);
    Export(m, "BlindH", &BlindH);
    Export(m, "Slide", &Slide);
    Export(m, "ConfigurationDlg", &FirstDialog);
  }
  void RegisterSecond() {
    auto& m = Register("second.vpx", &TagEffect);
    Export(m, "GetEffectInfo", &SecondEffects);
    Export(m, "WipeSecond", &WipeSecond);
    Export(m, "Ripple", &Ripple);
  }
  void RegisterOther(const std::string& fileName, VelmoGetPluginInfo tag) {
    auto& m = Register(fileName, tag);
    Export(m, "GetEffectInfo", &OtherEffects);
    Export(m, "WipeOther", &WipeOther);
    Export(m, "Ghost", &Ghost);
    Export(m, "Wave", &Wave);
    Export(m, "ConfigurationDlg", &OtherDialog);
  }

  int Add(const char* fileName) { return list.Add("sys", fileName); }
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (int i = 0; i <= list.LastIndex(); ++i) names.push_back(list.Node(i).fileName);
    return names;
  }
  template <typename Action> static std::optional<TException> ErrorOf(Action action) {
    try {
      action();
    } catch (const TException& e) {
      return e;
    }
    return std::nullopt;
  }
  // Looks `name` up and returns the result of calling the function found, or 0 for none.
  int RunFound(const char* name, const char* tag, const char* infoExport) {
    record.name = name;
    VelmoEntryFunction function = list.FindEffect(record, tag, infoExport);
    return function != nullptr ? function(nullptr) : 0;
  }

  MemoryFileSystem files;
  RecordingModules modules; // outlives the list, which frees its modules when destroyed
  TListPlugin list{modules};
  EffectInfo record{};
};

class PluginListLoadTest : public PluginListTest {};
class PluginListFreeTest : public PluginListTest {};
class PluginListFindTest : public PluginListTest {};
class PluginListConfigurationTest : public PluginListTest {};

// --- Loading -----------------------------------------------------------------------------------

TEST_F(PluginListLoadTest, PicturePluginsComeBeforeEffectPluginsEachInTheFileSystemsOrder) {
  for (const char* name : {"a.vpx", "b.spi", "c.vpx", "d.spi"}) {
    Register(name, std::strstr(name, ".spi") != nullptr ? &TagPicture : &TagEffect);
    files.files[std::string("C:\\game\\system\\") + name] = "";
  }
  Register("e.vpx", &TagEffect);
  files.files["C:\\game\\e.vpx"] = "";
  files.files["C:\\game\\system\\readme.txt"] = "";

  EXPECT_TRUE(list.LoadAll(files, "C:\\game\\system").empty());

  ASSERT_EQ(FileNames(), (std::vector<std::string>{"b.spi", "d.spi", "a.vpx", "c.vpx"}));
  EXPECT_EQ(modules.paths, (std::vector<std::string>{"C:\\game\\system\\b.spi", "C:\\game\\system\\d.spi",
                                                     "C:\\game\\system\\a.vpx", "C:\\game\\system\\c.vpx"}));
  EXPECT_STREQ(list.Node(0).tag, "00IN");
  EXPECT_STREQ(list.Node(2).tag, "00ME");
  EXPECT_EQ(list.Node(2).module, &modules.modules["a.vpx"]);
  EXPECT_EQ(modules.loaded, 4);
}

TEST_F(PluginListLoadTest, BrokenFilesAreLeftOutAndTheirErrorsReturnedInOrder) {
  Register("a.vpx", &TagEffect);
  modules.modules["c.vpx"].exports["GetEffectInfo"] = reinterpret_cast<void*>(&FirstEffects); // no GetPluginInfo
  Register("d.vpx", &TagNone);
  Register("e.vpx", &TagVariant);
  for (const char* name : {"a.vpx", "b.vpx", "c.vpx", "d.vpx", "e.vpx"}) files.files[std::string("sys\\") + name] = "";

  const std::vector<TException> failures = list.LoadAll(files, "sys");

  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.vpx", "e.vpx"})); // b.vpx is not a module
  ASSERT_EQ(failures.size(), 3u);
  const char* expected[] = {"b.vpx", "c.vpx", "d.vpx"};
  for (std::size_t i = 0; i < failures.size(); ++i) {
    EXPECT_EQ(failures[i].code, ErrBadFormat);
    EXPECT_FALSE(failures[i].fatal);
    EXPECT_STREQ(failures[i].info, expected[i]);
  }
  // The modules that loaded but were no plug-ins are freed again.
  EXPECT_EQ(modules.modules["c.vpx"].loads, 1);
  EXPECT_EQ(modules.modules["d.vpx"].loads, 1);
  EXPECT_EQ(modules.freed, (std::vector<void*>{&modules.modules["c.vpx"], &modules.modules["d.vpx"]}));
  EXPECT_EQ(modules.loaded, 2);
}

TEST_F(PluginListLoadTest, AFailedAddLeavesTheListAsItWas) {
  Register("a.vpx", &TagEffect);
  Register("none.vpx", &TagNone);
  Add("a.vpx");

  const auto error = ErrorOf([&] { Add("none.vpx"); });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->code, ErrBadFormat);
  EXPECT_STREQ(error->info, "none.vpx");
  EXPECT_EQ(list.LastIndex(), 0);
  EXPECT_EQ(modules.loaded, 1);
  // Adding it again tries again: no trace of it was kept.
  EXPECT_TRUE(ErrorOf([&] { Add("none.vpx"); }).has_value());
  EXPECT_EQ(modules.modules["none.vpx"].loads, 2);
}

TEST_F(PluginListLoadTest, The65thPluginIsRefusedAndTheListKeeps64) {
  char name[16];
  for (int i = 0; i <= TListPlugin::Capacity; ++i) {
    std::snprintf(name, sizeof name, "p%02d.vpx", i);
    Register(name, &TagEffect);
    files.files[std::string("sys\\") + name] = "";
  }

  const std::vector<TException> failures = list.LoadAll(files, "sys");

  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].code, ErrUnsupported);
  EXPECT_STREQ(failures[0].info, "TListPlugin::CreateNewNode");
  ASSERT_EQ(list.LastIndex(), 63);
  EXPECT_EQ(list.Node(63).fileName, "p63.vpx");
  EXPECT_EQ(modules.modules["p64.vpx"].loads, 0);
  EXPECT_EQ(modules.loaded, 64);

  // A full list still finds the plug-ins it has, and refuses a direct load too.
  EXPECT_EQ(Add("p10.vpx"), 10);
  const auto error = ErrorOf([&] { list.CreateNewNode("sys", "p64.vpx"); });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->code, ErrUnsupported);
  EXPECT_EQ(list.LastIndex(), 63);
}

TEST_F(PluginListLoadTest, AddingAKnownFileNameReturnsItsIndexWithoutLoadingAgain) {
  Register("a.vpx", &TagEffect);
  Register("b.vpx", &TagEffect);
  EXPECT_EQ(Add("a.vpx"), 0);
  EXPECT_EQ(Add("b.vpx"), 1);

  EXPECT_EQ(Add("a.vpx"), 0);
  EXPECT_EQ(list.LastIndex(), 1);
  EXPECT_EQ(modules.modules["a.vpx"].loads, 1);
  EXPECT_EQ(modules.loaded, 2);
}

TEST_F(PluginListLoadTest, ADifferentlyCasedFileNameIsAnotherNodeOnTheSameModule) {
  RegisterFirst();
  EXPECT_EQ(Add("first.vpx"), 0);

  // File names are compared exactly, while the module loader ignores case.
  ASSERT_EQ(Add("FIRST.VPX"), 1);
  EXPECT_EQ(list.Node(1).fileName, "FIRST.VPX");
  EXPECT_EQ(list.Node(1).module, list.Node(0).module);
  EXPECT_EQ(modules.modules["first.vpx"].loads, 2);
  EXPECT_EQ(modules.loaded, 2);
  EXPECT_EQ(Add("FIRST.VPX"), 1);

  // Each node holds its own load, so both are released.
  list.FreeAll();
  EXPECT_EQ(modules.loaded, 0);
}

TEST_F(PluginListLoadTest, TheTagIsAskedForWithAFiveByteBuffer) {
  Register("a.vpx", &TagUserProc);
  Add("a.vpx");
  EXPECT_EQ(calls.tagInfoNumber, 0);
  EXPECT_EQ(calls.tagBufferLength, 5);
  EXPECT_STREQ(list.Node(0).tag, "00MP");
}

TEST_F(PluginListLoadTest, ATagWrittenPastTheBufferKeepsItsFirstFourCharacters) {
  Register("long.vpx", &TagOverlong);
  Add("long.vpx");
  EXPECT_STREQ(list.Node(0).tag, "00ME");
}

// --- Freeing -----------------------------------------------------------------------------------

TEST_F(PluginListFreeTest, FreeAllReleasesEveryModuleFromLastToFirst) {
  for (const char* name : {"a.vpx", "b.vpx", "c.vpx"}) Register(name, &TagEffect);
  for (const char* name : {"b.vpx", "c.vpx", "a.vpx"}) Add(name);

  list.FreeAll();

  EXPECT_EQ(list.LastIndex(), -1);
  EXPECT_EQ(modules.loaded, 0);
  EXPECT_EQ(modules.freed,
            (std::vector<void*>{&modules.modules["a.vpx"], &modules.modules["c.vpx"], &modules.modules["b.vpx"]}));
}

TEST_F(PluginListFreeTest, DestroyingTheListReleasesItsModules) {
  Register("a.vpx", &TagEffect);
  {
    TListPlugin other(modules);
    other.Add("sys", "a.vpx");
    EXPECT_EQ(modules.loaded, 1);
  }
  EXPECT_EQ(modules.loaded, 0);
}

TEST_F(PluginListFreeTest, LoadAllFreesTheEarlierListFirst) {
  Register("old.vpx", &TagEffect);
  Register("a.vpx", &TagEffect);
  Add("old.vpx");
  files.files["sys\\a.vpx"] = "";

  list.LoadAll(files, "sys");
  list.LoadAll(files, "sys");

  EXPECT_EQ(FileNames(), std::vector<std::string>{"a.vpx"});
  ASSERT_EQ(modules.freed.size(), 2u);
  EXPECT_EQ(modules.freed[0], &modules.modules["old.vpx"]);
  EXPECT_EQ(modules.modules["a.vpx"].loads, 2);
  EXPECT_EQ(modules.loaded, 1);
}

// --- Looking entries up ------------------------------------------------------------------------

TEST_F(PluginListFindTest, AFoundEntryFillsTheRecordAndGivesItsExport) {
  RegisterFirst();
  Add("first.vpx");
  record.name = "BLIND_H";

  const VelmoEntryFunction function = list.FindEffect(record, VELMO_TAG_EFFECT, EffectInfoExport);

  EXPECT_EQ(reinterpret_cast<void*>(function), modules.modules["first.vpx"].exports["BlindH"]);
  EXPECT_STREQ(record.name, "BLIND_H");
  EXPECT_STREQ(record.functionName, "BlindH");
  EXPECT_EQ(record.intervalMs, 40);
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) EXPECT_EQ(record.params[i], 200 + i) << "parameter " << i + 1;
}

TEST_F(PluginListFindTest, EntryNamesMatchIgnoringCase) {
  RegisterFirst();
  Add("first.vpx");
  EXPECT_EQ(RunFound("blind_h", VELMO_TAG_EFFECT, EffectInfoExport), 12);
  EXPECT_STREQ(record.name, "BLIND_H"); // the plug-in's own spelling
  EXPECT_EQ(RunFound("Wipe", VELMO_TAG_EFFECT, EffectInfoExport), 11);
  EXPECT_EQ(RunFound("BLIND", VELMO_TAG_EFFECT, EffectInfoExport), 0);
  EXPECT_EQ(RunFound("BLIND_H ", VELMO_TAG_EFFECT, EffectInfoExport), 0);
}

TEST_F(PluginListFindTest, TwoByteCharactersInNamesAreComparedExactly) {
  // "ヂ" is 0x83 0x61: it differs from "ア" only in the case of its trail byte.
  ASSERT_EQ(std::string("アヂ"), "\x83\x41\x83\x61");
  auto& m = Register("kana.vpx", &TagEffect);
  Export(m, "GetEffectInfo", &KatakanaEffects);
  Export(m, "Katakana", &Katakana);
  Add("kana.vpx");
  EXPECT_EQ(RunFound("ア", VELMO_TAG_EFFECT, EffectInfoExport), 51);
  EXPECT_EQ(RunFound("ヂ", VELMO_TAG_EFFECT, EffectInfoExport), 0);
}

TEST_F(PluginListFindTest, ThePluginLoadedFirstWinsWhenTwoDefineTheSameName) {
  RegisterFirst();
  RegisterSecond();
  Add("first.vpx");
  Add("second.vpx");
  EXPECT_EQ(RunFound("WIPE", VELMO_TAG_EFFECT, EffectInfoExport), 11);
  EXPECT_EQ(record.intervalMs, 30);

  TListPlugin reversed(modules);
  reversed.Add("sys", "second.vpx");
  reversed.Add("sys", "first.vpx");
  record.name = "WIPE";
  const VelmoEntryFunction function = reversed.FindEffect(record, VELMO_TAG_EFFECT, EffectInfoExport);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(function(nullptr), 21);
  EXPECT_STREQ(record.name, "wipe");
}

TEST_F(PluginListFindTest, LaterEntriesAndLaterPluginsAreSearched) {
  RegisterFirst();
  RegisterSecond();
  Add("first.vpx");
  Add("second.vpx");
  EXPECT_EQ(RunFound("RIPPLE", VELMO_TAG_EFFECT, EffectInfoExport), 22);
  EXPECT_EQ(record.intervalMs, 80);
}

TEST_F(PluginListFindTest, AnEntryWhoseFunctionIsNotExportedGivesNoneWithTheRecordFilled) {
  RegisterSecond();
  RegisterOther("other.vpx", &TagEffect);
  Add("second.vpx");
  Add("other.vpx"); // has GHOST too, with its function; the first GHOST settles the lookup
  record.name = "ghost";

  EXPECT_EQ(list.FindEffect(record, VELMO_TAG_EFFECT, EffectInfoExport), nullptr);
  EXPECT_STREQ(record.name, "GHOST");
  EXPECT_STREQ(record.functionName, "GhostFx");
  EXPECT_EQ(record.intervalMs, 60);
  EXPECT_EQ(record.params[0], 400);
  EXPECT_EQ(record.params[62], 462);
}

TEST_F(PluginListFindTest, ANameNoPluginHasGivesNoneAndLeavesTheRecordUntouched) {
  RegisterFirst();
  RegisterSecond();
  Add("first.vpx");
  Add("second.vpx");
  std::memset(&record, 0x5A, sizeof record);
  record.name = "NOSUCH";
  EffectInfo before;
  std::memcpy(&before, &record, sizeof record);

  EXPECT_EQ(list.FindEffect(record, VELMO_TAG_EFFECT, EffectInfoExport), nullptr);
  EXPECT_EQ(std::memcmp(&before, &record, sizeof record), 0);

  TListPlugin empty(modules);
  EXPECT_EQ(empty.FindEffect(record, VELMO_TAG_EFFECT, TransitionInfoExport), nullptr);
  EXPECT_EQ(std::memcmp(&before, &record, sizeof record), 0);
}

TEST_F(PluginListFindTest, EachLookupAsksOnlyItsOwnInfoExport) {
  RegisterFirst();
  auto& filters = Register("filters.vpx", &TagEffect);
  Export(filters, "GetFilterInfo", &OtherEffects);
  Export(filters, "Wave", &Wave);
  Add("first.vpx");
  Add("filters.vpx");

  EXPECT_EQ(RunFound("SLIDE", VELMO_TAG_EFFECT, TransitionInfoExport), 13);
  EXPECT_EQ(RunFound("SLIDE", VELMO_TAG_EFFECT, EffectInfoExport), 0);
  EXPECT_EQ(RunFound("WIPE", VELMO_TAG_EFFECT, TransitionInfoExport), 0);
  EXPECT_EQ(RunFound("WAVE", VELMO_TAG_EFFECT, FilterInfoExport), 32);
  EXPECT_EQ(RunFound("WAVE", VELMO_TAG_EFFECT, EffectInfoExport), 0);
}

TEST_F(PluginListFindTest, APluginWithoutTheInfoExportIsSkipped) {
  auto& plain = Register("plain.vpx", &TagEffect);
  Export(plain, "GetTransitionInfo", &FirstTransitions);
  Export(plain, "Slide", &Slide);
  RegisterSecond();
  Add("plain.vpx");
  Add("second.vpx");
  EXPECT_EQ(RunFound("WIPE", VELMO_TAG_EFFECT, EffectInfoExport), 21);
}

TEST_F(PluginListFindTest, TagsMustMatchExactly) {
  RegisterOther("lower.vpx", &TagLowerCase);
  RegisterSecond();
  Add("lower.vpx");
  Add("second.vpx");

  EXPECT_EQ(RunFound("WIPE", VELMO_TAG_EFFECT, EffectInfoExport), 21);
  EXPECT_EQ(RunFound("WAVE", VELMO_TAG_EFFECT, EffectInfoExport), 0);
  EXPECT_EQ(RunFound("WAVE", "00me", EffectInfoExport), 32);
  EXPECT_EQ(RunFound("WAVE", "00M", EffectInfoExport), 0);
}

TEST_F(PluginListFindTest, VariantBlockPluginsAreFoundByTheEffectLookupInListOrder) {
  RegisterOther("variant.vpx", &TagVariant);
  RegisterSecond();
  Add("variant.vpx");
  Add("second.vpx");
  EXPECT_STREQ(list.Node(0).tag, VELMO_TAG_EFFECT_EX);

  // Loaded first, the "00MX" plug-in's WIPE wins, and the caller learns it takes the variant block.
  bool variant = false;
  record.name = "WIPE";
  VelmoEntryFunction wipe = list.FindEffect(record, VELMO_TAG_EFFECT, EffectInfoExport, &variant);
  ASSERT_NE(wipe, nullptr);
  EXPECT_EQ(wipe(nullptr), 31);
  EXPECT_TRUE(variant);
  // An entry only the "00ME" plug-in has is found there, on the plain block.
  record = EffectInfo{};
  record.name = "ripple";
  VelmoEntryFunction ripple = list.FindEffect(record, VELMO_TAG_EFFECT, EffectInfoExport, &variant);
  ASSERT_NE(ripple, nullptr);
  EXPECT_EQ(ripple(nullptr), 22);
  EXPECT_FALSE(variant);
  // The user-procedure lookup never takes them.
  EXPECT_EQ(RunFound("WIPE", VELMO_TAG_USERPROC, EffectInfoExport), 0);
}

TEST_F(PluginListFindTest, UserProceduresAreFoundAmongUserProcedurePluginsOnly) {
  auto& procs = Register("user.vpx", &TagUserProc);
  Export(procs, "GetUserProcInfo", &UserProcs);
  Export(procs, "SetName", &SetName);
  auto& misplaced = Register("misplaced.vpx", &TagEffect);
  Export(misplaced, "GetUserProcInfo", &OtherEffects);
  Export(misplaced, "Wave", &Wave);
  Add("misplaced.vpx");
  Add("user.vpx");

  EXPECT_EQ(RunFound("setname", VELMO_TAG_USERPROC, UserProcInfoExport), 41);
  EXPECT_EQ(RunFound("SetName", VELMO_TAG_EFFECT, UserProcInfoExport), 0);
  EXPECT_EQ(RunFound("WAVE", VELMO_TAG_USERPROC, UserProcInfoExport), 0);
}

// --- Configuration dialog ----------------------------------------------------------------------

TEST_F(PluginListConfigurationTest, ThePluginsDialogIsCalledAndItsResultReturned) {
  RegisterFirst();
  RegisterOther("other.vpx", &TagEffect);
  Add("first.vpx");
  Add("other.vpx");
  int window = 0;

  EXPECT_EQ(list.CallConfigurationDlg(0, &window, 3), 1003);
  EXPECT_EQ(calls.dialogParent, &window);
  EXPECT_EQ(calls.dialogFunction, 3);
  EXPECT_EQ(list.CallConfigurationDlg(1, nullptr, 5), 2005);
}

TEST_F(PluginListConfigurationTest, NoDialogExportGivesZero) {
  RegisterSecond();
  Add("second.vpx");
  EXPECT_EQ(list.CallConfigurationDlg(0, nullptr, 1), 0);
}

TEST_F(PluginListConfigurationTest, ANodeOutOfRangeGivesZeroWithoutACall) {
  EXPECT_EQ(list.CallConfigurationDlg(0, nullptr, 1), 0);
  RegisterFirst();
  Add("first.vpx");
  EXPECT_EQ(list.CallConfigurationDlg(1, nullptr, 1), 0);
  EXPECT_EQ(list.CallConfigurationDlg(-1, nullptr, 1), 0);
  EXPECT_EQ(calls.dialogs, 0);
}

} // namespace
} // namespace velmo
