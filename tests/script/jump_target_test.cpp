#include "engine/script/jump_target.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace velmo {
namespace {

TEST(JumpTarget, SplitsFileAndLabel) {
  struct Case {
    const char* location;
    const char* file;
    const char* label;
  };
  const Case cases[] = {
      {"start.scx#opening", "start.scx", "opening"},
      {"#opening", "", "opening"},
      {"opening", "opening", ""},
      {"file.scx # label", "file.scx", "label"},
      {" \tfile.scx##\t label  ", "file.scx", "label"},
      {"file.scx\tlabel", "file.scx", "label"},
      {"a.scx#b#c", "a.scx", "b#c"},
      {"a.scx#lbl trailing", "a.scx", "lbl"},
      {"file.scx#", "file.scx", ""},
      {"#", "", ""},
      {"## \tlabel tail", "", "label"},
      {"#\x82 x", "", "\x82 x"},
      {"", "", ""},
      {"シナリオ.scx#表示", "シナリオ.scx", "表示"},
      // Escape bytes stay as they are; restoring them is the command's step.
      {"a\x0B"
       "b.scx#x\x0D"
       "y",
       "a\x0B"
       "b.scx",
       "x\x0D"
       "y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.location);
    const TJumpTarget target(c.location);
    EXPECT_STREQ(target.File(), c.file);
    EXPECT_STREQ(target.Label(), c.label);
    // A location of this file gives the same label without a copy.
    const std::optional<std::string_view> own = TJumpTarget::LabelOfThisFile(c.location);
    EXPECT_EQ(own.has_value(), c.location[0] == '#');
    if (own) {
      EXPECT_EQ(*own, c.label);
    }
  }
}

TEST(JumpTarget, OverlongLocationIsCutInsideTheBuffer) {
  const std::string file(900, 'f');
  const std::string label(900, 'l');
  const TJumpTarget target((file + "#" + label).c_str());
  EXPECT_EQ(target.File(), file);
  const std::string kept = target.Label();
  EXPECT_LT(file.size() + kept.size(), 1024u);
  EXPECT_EQ(label.substr(0, kept.size()), kept);
}

} // namespace
} // namespace velmo
