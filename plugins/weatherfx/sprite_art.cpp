#include "plugins/weatherfx/sprite_art.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

namespace velmo::weatherfx {

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

// A palette picture being drawn: one palette index a pixel, top row first.
class IndexedSheet {
public:
  IndexedSheet(int w, int h, int bits)
      : width(w), height(h), bitCount(bits), indexes(static_cast<std::size_t>(w * h)) {}

  void Set(int x, int y, std::uint8_t index) { indexes[static_cast<std::size_t>(y * width + x)] = index; }
  // Adds a colour to the palette; its index.
  std::uint8_t Colour(Rgb rgb) {
    palette.push_back(rgb);
    return static_cast<std::uint8_t>(palette.size() - 1);
  }

  std::vector<std::uint8_t> PackedDib() const {
    const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
    const std::size_t colours = std::size_t{1} << bitCount;
    std::vector<std::uint8_t> dib(40 + colours * 4 + stride * static_cast<std::size_t>(height));
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
      for (std::size_t i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(bitCount);
    put32(20, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
    put32(32, static_cast<std::uint32_t>(colours));
    for (std::size_t i = 0; i < palette.size() && i < colours; ++i) {
      dib[40 + i * 4] = palette[i].b;
      dib[40 + i * 4 + 1] = palette[i].g;
      dib[40 + i * 4 + 2] = palette[i].r;
    }
    const std::size_t bits = 40 + colours * 4;
    for (int y = 0; y < height; ++y) {
      const std::size_t row = bits + stride * static_cast<std::size_t>(height - 1 - y);
      for (int x = 0; x < width; ++x) {
        const std::uint8_t index = indexes[static_cast<std::size_t>(y * width + x)];
        if (bitCount == 8) {
          dib[row + static_cast<std::size_t>(x)] = index;
        } else {
          dib[row + static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
      }
    }
    return dib;
  }

private:
  int width, height, bitCount;
  std::vector<std::uint8_t> indexes;
  std::vector<Rgb> palette;
};

// Turns by multiples of 45 degrees, as cosine and sine times 256.
constexpr std::array<std::array<std::int64_t, 2>, 8> Turns = {{
    {256, 0},
    {181, 181},
    {0, 256},
    {-181, 181},
    {-256, 0},
    {-181, -181},
    {0, -256},
    {181, -181},
}};

// A point of a size x size cell, in doubled units from its centre, turned by `turn` (x 256).
struct Turned {
  std::int64_t along, across;
};

Turned TurnedPoint(int x, int y, int size, int turn) {
  const std::int64_t dx = 2 * x + 1 - size, dy = 2 * y + 1 - size;
  const auto& t = Turns[static_cast<std::size_t>(turn)];
  return {dx * t[0] + dy * t[1], dy * t[0] - dx * t[1]};
}

// Petals: ellipses with a notch at their outer end, pink getting paler toward the notch.
// Leaves: pointed at both ends, with a darker vein down the middle. `shade` 0-3 is returned for
// a point inside (0 darkest), -1 outside.
int PetalShade(const Turned& p, int size) {
  const std::int64_t a = std::int64_t{size} * 13 / 16 * 256, b = std::int64_t{size} * 7 / 16 * 256;
  if (p.along * p.along * b * b / 256 + p.across * p.across * a * a / 256 > a * a * b * b / 256) return -1;
  // The notch: a small wedge cut into the end at +along.
  if (p.along > a * 3 / 4 && std::abs(p.across) * 4 < (p.along - a * 3 / 4) * 3) return -1;
  return static_cast<int>(std::clamp<std::int64_t>((p.along + a) * 4 / (2 * a + 1), 0, 3));
}

int LeafShade(const Turned& p, int size) {
  const std::int64_t a = std::int64_t{size} * 14 / 16 * 256, b = std::int64_t{size} * 6 / 16 * 256;
  const std::int64_t along = std::abs(p.along);
  if (along > a || p.across * p.across * a > b * b * (a - along)) return -1;
  if (std::abs(p.across) < 200) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(1 + (p.along + a) * 3 / (2 * a + 1), 1, 3));
}

template <typename Shade> std::vector<std::uint8_t> DrawFallingSheet(const std::array<Rgb, 4>& tones, Shade shade) {
  IndexedSheet sheet(48, 128, 8);
  const std::uint8_t black = sheet.Colour({0, 0, 0}), white = sheet.Colour({255, 255, 255});
  std::array<std::uint8_t, 4> tone{};
  for (std::size_t i = 0; i < tones.size(); ++i) tone[i] = sheet.Colour(tones[i]);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 48; ++x) sheet.Set(x, y, x >= 16 && x < 32 ? white : x >= 40 ? white : black);
  }
  // Variant v is turned by v x 45 degrees, the small ones by one step more.
  for (int v = 0; v < 8; ++v) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int s = shade(TurnedPoint(x, y, 16, v), 16);
        if (s < 0) continue;
        sheet.Set(x, 16 * v + y, tone[static_cast<std::size_t>(s)]);
        sheet.Set(16 + x, 16 * v + y, black);
      }
    }
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const int s = shade(TurnedPoint(x, y, 8, (v + 1) % 8), 8);
        if (s < 0) continue;
        sheet.Set(32 + x, 8 * v + y, tone[static_cast<std::size_t>(s)]);
        sheet.Set(40 + x, 8 * v + y, black);
      }
    }
  }
  return sheet.PackedDib();
}

