#pragma once

#include "engine/graphics/blit_kernels.h"

// The instruction-set variants behind DrawPicture, for the tests (which compare each with the
// reference) and the benchmarks. DrawPicture picks one of them once per process.
namespace velmo::blit {

// True when this build has the AVX2 variant and the processor (and the system) can run it.
bool Avx2Available();

// The SSE2 variant; without SSE2 (another architecture) the reference.
void DrawPictureSse2(const BlitArgs& args);

// The AVX2 variant. Call it only when Avx2Available() is true.
void DrawPictureAvx2(const BlitArgs& args);

} // namespace velmo::blit
