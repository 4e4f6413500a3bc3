// Clearing the upper halves of the vector registers on a thread that is about to do
// a lot of floating-point arithmetic.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace tilerush {

// Something in Qt's start-up leaves the upper halves of the AVX registers in use,
// and every thread started afterwards inherits that. Until they are cleared, plain
// SSE arithmetic runs many times slower on some processors (on this project's
// machines, synthesising the cue bank took 15 times as long). Clearing is cheap and
// harmless; where there is nothing to clear it does nothing.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx"))) inline void clearUpperVectorHalvesWithAvx() { _mm256_zeroupper(); }
inline void clearUpperVectorHalves() {
  if (__builtin_cpu_supports("avx")) clearUpperVectorHalvesWithAvx();
}
#else
inline void clearUpperVectorHalves() {}
#endif

}  // namespace tilerush
