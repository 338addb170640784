// What follows, up to format/wide_target_end.h, is compiled for processors with AVX2. No
// include guard: each wide run includes it after all its other includes, so that nothing it
// shares with the rest of the program is compiled so.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
