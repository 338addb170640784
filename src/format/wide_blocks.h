#pragma once
// Whether the plain runs of the RTF, text and HTML forms may take blocks of thirty-two bytes:
// built where the compiler can target AVX2 for single functions (x86-64), and taken where the
// processor has it. Each wide run writes the same bytes as its sixteen-byte run, which stays
// the fallback.

namespace brevikon {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define BREVIKON_WIDE_BLOCKS 1
#endif

// Always false where no wide run is built.
bool WideBlocksAvailable();

}  // namespace brevikon
