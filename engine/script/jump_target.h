#pragma once

#include "engine/script/token_list.h"

namespace velmo {

// A jump location "file#label" split in two: the file part runs to the first blank, TAB or '#',
// the label follows after every '#', blank and TAB. "#label" is a label of the current file;
// "file" alone is a file with an empty label.
class TJumpTarget : public TTokenList {
public:
  explicit TJumpTarget(const char* location) { Parse(location); }

  int Parse(const char* location) override;

  const char* File() const { return Item(1); }
  const char* Label() const { return Item(2); }
};

} // namespace velmo
