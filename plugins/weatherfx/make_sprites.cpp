// make_sprites FOLDER: writes the particle plug-in's five sprite sheets into FOLDER as BMP files,
// for the DLL's bitmap resources. Run by the build.
#include "plugins/weatherfx/sprite_art.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sprites FOLDER\n");
    return 2;
  }
  for (int id : velmo::weatherfx::SheetIds) {
    const std::string path = std::string(argv[1]) + "/" + velmo::weatherfx::SheetFileName(id);
    const std::vector<std::uint8_t> file = velmo::weatherfx::BmpFileOf(velmo::weatherfx::DrawSpriteSheet(id));
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
      std::fprintf(stderr, "make_sprites: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
