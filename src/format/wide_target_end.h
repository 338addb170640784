// Back to the instruction set of the whole program (see format/wide_target_begin.h).
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
