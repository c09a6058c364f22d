// The native build's sheets: the artwork drawn in memory, decoded as the DLL decodes its
// resources.
#include "plugins/weatherfx/sprite_art.h"
#include "plugins/weatherfx/weatherfx_exports.h"

namespace velmo::weatherfx {

SpriteSheet LoadSpriteSheet(int resourceId) { return DecodePackedDib(DrawSpriteSheet(resourceId)); }

} // namespace velmo::weatherfx
