#include "engine/script/scenario_stack.h"

#include "engine/base/errors.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/script/list_hash.h"
#include "engine/script/scenario.h"

#include "tests/support/script_errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace velmo {
namespace {

// Files in memory that count how many of them are open, so that freeing a scenario shows.
class CountingFileSystem : public IFileSystem {
public:
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override {
    std::unique_ptr<IReadFile> file = memory.OpenRead(path);
    if (file == nullptr) return nullptr;
    return std::make_unique<CountedFile>(std::move(file), openFiles);
  }
  bool WriteNewFile(std::string_view path, std::string_view bytes) override { return memory.WriteNewFile(path, bytes); }
  bool AppendToFile(std::string_view path, std::string_view bytes) override { return memory.AppendToFile(path, bytes); }
  bool WriteFileAtomically(std::string_view path, std::string_view bytes) override {
    return memory.WriteFileAtomically(path, bytes);
  }
  bool Exists(std::string_view path) override { return memory.Exists(path); }
  std::vector<std::string> FindFiles(std::string_view folder, std::string_view extension) override {
    return memory.FindFiles(folder, extension);
  }
  bool Remove(std::string_view path) override { return memory.Remove(path); }

  MemoryFileSystem memory;
  int openFiles = 0;

private:
  class CountedFile : public IReadFile {
  public:
    CountedFile(std::unique_ptr<IReadFile> inner, int& count) : file(std::move(inner)), open(count) { ++open; }
    ~CountedFile() override { --open; }
    std::size_t Read(char* buffer, std::size_t size) override { return file->Read(buffer, size); }
    bool Seek(std::uint32_t offset) override { return file->Seek(offset); }

  private:
    std::unique_ptr<IReadFile> file;
    int& open;
  };
};

class ScnFileStackTest : public ::testing::Test {
protected:
  void SetUp() override {
    // "main.scn": a call site near the start and a subroutine well past the 16 KiB read buffer.
    std::string main;
    for (int i = 1; i <= 3000; ++i) {
      if (i == 2500)
        main += "// far\r\n";
      else if (i == 2)
        main += "// near\r\n";
      else
        main += "line " + std::to_string(i) + " of the main scenario\r\n";
    }
    files.memory.files["main.scn"] = main;
    files.memory.files["sub.scn"] = "// entry\r\nsub 2\r\nsub 3\r\n";
  }

  std::unique_ptr<TScenario> Make(const char* location) {
    auto s = std::make_unique<TScenario>(files);
    s->Open(location);
    s->FindParagraph(vars);
    return s;
  }

  // Reads a line as the interpreter does, counting it.
  static std::string Step(TScenario& s) {
    char buffer[TScenario::LineSize];
    if (!s.ReadLine(buffer)) return "<end>";
    ++s.line;
    return buffer;
  }

