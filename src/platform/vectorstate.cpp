#include "platform/vectorstate.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace rt {

namespace {

__attribute__((target("avx"))) void zeroUpper()
{
    _mm256_zeroupper();
}

} // namespace

void ClearUpperVectorState()
{
    // The library's check includes whether the system saves the AVX registers.
    static const bool avx = (__builtin_cpu_init(), __builtin_cpu_supports("avx"));
    if (avx)
        zeroUpper();
}

} // namespace rt

#else

namespace rt {

void ClearUpperVectorState()
{
}

} // namespace rt

#endif
