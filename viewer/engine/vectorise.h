// The pixel loops of the engine are plain loops over bytes. Without byte
// shuffles (x86 before SSSE3, the baseline the program is built for) the
// compiler cannot vectorise the 3-byte pixels of 24-bit rows; with AVX2 it
// can. RunVectorised runs a loop in a copy compiled for AVX2 when the
// processor has it, and as built otherwise, so every processor runs the
// same arithmetic and gets the same bytes. Where the compiler's code stays
// slow (the blend, 24-bit keying, 16-bit rows) a hand-written AVX2 step of
// eight pixels sits beside the plain loop, chosen the same way, and hands
// the last pixels of each row to the plain loop.
#pragma once

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define TRELLIN_AVX2_DISPATCH 1

#include <immintrin.h>

#include <cstdint>

inline bool HasAvx2() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}

// `flatten` inlines everything the loop calls, so all of it is compiled
// for AVX2.
template <class Loop>
__attribute__((target("avx2"), flatten)) void RunWithAvx2(const Loop& loop) {
  loop();
}

// The hand-written AVX2 steps work on 24-bit pixels four to a 128-bit
// lane, 12 bytes of each lane used.
//
// 24 bytes from `in` spread to the first 12 bytes of each lane. Reads 32
// bytes.
__attribute__((target("avx2"))) inline __m256i LoadLaneTwelves(const uint8_t* in) {
  const __m256i spread = _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0);
  return _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)), spread);
}

// The first 12 bytes of each lane stored as 24 bytes at `out`, and nothing
// past them.
__attribute__((target("avx2"))) inline void StoreLaneTwelves(uint8_t* out, __m256i lanes) {
  const __m256i gather = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0);
  const __m256i packed = _mm256_permutevar8x32_epi32(lanes, gather);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
}

template <class Loop>
void RunVectorised(const Loop& loop) {
  if (HasAvx2()) {
    RunWithAvx2(loop);
  } else {
    loop();
  }
}

#else

template <class Loop>
void RunVectorised(const Loop& loop) {
  loop();
}

#endif