  CountingFileSystem files;
  TListHash vars;
  TScnFileStack stack;
};

TEST_F(ScnFileStackTest, PopOfAnEmptyStackReturnsNothingAndEndsTheCurrentScenario) {
  auto current = Make("main.scn");
  EXPECT_EQ(files.openFiles, 1);
  EXPECT_EQ(stack.Pop(std::move(current)), nullptr);
  EXPECT_EQ(files.openFiles, 0);
}

TEST_F(ScnFileStackTest, CallIntoAnotherFileReturnsToTheCallerWhereItStood) {
  auto caller = Make("main.scn");
  Step(*caller);
  Step(*caller);
  caller->ifState = IfState::Searching;
  TScenario* const callerObject = caller.get();
  const std::uint32_t offset = caller->Tell();

  stack.PushParagraph(caller);
  EXPECT_EQ(caller, nullptr);
  EXPECT_EQ(stack.Depth(), 1);
  auto callee = Make("sub.scn#entry");
  EXPECT_EQ(Step(*callee), "sub 2");
  EXPECT_EQ(files.openFiles, 2);

  auto back = stack.Pop(std::move(callee));
  ASSERT_EQ(back.get(), callerObject);
  EXPECT_EQ(files.openFiles, 1);
  EXPECT_EQ(stack.Depth(), 0);
  EXPECT_EQ(back->Tell(), offset);
  EXPECT_EQ(back->line, 2);
  EXPECT_EQ(back->ifState, IfState::Searching);
  EXPECT_EQ(Step(*back), "line 3 of the main scenario");
}

TEST_F(ScnFileStackTest, CallWithinTheFileReturnsToTheCallersOffsetAndLine) {
  auto current = Make("main.scn#near");
  EXPECT_EQ(Step(*current), "line 3 of the main scenario");
  TScenario* const object = current.get();

  stack.PushScenario(*current);
  current->JumpToParagraph("far");
  current->FindParagraph(vars);
  EXPECT_EQ(current->line, 2500);
  EXPECT_EQ(Step(*current), "line 2501 of the main scenario");
  current->ifState = IfState::Done;

  current = stack.Pop(std::move(current));
  ASSERT_EQ(current.get(), object);
  EXPECT_EQ(current->line, 3);
  EXPECT_EQ(Step(*current), "line 4 of the main scenario");
  // Only the position and line come back; the rest goes on as the callee left it.
  EXPECT_EQ(current->paragraph, "far");
  EXPECT_EQ(current->ifState, IfState::Done);

  // And from far down the file back up to a known label and down again.
  current->JumpToParagraph("far");
  Step(*current);
  stack.PushScenario(*current);
  current->JumpToParagraph("near");
  EXPECT_EQ(Step(*current), "line 3 of the main scenario");
  current = stack.Pop(std::move(current));
  EXPECT_EQ(current->line, 2501);
  EXPECT_EQ(Step(*current), "line 2502 of the main scenario");
}

TEST_F(ScnFileStackTest, FramesReturnInReverseOrder) {
  auto first = Make("main.scn");
  Step(*first);
  TScenario* const firstObject = first.get();
  stack.PushParagraph(first);
  auto second = Make("sub.scn#entry");
  stack.PushScenario(*second);
  second->Reset();
  EXPECT_EQ(Step(*second), "// entry");

  second = stack.Pop(std::move(second));
  EXPECT_EQ(second->line, 1);
  EXPECT_EQ(Step(*second), "sub 2");
  auto back = stack.Pop(std::move(second));
  EXPECT_EQ(back.get(), firstObject);
  EXPECT_EQ(Step(*back), "// near");
  EXPECT_EQ(files.openFiles, 1);
}

TEST_F(ScnFileStackTest, SixteenCallsWithinTheFileSucceedAndTheSeventeenthOverflows) {
  auto current = Make("main.scn");
  for (int i = 0; i < TScnFileStack::Capacity; ++i) {
    Step(*current);
    EXPECT_EQ(Raised([&] { stack.PushScenario(*current); }), "") << "push " << i + 1;
  }
  Step(*current);
  EXPECT_EQ(Raised([&] { stack.PushScenario(*current); }), Error(ErrStackOverflow, "TScnFileStack::PushScenario"));
  EXPECT_EQ(stack.Depth(), 16);

  for (int depth = 16; depth >= 1; --depth) {
    current = stack.Pop(std::move(current));
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->line, depth);
  }
  EXPECT_EQ(stack.Pop(std::move(current)), nullptr);
}

TEST_F(ScnFileStackTest, SixteenCallsIntoOtherFilesSucceedAndTheSeventeenthLeavesTheCallerAlone) {
  for (int i = 0; i < TScnFileStack::Capacity; ++i) {
    auto caller = Make("sub.scn");
    stack.PushParagraph(caller);
  }
  auto caller = Make("sub.scn");
  Step(*caller);
  TScenario* const callerObject = caller.get();
  EXPECT_EQ(Raised([&] { stack.PushParagraph(caller); }), Error(ErrStackOverflow, "TScnFileStack::PushParagraph"));
  EXPECT_EQ(stack.Depth(), 16);
  ASSERT_EQ(caller.get(), callerObject);
  EXPECT_EQ(Step(*caller), "sub 2");
  EXPECT_EQ(files.openFiles, 17);
}

TEST_F(ScnFileStackTest, ClearFreesTheFramesScenariosAndLeavesTheCurrentAlone) {
  for (int i = 0; i < 3; ++i) {
    auto caller = Make("sub.scn");
    stack.PushParagraph(caller);
  }
  auto current = Make("main.scn");
  Step(*current);
  stack.PushScenario(*current);
  EXPECT_EQ(files.openFiles, 4);

  stack.Clear();
  EXPECT_EQ(stack.Depth(), 0);
  EXPECT_EQ(files.openFiles, 1);
  EXPECT_EQ(Step(*current), "// near");
  EXPECT_EQ(stack.Pop(std::move(current)), nullptr);
}

} // namespace
} // namespace velmo
