#pragma once

// The options velmoimg builds stb_image (Debian's libstb-dev) with, included before <stb_image.h>
// wherever that is: only the four formats the plug-in reads, from memory only (the plug-in reads
// files itself), without the floating-point interfaces, and without SIMD, so that the Windows DLL
// and velmo-run run the same code and decode every picture to the same pixels.
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_SIMD
