// stb_image's code, built once for velmoimg with the options of stb_image_options.h, as C++ (which
// it supports) like the rest of the plug-in. Not our code: the build compiles this file without
// our warnings.
#include "plugins/velmoimg/stb_image_options.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
