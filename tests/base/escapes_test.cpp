#include "engine/base/escapes.h"

#include "engine/script/command_line.h"
#include "engine/script/list_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace velmo {
namespace {

TEST(RestoreEscapes, TurnsEscapedBackslashAndDollarBackInPlace) {
  char text[] = "cg\x0B"
                "bg\x0D"
                "1.bmp";
  EXPECT_EQ(RestoreEscapes(text), text);
  EXPECT_STREQ(text, "cg\\bg$1.bmp");
}

TEST(RestoreEscapes, LeavesEveryOtherByteAlone) {
  std::string all;
  for (int c = 1; c <= 0xFF; ++c) {
    if (c != 0x0B && c != 0x0D) all += static_cast<char>(c);
  }
  std::string copy = all;
  RestoreEscapes(copy.data());
  EXPECT_EQ(copy, all);

  char wide[] = "表示ソ";
  RestoreEscapes(wide);
  EXPECT_STREQ(wide, "表示ソ");

  char empty[] = "";
  EXPECT_STREQ(RestoreEscapes(empty), "");
}

TEST(RestoreEscapes, GivesAParsedFileNameItsLiteralDollarAndBackslash) {
  TListHash vars;
  vars.SetVarText("x", "expanded");
  TCommandLine line(vars);
  line.Parse("@Load FILE=\"cg\x0B"
             "a\x0D"
             "x.bmp\"");
  std::string file = line.Value(2);
  EXPECT_EQ(file, "cg\x0B"
                  "a\x0D"
                  "x.bmp");
  RestoreEscapes(file.data());
  EXPECT_EQ(file, "cg\\a$x.bmp");
}

} // namespace
} // namespace velmo
