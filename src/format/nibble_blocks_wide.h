// A block of thirty-two bytes classified by NibbleTables: two lookups, and the bits asked for.
// No include guard and no includes: each wide run includes it inside its unnamed namespace
// after its target switch, so that it takes AVX2 and no definition is shared between runs.
// Needs <immintrin.h>, format/nibble_classes.h and format/text_runs.h.
template <const NibbleTables& Tables>
struct NibbleBlock {
    static __m256i Table(const std::uint8_t (&bytes)[16]) {
        return _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }

    // Each byte's class.
    static __m256i ClassesOf(__m256i v) {
        const __m256i lowHalves = _mm256_set1_epi8(15);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(v, 4), lowHalves);
        return _mm256_and_si256(
            _mm256_shuffle_epi8(Table(Tables.high), high),
            _mm256_shuffle_epi8(Table(Tables.low), _mm256_and_si256(v, lowHalves)));
    }

    // Bit n: byte n's class has one of these bits.
    static std::uint32_t AnyOf(__m256i classes, std::uint8_t bits) {
        const __m256i none =
            _mm256_cmpeq_epi8(_mm256_and_si256(classes, _mm256_set1_epi8(static_cast<char>(bits))),
                              _mm256_setzero_si256());
        return ~static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
    }

    // The bytes as they stand, but a blank for each whose class has bit 7.
    template <typename Out>
    static void StoreBlanked(__m256i v, __m256i classes, Out* out) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_blendv_epi8(v, _mm256_set1_epi8(' '), classes));
    }

    template <typename Out>
    static void StoreBlanked(const std::uint8_t* p, Out* out) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        StoreBlanked(v, ClassesOf(v), out);
    }
};

// Thirty-two bytes as ClassifyRunBlock judges sixteen, by classes whose StopBits mark the
// bytes that end the run (tabs may be among them), PrintableBits the bytes written as
// themselves and bit 7 the space codes.
template <const NibbleTables& Tables, std::uint8_t StopBits, std::uint8_t PrintableBits>
struct NibbleRunBlocks {
    static constexpr int Size = 2 * RunBlock;
    static constexpr std::uint32_t Whole = 0xFFFFFFFFu;
    using Nibble = NibbleBlock<Tables>;

    static RunBlockClasses Classify(const std::uint8_t* p) {
        const __m256i classes =
            Nibble::ClassesOf(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
        return {Nibble::AnyOf(classes, StopBits), 0, Nibble::AnyOf(classes, PrintableBits),
                static_cast<std::uint32_t>(_mm256_movemask_epi8(classes))};
    }

    static void Store(const std::uint8_t* p, char* out) { Nibble::StoreBlanked(p, out); }
};
