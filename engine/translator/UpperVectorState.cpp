#include "engine/translator/UpperVectorState.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace {
// Its own function: the instruction exists only where AVX does, and only this function may
// be compiled for it.
__attribute__((target("avx"))) void zeroUpper()
{
    _mm256_zeroupper();
}
} // namespace

void UpperVectorState::clear()
{
    // Asked once; the answer includes whether the system saves the AVX state.
    static const bool avx = (__builtin_cpu_init(), __builtin_cpu_supports("avx"));
    if (avx)
        zeroUpper();
}
#else
void UpperVectorState::clear() {}
#endif
