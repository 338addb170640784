// The plain run with sixteen-byte blocks, for every processor, and the choice of the build.
#include "rtf/plain_run.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "format/text_runs.h"
#include "rtf/rtf_runs.h"

namespace brevikon {

namespace {

namespace narrow_blocks {

struct Blocks {
    static constexpr int Size = RunBlock;
    static constexpr std::uint32_t Whole = WholeRunBlock;
    static rtf_runs::PlainBlock Classify(const std::uint8_t* p, unsigned char* out) {
        return rtf_runs::ClassifyPlainBlock(p, out);
    }
    static void Store(const std::uint8_t* p, unsigned char* out) { StoreSingleBytes(p, out); }
};

#include "rtf/plain_run_loop.h"

}  // namespace narrow_blocks
}  // namespace

void WritePlainRunNarrow(PlainRun& run, bool prose) {
    if (prose) {
        narrow_blocks::PlainRunLoop<narrow_blocks::Blocks, true>(run);
    } else {
        narrow_blocks::PlainRunLoop<narrow_blocks::Blocks, false>(run);
    }
}

}  // namespace brevikon
