// The plausibility verdict, calibrated on documents (the samples, generated documents and
// damaged copies of them) and on other files an archive holds (made here or found at fixed
// places), and each rule at its threshold.
#include "analysis/document_facts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "files/file_access.h"
#include "tools/sample_documents.h"

namespace brevikon {
namespace {

using namespace std::literals;
using Bytes = std::vector<std::uint8_t>;

std::string Codes(const Plausibility& p) {
    std::string codes;
    for (const PlausibilityReason& reason : p.reasons)
        codes.append(codes.empty() ? "" : " ").append(reason.code);
    return codes;
}

// A file of the sources or the system, read by the programs' own reader (which never waits on
// a device), or nothing.
Bytes Found(const char* name) {
    HeapBlock image;
    const auto path = std::filesystem::path(BREVIKON_SOURCE_DIR) / name;
    if (ReadWholeFile(path.native(), MaxDocumentSize, ProcessHeap(), image).status !=
        ReadStatus::Ok)
        return {};
    return Bytes(image.data(), image.data() + image.size());
}

// head, then bytes as random as compressed data (mt19937 gives the same everywhere).
Bytes Made(std::string_view head, std::size_t randomCount) {
    Bytes out(head.begin(), head.end());
    std::mt19937 random(static_cast<std::uint32_t>(head.size() + randomCount));
    for (std::size_t k = 0; k < randomCount; ++k)
        out.push_back(static_cast<std::uint8_t>(random() >> 24));
    return out;
}

// Line ends as a transfer converts them: every CR LF to LF, or every lone LF to CR LF.
Bytes LineEnds(const Bytes& in, bool toCrLf) {
    Bytes out;
    for (std::size_t k = 0; k < in.size(); ++k) {
        if (toCrLf && in[k] == 10 && (k == 0 || in[k - 1] != 13)) out.push_back(13);
        if (toCrLf || !(in[k] == 13 && k + 1 < in.size() && in[k + 1] == 10)) out.push_back(in[k]);
    }
    return out;
}

struct CorpusFile {
    std::string name;
    Bytes bytes;
    std::optional<Verdict> expected;  // none: anything but not_a_document
};

// The real classes: documents (the samples and generated ones), documents damaged as archives
// hand them over, and other kinds of file an archive holds beside them.
std::vector<CorpusFile> Corpus(int real) {
    constexpr Verdict Document = Verdict::Document, Doubtful = Verdict::Doubtful,
                      Not = Verdict::NotADocument;
    std::vector<CorpusFile> documents;
    for (const BundledSample& sample : BuildBundledSamples()) {
        const Bytes& bytes = sample.document.bytes;
        // The memo lost its end marker and comes in the old short layout; the note has no
        // header: both are odd on purpose.
        const bool odd = sample.fileName == "KURZ.TXT" || sample.fileName == "NOTIZ.TXT";
        documents.push_back({sample.fileName, bytes, odd ? Doubtful : Document});
        // A text that opens with a blank line or an attribute escape puts a byte below 32 after
        // the zero: the reader falls back to 0 and reads header and format block as text.
        for (const auto& [name, opening] :
             {std::pair{"BRIEF.TXT", "\r\n"sv}, std::pair{"ATTRIBUT.DOC", "\x1BS\x02X"sv}}) {
            Bytes opened = bytes;
            opened.insert(opened.begin() + sample.document.textStart, opening.begin(),
                          opening.end());
            if (sample.fileName == name)
                documents.push_back({name + " opening"s, opened, Doubtful});
        }
    }
    for (const auto& [kind, name] : {std::pair{SampleKind::Realistic, "realistic "s},
                                     {SampleKind::Attributes, "attributes "s},
                                     {SampleKind::Plain, "plain "s}}) {
        for (const std::int64_t size : {4096, 65536, 1048576})
            documents.push_back(
                {name + std::to_string(size), BuildLargeDocument(kind, size).bytes, Document});
    }
    if (real == 0) return documents;

    Bytes readme = Found("README.md");
    EXPECT_GE(readme.size(), 1000u);  // its first 1,000 bytes are taken below
    readme.resize(std::max<std::size_t>(readme.size(), 1000));
    std::vector<CorpusFile> files;
    if (real == 1) {
        // Line ends converted by a transfer, the first sector or a cluster overwritten by
        // other data. (Cut off: at every length, in the test.)
        const Bytes text(readme.begin(), readme.begin() + 512), junk = Made("", 4096);
        for (const CorpusFile& document : documents) {
            const Bytes& bytes = document.bytes;
            if (bytes.size() > 100000) continue;
            files.push_back({document.name + " CR LF to LF", LineEnds(bytes, false), {}});
            files.push_back({document.name + " LF to CR LF", LineEnds(bytes, true), {}});
            const auto overwritten = [&](const char* what, const Bytes& by, std::size_t at,
                                         std::size_t size) {
                Bytes copy = bytes;
                std::copy_n(by.begin(), size, copy.begin() + static_cast<std::ptrdiff_t>(at));
                files.push_back({document.name + what, copy, {}});
            };
            if (bytes.size() > 1024) {
                overwritten(" first sector overwritten", junk, 0, 512);
                overwritten(" first sector overwritten by LF text", text, 0, 512);
            }
            if (bytes.size() >= 16384)
                overwritten(" cluster overwritten", junk, bytes.size() / 2, 4096);
        }
        return files;
    }
    Bytes utf16 = {0xFF, 0xFE};
    for (std::size_t k = 0; k < 1000; ++k)
        utf16.insert(utf16.end(), {readme[k], 0});
    files = {
        {"PNG image", Made("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\0\0\0\0\xC0\x08\x02"sv, 8192),
         Not},
        {"random bytes", Made("", 8192), Not},
        // A document's own format block is zeros, so zeros alone show no other kind of file.
        {"zeros", Bytes(4096, 0), Doubtful},
        // What a document without a header looks like (NOTIZ.TXT): nothing tells them apart.
        {"README.md, CR LF", LineEnds(readme, true), Doubtful},
        {"README.md, UTF-16", utf16, Not},
    };
    // The converter's own outputs beside the samples, sources, and system files.
    for (const char* name :
         {"samples/BRIEF.rtf", "samples/BRIEF.html", "samples/BRIEF.utf8.txt",
          "samples/BERICHT.report.txt", "samples/KURZ.utf8.txt", "samples/NOTIZ.rtf",
          "samples/NOTIZ.utf8.txt", "README.md", "src/format/document_format.h", "/proc/self/exe",
          "/bin/sh", "/usr/share/common-licenses/GPL-3", "/usr/share/zoneinfo/Europe/Berlin",
          "/usr/share/misc/magic.mgc", "/usr/share/doc/cmake/changelog.Debian.gz"}) {
        // NOTIZ.utf8.txt (17 bytes) is too short for the header fields, which alone could show
        // it is none.
        const Verdict verdict = name == "samples/NOTIZ.utf8.txt"sv ? Doubtful : Not;
        if (Bytes bytes = Found(name); !bytes.empty()) files.push_back({name, bytes, verdict});
    }
    return files;
}

Plausibility Judge(const std::uint8_t* bytes, std::size_t length) {
    DocumentFacts facts;
    AnalyseDocument(bytes, static_cast<std::int64_t>(length), facts);
    return JudgePlausibility(facts);
}

TEST(Plausibility, CalibrationCorpus) {
    std::map<Verdict, int> table[3];
    for (int real = 0; real < 3; ++real) {
        for (const CorpusFile& file : Corpus(real)) {
            const Plausibility p = Judge(file.bytes.data(), file.bytes.size());
            ++table[real][p.verdict];
            std::printf("%-60s %-15s %s\n", file.name.c_str(),
                        std::string(VerdictName(p.verdict)).c_str(), Codes(p).c_str());
            EXPECT_TRUE(real == 2 || p.verdict != Verdict::NotADocument) << file.name;
            EXPECT_EQ(p.verdict, file.expected.value_or(p.verdict))
                << file.name << ": " << Codes(p);
            // Cut off at any length, a document keeps the editor's header once it has one.
            for (std::size_t length = 1;
                 real == 0 && length < file.bytes.size() && file.bytes.size() <= 20000; ++length) {
                const Plausibility cut = Judge(file.bytes.data(), length);
                ++table[1][cut.verdict];
                ASSERT_NE(cut.verdict, Verdict::NotADocument)
                    << file.name << " cut at " << length << ": " << Codes(cut);
            }
        }
    }
    std::printf("\n%-14s %9s %9s %15s\n", "real class", "document", "doubtful", "not_a_document");
    const char* const names[3] = {"document", "damaged", "non-document"};
    for (int real = 0; real < 3; ++real) {
        std::printf("%-14s %9d %9d %15d\n", names[real], table[real][Verdict::Document],
                    table[real][Verdict::Doubtful], table[real][Verdict::NotADocument]);
    }
}

// Each case changes the facts of a clean document: 2,000 bytes, text at 759 after a zero,
// margin 65, page 72, 10 per inch, spacing 1, an end marker.
TEST(Plausibility, EachRuleAtItsThreshold) {
    using F = DocumentFacts&;
    // n bytes of a code below 32 that AnalyseDocument counts as unknown.
    static const auto unknown = [](F f, int code, std::int64_t n) {
        f.counts.byteCounts[code] += n;
        f.unknownControlCodes += n;
    };
    static const auto lineFeeds = [](F f, std::int64_t n, std::int64_t hard, std::int64_t soft) {
        f.counts.byteCounts[LineFeed] = n;
        f.counts.byteCounts[HardBreak] = hard, f.counts.byteCounts[SoftBreak] = soft;
    };
    constexpr Verdict Document = Verdict::Document, Doubtful = Verdict::Doubtful,
                      Not = Verdict::NotADocument;
    const struct {
        void (*change)(F);
        std::string_view codes;
        Verdict verdict;
    } cases[] = {
        // Every rule just short of its threshold.
        {[](F f) {
             f.header = {{0xBE, 0x12}, 255, 255, 30, 6, 0, 0}, f.incompleteEscapes = 1;
             unknown(f, 1, 62), lineFeeds(f, 4, 0, 0);
         },
         "", Document},
        {[](F f) {
             f.header = {{0xBE, 0x12}, 1, 1, 1, 1, 0, 0};
         },
         "", Document},
        // Each bound of the header's ranges just crossed (margin 256 and spacing 7 below).
        {[](F f) { f.header.rightMargin = 0; }, "header_out_of_range", Doubtful},
        {[](F f) { f.header.pageLength = 0; }, "header_out_of_range", Doubtful},
        {[](F f) { f.header.pageLength = 256; }, "header_out_of_range", Doubtful},
        {[](F f) { f.header.charsPerInch = 0; }, "header_out_of_range", Doubtful},
        {[](F f) { f.header.charsPerInch = 31; }, "header_out_of_range", Doubtful},
        {[](F f) { f.header.lineSpacing = 0; }, "header_out_of_range", Doubtful},
        {[](F f) { f.hasHeader = false, f.header = {}; }, "no_header", Doubtful},
        // A file no longer than the search window's first offset has no window to search.
        {[](F f) { f.length = 200, f.textStart = 0, f.textStartRule = TextStartRule::FileStart; },
         "", Document},
        {[](F f) { f.length = 201, f.textStart = 0, f.textStartRule = TextStartRule::FileStart; },
         "text_start_fallback", Doubtful},
        {[](F f) { f.endMarkerFound = false; }, "no_end_marker", Doubtful},
        {[](F f) { f.incompleteEscapes = 2; }, "incomplete_escapes", Doubtful},
        // 5 % of the 1,241 bytes from 759 on is 62.05, and at least 32; zeros, page breaks and
        // end markers never count.
        {[](F f) { unknown(f, 1, 63); }, "foreign_control_codes", Doubtful},
        {[](F f) { f.length = 859, unknown(f, 1, 31); }, "", Document},
        {[](F f) { f.length = 859, unknown(f, 1, 32); }, "foreign_control_codes", Doubtful},
        {[](F f) { unknown(f, 0, 300), unknown(f, PageBreak, 300), unknown(f, EndOfText, 300); },
         "", Document},
        // Loose line feeds: more than 4, and more than the breaks.
        {[](F f) { lineFeeds(f, 5, 0, 0); }, "loose_line_feeds", Doubtful},
        {[](F f) { lineFeeds(f, 12, 4, 2); }, "", Document},
        {[](F f) { lineFeeds(f, 13, 4, 2); }, "loose_line_feeds", Doubtful},
        {[](F f) { std::memcpy(f.firstBytes, "%PDF-1.4", 8); }, "foreign_signature", Doubtful},
        // not_a_document only for a header not the editor's and another kind of file in the
        // rest; line ends and signature count only without the zero before the text.
        {[](F f) { f.header.lineSpacing = 7, unknown(f, 3, 63); },
         "header_out_of_range foreign_control_codes", Not},
        {[](F f) { f.hasHeader = false, f.header = {}, unknown(f, 3, 63); },
         "no_header foreign_control_codes", Doubtful},
        {[](F f) { f.header.rightMargin = 256, std::memcpy(f.firstBytes, "MZ", 2); },
         "header_out_of_range foreign_signature", Doubtful},
        {[](F f) {
             f.header.rightMargin = 256, std::memcpy(f.firstBytes, "MZ", 2);
             f.textStartRule = TextStartRule::Fallback759;
         },
         "header_out_of_range text_start_fallback foreign_signature", Not},
        {[](F f) { f.header.rightMargin = 256, lineFeeds(f, 5, 0, 0); },
         "header_out_of_range loose_line_feeds", Doubtful},
        {[](F f) {
             f.header.rightMargin = 256, lineFeeds(f, 5, 0, 0);
             f.textStartRule = TextStartRule::FileStart;
         },
         "header_out_of_range text_start_fallback loose_line_feeds", Not},
    };
    for (const auto& c : cases) {
        DocumentFacts facts;
        facts.length = 2000;
        facts.textStart = 759;
        facts.textStartRule = TextStartRule::ZeroWindow;
        facts.hasHeader = facts.endMarkerFound = true;
        facts.header = {{0xBE, 0x12}, 65, 72, 10, 1, 0, 0};
        c.change(facts);
        const Plausibility p = JudgePlausibility(facts);
        EXPECT_EQ(Codes(p), c.codes) << "case " << &c - cases;
        EXPECT_EQ(p.verdict, c.verdict) << "case " << &c - cases;
    }
}

}  // namespace
}  // namespace brevikon
