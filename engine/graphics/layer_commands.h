#pragma once

#include "engine/script/command_table.h"

#include <cstdint>

namespace velmo {

// Adds the layer and screen commands (@AssignLayer ... @UpdateScreen) to the table.
void RegisterLayerCommands(CommandTable& table);

// Copies the rectangle (x, y, width, height) of a 24-bit picture (rows of width * 3 bytes) to
// (toX, toY) of another, as a plain copy. The part of the rectangle outside either picture is left
// out; nothing is copied for an empty or negative size. The two must not share pixels.
void CopyPictureRect(const std::uint8_t* source, int sourceWidth, int sourceHeight, std::int32_t x, std::int32_t y,
                     std::int32_t width, std::int32_t height, std::uint8_t* target, int targetWidth, int targetHeight,
                     std::int32_t toX, std::int32_t toY);

} // namespace velmo
