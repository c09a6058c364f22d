#pragma once

#include "engine/base/format.h"
#include "engine/script/list_hash.h"
#include "engine/script/word_list.h"

#include <string>

namespace velmo {

// Which items of a PARAM list become argv[i].
enum class ArgumentItems {
  Every,    // argv[1..63] all: item i, or the empty text past the list's end (@GoSub, user procedures)
  NonEmpty, // only the non-empty items up to the last one asked for; other argv[i] keep their texts
};

// The one way a PARAM list reaches the variables argv[1], argv[2], ...: the list is split as
// TWordList splits it and item i is stored as the text of "argv[i]" (at most 63 bytes). For each
// variable set, `onItem(i, stored)` is called with the text as stored.
template <typename OnItem>
void SetArguments(TListHash& variables, const char* list, ArgumentItems which, int lastItem, OnItem onItem) {
  const TWordList items(list);
  for (int i = 1; i <= lastItem; ++i) {
    const char* item = items.Item(i);
    if (which == ArgumentItems::NonEmpty && item[0] == '\0') continue;
    const std::string name = FormatText("argv[%d]", i);
    variables.SetVarText(name, item);
    onItem(i, variables.GetVar(name));
  }
}

// argv[1..63] from the list, the empty text past its end.
inline void SetArguments(TListHash& variables, const char* list) {
  SetArguments(variables, list, ArgumentItems::Every, 63, [](int, const char*) {});
}

} // namespace velmo
