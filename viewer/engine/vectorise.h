// The pixel loops of the engine are plain loops over bytes. Without byte
// shuffles (x86 before SSSE3, the baseline the program is built for) the
// compiler cannot vectorise the 3-byte pixels of 24-bit rows; with AVX2 it
// can. RunVectorised runs a loop in a copy compiled for AVX2 when the
// processor has it, and as built otherwise, so every processor runs the
// same arithmetic and gets the same bytes.
#pragma once

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define TRELLIN_AVX2_DISPATCH 1

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
