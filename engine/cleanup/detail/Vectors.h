#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Internal to the engine's image code: four floats moved and computed as one, for the inner loops of
// the resampling, the warps and the finishing, and their conversions from and to 16-bit samples.
namespace quillfen::detail {

using Float4 = float __attribute__((vector_size(16)));

inline Float4 load4(const float* p) {
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(float* p, Float4 v) {
    std::memcpy(p, &v, sizeof v);
}

// Lane i of v in all four lanes.
template <int i>
inline Float4 lane(Float4 v) {
    return __builtin_shufflevector(v, v, i, i, i, i);
}

// The four 16-bit samples at p as floats.
inline Float4 floatsOfSamples(const std::uint16_t* p) {
#if defined(__SSE2__)
    const __m128i samples = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return Float4(_mm_cvtepi32_ps(_mm_unpacklo_epi16(samples, _mm_setzero_si128())));
#else
    return Float4{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
                  static_cast<float>(p[3])};
#endif
}

// The four floats as 16-bit samples written at out: rounded half to even, as cvRound does, and
// held to 0...65535.
inline void storeRoundedSamples(Float4 v, std::uint16_t* out) {
#if defined(__SSE2__)
    const __m128i whole =
        _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(__m128(v), _mm_setzero_ps()), _mm_set1_ps(65535)));
    // Shifted into the signed range to pack, and back.
    const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(whole, _mm_set1_epi32(32768)), _mm_setzero_si128());
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_xor_si128(packed, _mm_set1_epi16(-32768)));
#else
    for (int i = 0; i < 4; ++i) {
        const float held = v[i] < 0 ? 0 : v[i] > 65535 ? 65535 : v[i];
        out[i] = static_cast<std::uint16_t>(__builtin_rintf(held));
    }
#endif
}

}  // namespace quillfen::detail