// A round glow fading out with the square of the distance: level 0-63 at (x, y) of a cell of
// `size` pixels for a glow of `radius` half-pixels.
int GlowLevel(int x, int y, int size, std::int64_t radius) {
  const std::int64_t dx = 2 * x + 1 - size, dy = 2 * y + 1 - size;
  const std::int64_t r2 = dx * dx + dy * dy, limit = radius * radius;
  return r2 >= limit ? 0 : static_cast<int>((limit - r2) * 63 / limit);
}

std::vector<std::uint8_t> DrawGlowSheet() {
  IndexedSheet sheet(64, 16, 8);
  std::array<std::uint8_t, 64> level{};
  for (int i = 0; i < 64; ++i) {
    const int v = i * 255 / 63;
    level[static_cast<std::size_t>(i)] = sheet.Colour(
        {static_cast<std::uint8_t>(v * 3 / 4), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v / 4)});
  }
  // Faster fireflies glow larger.
  for (int s = 1; s <= 3; ++s) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x)
        sheet.Set(16 * s + x, y, level[static_cast<std::size_t>(GlowLevel(x, y, 16, 6 + 3 * s))]);
    }
  }
  return sheet.PackedDib();
}

std::vector<std::uint8_t> DrawSnowSheet() {
  IndexedSheet sheet(8, 8, 4);
  std::array<std::uint8_t, 16> grey{};
  for (int i = 0; i < 16; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 17);
    grey[static_cast<std::size_t>(i)] = sheet.Colour({v, v, v});
  }
  // A soft flake centred a little up and left of the 7 x 7 cell's middle, so that the smaller
  // flakes taken from (0, 1) are mostly flake too.
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::int64_t dx = 2 * x - 4, dy = 2 * y - 5;
      const std::int64_t r2 = dx * dx + dy * dy;
      const std::int64_t v = r2 >= 50 ? 0 : 15 - r2 * 15 / 50;
      sheet.Set(x, y, grey[static_cast<std::size_t>(x < 7 && y < 7 ? v : 0)]);
    }
  }
  return sheet.PackedDib();
}

std::vector<std::uint8_t> DrawRainSheet() {
  IndexedSheet sheet(2, 100, 8);
  const std::uint8_t black = sheet.Colour({0, 0, 0}), white = sheet.Colour({255, 255, 255});
  // The streak brightens toward its lower end; its top 30 rows are empty.
  for (int y = 0; y < 100; ++y) {
    if (y < 30) {
      sheet.Set(0, y, black);
      sheet.Set(1, y, white);
      continue;
    }
    const int v = 90 + (y - 30) * 130 / 69;
    sheet.Set(0, y,
              sheet.Colour({static_cast<std::uint8_t>(v * 7 / 8), static_cast<std::uint8_t>(v * 15 / 16),
                            static_cast<std::uint8_t>(v)}));
    sheet.Set(1, y, black);
  }
  return sheet.PackedDib();
}

} // namespace

std::vector<std::uint8_t> DrawSpriteSheet(int resourceId) {
  switch (resourceId) {
  case PetalSheet:
    return DrawFallingSheet({Rgb{236, 120, 160}, Rgb{246, 160, 190}, Rgb{252, 196, 214}, Rgb{255, 228, 236}},
                            PetalShade);
  case LeafSheet:
    return DrawFallingSheet({Rgb{96, 52, 20}, Rgb{150, 80, 24}, Rgb{196, 116, 36}, Rgb{222, 164, 60}}, LeafShade);
  case GlowSheet:
    return DrawGlowSheet();
  case SnowSheet:
    return DrawSnowSheet();
  case RainSheet:
    return DrawRainSheet();
  default:
    return {};
  }
}

std::vector<std::uint8_t> BmpFileOf(const std::vector<std::uint8_t>& dib) {
  std::vector<std::uint8_t> file(14 + dib.size());
  const auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(14 + dib.size()));
  std::uint32_t bits = 14;
  if (dib.size() >= 40) {
    const std::uint32_t headerSize = dib[0] | static_cast<std::uint32_t>(dib[1]) << 8 |
                                     static_cast<std::uint32_t>(dib[2]) << 16 |
                                     static_cast<std::uint32_t>(dib[3]) << 24;
    const std::uint32_t colours = dib[32] | static_cast<std::uint32_t>(dib[33]) << 8 |
                                  static_cast<std::uint32_t>(dib[34]) << 16 | static_cast<std::uint32_t>(dib[35]) << 24;
    bits += headerSize + colours * 4;
  }
  put32(10, bits);
  std::copy(dib.begin(), dib.end(), file.begin() + 14);
  return file;
}

const char* SheetFileName(int resourceId) {
  switch (resourceId) {
  case PetalSheet:
    return "petals.bmp";
  case LeafSheet:
    return "leaves.bmp";
  case GlowSheet:
    return "glow.bmp";
  case SnowSheet:
    return "snow.bmp";
  case RainSheet:
    return "rain.bmp";
  default:
    return nullptr;
  }
}

} // namespace velmo::weatherfx
