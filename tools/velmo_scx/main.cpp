// velmo-scx: converts a scenario file between its plain and its scrambled (.scx) form. The
// transform exchanges the two 4-bit halves of every byte, so the same call goes both ways.
#include "engine/script/scenario.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmo-scx INPUT OUTPUT\n"
                         "Converts a scenario file between plain text and the scrambled form of .scx files\n"
                         "(either way: the same conversion undoes itself).\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "velmo-scx: cannot read %s\n", argv[1]);
    return 1;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (char& c : bytes) c = velmo::SwapNibbles(c);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
    std::fprintf(stderr, "velmo-scx: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
