#pragma once

#include "engine/script/token_list.h"

#include <optional>
#include <string_view>

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

  // The label of a location that begins with '#' (a label of the current file), read as Label()
  // reads it but without copying; nullopt for a location that begins otherwise.
  static std::optional<std::string_view> LabelOfThisFile(std::string_view location);
};

} // namespace velmo
