// Feeds arbitrary lines to the command-line tokenizer, reference expansion, the list and path
// splitters, the jump-location splitter and number parsing over a seeded variable store. Script
// errors are expected answers; anything else (a crash, an overrun, a leak) is a finding.
#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/parse_number.h"
#include "engine/script/command_line.h"
#include "engine/script/jump_target.h"
#include "engine/script/list_hash.h"
#include "engine/script/word_list.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void SeedVariables(velmo::TListHash& vars) {
  vars.SetVarText("i", "3");
  vars.SetVarText("save[3]", "saved");
  vars.SetVarText("list", "a b,c \"q\"");
  vars.SetVarText("ref", "i");
  vars.SetVarText("long", std::string(80, 'x'));
  vars.SetVarText("\x95\x5C", "\x95\x5C\x95\x5C"); // a name and value with a 0x5C trail byte
  vars.SetVarText("", "empty-name");
}

template <typename F> void Guarded(F&& f) {
  try {
    f();
  } catch (const velmo::TBaseException& e) {
    // A script error must carry a terminated info text.
    if (e.info[velmo::TBaseException::InfoSize - 1] != '\0') __builtin_trap();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A scenario line: at most 1,023 bytes, ending at its first NUL.
  std::string line(reinterpret_cast<const char*>(data), size < 1023 ? size : 1023);
  line.resize(std::char_traits<char>::length(line.c_str()));

  static velmo::TListHash vars;
  if (vars.LastIndex() < 0) SeedVariables(vars);

  velmo::TCommandLine cmd(vars);
  Guarded([&] {
    const int count = cmd.Parse(line.c_str());
    if (count < 2 || count > 64) __builtin_trap();
    for (int i = 1; i <= count + 1; ++i) {
      (void)velmo::ParseNumber(cmd.Value(i));
      (void)velmo::IsFlagWord(cmd, i, "RESET");
    }
    (void)velmo::FindParam(cmd, "NAME", 1);
  });
  Guarded([&] { (void)cmd.Substitute(line.c_str()); });
  Guarded([&] {
    velmo::TWordList list(line.c_str());
    for (int i = 1; i <= list.Count(); ++i) (void)velmo::ParseNumber(list.Item(i));
  });
  Guarded([&] {
    velmo::TWordList path;
    path.SplitArchivePath(line.c_str());
  });
  Guarded([&] {
    velmo::TJumpTarget target(line.c_str());
    std::string label(target.Label());
    velmo::RestoreEscapes(label.data());
  });
  // Writing what was read keeps the store's cut and index honest under any text.
  Guarded([&] {
    vars.SetVarText(cmd.Substitute(line.c_str()), line);
    if (vars.LastIndex() > 1000) {
      vars.Clear();
      SeedVariables(vars);
    }
  });
  return 0;
}
