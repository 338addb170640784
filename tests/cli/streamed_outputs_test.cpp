// Memory that grows with neither the output nor the number of workers. Outputs are written as
// they are made, in blocks: the bytes of a whole output at every block size, pieces no larger
// than the block, and a stream that cannot finish leaves no file. The workers' document
// images together stay within a budget: more workers wait, none fails.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include "files/file_placing_posix.h"
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "cli/image_budget.h"
#include "cli_fixture.h"
#include "document/document_output.h"
#include "document/piece_stream.h"
#include "files/file_access.h"
#include "files/write_content.h"
#include "format/document_format.h"
#include "support/random_document.h"
#include "tools/sample_documents.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

// Keeps what it is given and the largest piece; refuses every piece from refuseFrom on.
class PieceSink : public ByteSink {
  public:
    explicit PieceSink(std::size_t refuseFrom = SIZE_MAX) : refuseFrom_(refuseFrom) {}
    bool Put(std::string_view bytes) override {
        if (pieces_ >= refuseFrom_) return false;
        ++pieces_;
        largest_ = std::max(largest_, bytes.size());
        bytes_.append(bytes);
        return true;
    }
    std::string bytes_;
    std::size_t pieces_ = 0;
    std::size_t largest_ = 0;

  private:
    std::size_t refuseFrom_;
};

using Bytes = std::vector<std::uint8_t>;

DocumentInput InputOf(const Bytes& document, FontMode mode = FontMode::Monospace,
                      bool reflow = false) {
    return {document.data(), static_cast<std::int64_t>(document.size()), mode, u"DOK.TXT", reflow};
}

struct Named {
    std::string name;
    Bytes bytes;
};

// The samples, large generated documents, and one long wide run: the HTML writes a wide run
// twice, so that run must stay in the buffer however long it is.
std::vector<Named> Documents() {
    std::vector<Named> documents;
    for (const BundledSample& sample : BuildBundledSamples())
        documents.push_back({sample.fileName, sample.document.bytes});
    for (const SampleKind kind : {SampleKind::Realistic, SampleKind::Attributes, SampleKind::Plain})
        documents.push_back({"generated", BuildLargeDocument(kind, 1 << 20).bytes});
    Bytes wide;
    for (int i = 0; i < 100000; ++i)
        wide.insert(wide.end(),
                    {Escape, EscapeLetter, Wide, static_cast<std::uint8_t>('a' + i % 26)});
    wide.insert(wide.end(), {HardBreak, LineFeed, EndOfText});
    documents.push_back({"one wide run", wide});
    return documents;
}

TEST(StreamedOutputs, GiveTheBytesOfWholeOutputsInPiecesOfTheBlockSize) {
    DocumentOutput whole, streamed;
    for (const Named& document : Documents()) {
        for (const FontMode mode : {FontMode::Monospace, FontMode::Proportional}) {
            const DocumentInput input = InputOf(document.bytes, mode);
            for (const OutputForm& form : OutputForms()) {
                ASSERT_TRUE(whole.Produce(form.format, input));
                for (const std::size_t block :
                     {std::size_t{1}, std::size_t{5000}, StreamBlockSize}) {
                    PieceSink sink;
                    ASSERT_TRUE(streamed.Stream(form.format, input, sink, block));
                    const std::string where = document.name + ", " + std::string(form.name) +
                                              ", block " + std::to_string(block);
                    ASSERT_EQ(sink.bytes_, whole.bytes()) << where;
                    EXPECT_EQ(streamed.statusLine(), whole.statusLine()) << where;
                    // The buffers start at 64 KiB and double up to the block size at most:
                    // a piece is never more than twice that, except a wide run held whole.
                    const bool bounded =
                        document.name != "one wide run" || form.format != OutputFormat::Html;
                    if (bounded && !form.madeWhole) {
                        EXPECT_LE(sink.largest_, 2 * std::max<std::size_t>(block, 65536)) << where;
                    }
                }
            }
        }
    }
}

// A sink that fails as a full memory does.
class ThrowingSink : public ByteSink {
  public:
    bool Put(std::string_view) override { throw std::bad_alloc(); }
};

// A sink that refuses one piece and counts what it is offered after that.
class RefusingOnce : public ByteSink {
  public:
    explicit RefusingOnce(std::size_t refused) : refused_(refused) {}
    bool Put(std::string_view) override { return offered_++ != refused_; }
    std::size_t offered_ = 0;

  private:
    std::size_t refused_;
};

// A piece the sink refuses ends the conversion as failed, in one pass as on two threads (a
// text cut in pieces, which offers nothing after it): a throw reaches the caller, the next
// conversion is whole again; after a sink that threw, no buffer still hands on to it.
TEST(StreamedOutputs, ARefusedPieceFailsTheOutputAndOnlyIt) {
    const Bytes document = BuildLargeDocument(SampleKind::Realistic, 1 << 20).bytes;
    const DocumentInput input = InputOf(document);
    DocumentOutput whole;
    for (const bool inPieces : {false, true}) {
        DocumentOutput output;
        if (inPieces) output.SetPieceRule({0, 16384});
        const std::size_t block = inPieces ? StreamBlockSize : 4096;
        for (const OutputForm& form : OutputForms()) {
            SCOPED_TRACE(std::string(form.name) + (inPieces ? " in pieces" : " in one pass"));
            // Forms made whole come in one piece.
            for (const std::size_t refused : {0u, 1u, 7u}) {
                if (form.madeWhole && refused > 0) break;
                RefusingOnce sink(refused);
                EXPECT_FALSE(output.Stream(form.format, input, sink, block));
                // Two threads stop at once; one pass may still offer what it had made.
                if (inPieces) {
                    EXPECT_EQ(sink.offered_, refused + 1);
                }
            }
            ASSERT_TRUE(whole.Produce(form.format, input));
            const auto streamsWhole = [&] {
                PieceSink sink;
                ASSERT_TRUE(output.Stream(form.format, input, sink, block));
                EXPECT_EQ(sink.bytes_, whole.bytes());
                EXPECT_GT(sink.pieces_, form.madeWhole ? 0u : 10u);
            };
            streamsWhole();
            {
                ThrowingSink throwing;
                EXPECT_THROW(output.Stream(form.format, input, throwing, block), std::bad_alloc);
            }
            ASSERT_TRUE(output.Produce(form.format, input));
            EXPECT_EQ(output.bytes(), whole.bytes());
            streamsWhole();
        }
    }
}

// A large text is converted in pieces on two threads and handed on in order: the bytes of one
// pass in every text form, also where a piece's text ends early (the later pieces are dropped)
// or a piece is made of nothing but codes. Small pieces put every kind of cut to the test.
TEST(StreamedOutputs, PiecesOnTwoThreadsGiveTheBytesOfOnePass) {
    std::mt19937 random(1987);
    DocumentOutput whole, pieces;
    const OutputFormat forms[] = {OutputFormat::Rtf, OutputFormat::Text, OutputFormat::Html};
    std::size_t cutOutputs = 0;
    for (int round = 0; round < 60; ++round) {
        Bytes bytes = round < 2 ? BuildLargeDocument(SampleKind::Realistic, 1 << 20).bytes
                                : test::RandomDocument(random, 10000 + random() % 40000);
        // Most random texts run to the end; the others end within some piece.
        if (round % 4 != 0) std::replace(bytes.begin(), bytes.end(), EndOfText, std::uint8_t{'z'});
        pieces.SetPieceRule({0, round < 2 ? 65536 : 1500 + std::int64_t(random() % 2000)});
        const DocumentInput input = InputOf(
            bytes, round % 2 ? FontMode::Proportional : FontMode::Monospace, round % 3 == 0);
        for (const OutputFormat format : forms) {
            ASSERT_TRUE(whole.Produce(format, input));
            PieceSink sink;
            ASSERT_TRUE(pieces.Stream(format, input, sink));
            ASSERT_EQ(sink.bytes_, whole.bytes()) << "round " << round;
            EXPECT_EQ(pieces.statusLine(), whole.statusLine());
            cutOutputs += sink.pieces_ > 2;
        }
    }
    EXPECT_GT(cutOutputs, 100u);  // most outputs were made in pieces
}

// Writes each piece's bounds as its bytes, taking longer on some pieces than on others, as
// two cores of different speeds do; the text ends within the piece that ends at endedAt.
class TimedPieces : public PieceConverter {
  public:
    TimedPieces(std::int64_t endedAt, std::int64_t throwAt)
        : endedAt_(endedAt), throwAt_(throwAt) {}
    bool Convert(const TextPiece& piece, bool& ended) override {
        if (piece.to == throwAt_) throw std::bad_alloc();
        bytes_ = std::to_string(piece.from) + "-" + std::to_string(piece.to) + ";";
        std::this_thread::sleep_for(std::chrono::microseconds(piece.from % 7 == 0 ? 900 : 50));
        ended = piece.to == endedAt_;
        return true;
    }
    std::string_view bytes() const override { return bytes_; }

  private:
    std::int64_t endedAt_, throwAt_;
    std::string bytes_;
};

// Pieces converted before their turn wait with their converter while the thread goes on with
// another: whatever order they are finished in and however few converters there are, every
// piece is handed on once, in order, with its own bytes (never those of a later piece its
// converter went on to), and nothing after the piece the text ended in or a refusal.
TEST(StreamedOutputs, PiecesFinishedOutOfTurnAreHandedOnInOrder) {
    std::vector<std::int64_t> ends;
    std::string expected;
    for (std::int64_t end = 1; end <= 60; ++end) {
        expected += std::to_string(end - 1) + "-" + std::to_string(end) + ";";
        ends.push_back(end);
    }
    const auto upTo = [&expected](std::int64_t end) {
        const std::string last = "-" + std::to_string(end) + ";";
        return expected.substr(0, expected.find(last) + last.size());
    };
    for (const std::size_t count : {1u, 2u, 3u, 4u, 7u}) {
        SCOPED_TRACE(std::to_string(count) + " converters");
        const auto stream = [&](std::int64_t endedAt, std::int64_t throwAt, ByteSink& sink) {
            std::vector<std::unique_ptr<TimedPieces>> converters;
            std::vector<PieceConverter*> pointers;
            for (std::size_t i = 0; i < count; ++i) {
                converters.push_back(std::make_unique<TimedPieces>(endedAt, throwAt));
                pointers.push_back(converters.back().get());
            }
            return StreamPieces(0, ends, pointers, sink);
        };
        for (const std::int64_t endedAt : {std::int64_t{-1}, std::int64_t{1}, std::int64_t{29}}) {
            PieceSink sink;
            ASSERT_TRUE(stream(endedAt, -1, sink));
            EXPECT_EQ(sink.bytes_, endedAt < 0 ? expected : upTo(endedAt)) << endedAt;
        }
        PieceSink refusing(20);
        EXPECT_FALSE(stream(-1, -1, refusing));
        EXPECT_EQ(refusing.bytes_, upTo(20));
        // The throw may come while earlier pieces still wait: what was handed on is some of
        // the pieces before it, in order.
        PieceSink throwing;
        EXPECT_THROW(stream(-1, 43, throwing), std::bad_alloc);
        EXPECT_EQ(upTo(42).substr(0, throwing.bytes_.size()), throwing.bytes_);
        if (count == 1) {
            EXPECT_EQ(throwing.bytes_, upTo(42));
        }
    }
}

// Random letters, at least total of them, in pieces of the sizes pieceSize() gives, and a
// producer that puts them in those pieces.
struct CutContent {
    std::string content;
    std::vector<std::size_t> cuts;
    ContentProducer Producer() const {
        return [this](ByteSink& sink) {
            std::size_t at = 0;
            for (const std::size_t size : cuts) {
                if (!sink.Put(std::string_view(content).substr(at, size))) return false;
                at += size;
            }
            return true;
        };
    }
};

template <typename PieceSize>
CutContent CutRandomContent(std::mt19937& random, std::size_t total, PieceSize pieceSize) {
    CutContent cut;
    while (cut.content.size() < total) {
        cut.cuts.push_back(pieceSize());
        for (std::size_t i = 0; i < cut.cuts.back(); ++i)
            cut.content += static_cast<char>('a' + random() % 26);
    }
    return cut;
}

// Pieces of every size, some larger than a block, reach the file as the very same bytes, in
// writes of whole blocks at offsets that are multiples of the block, and the rest in one last
// write. A write that fails, also the last one, fails the content with the system's error and
// nothing is written after it.
TEST(StreamedOutputs, PiecesAreWrittenInWholeBlocksAndAFailedWriteEndsThem) {
    std::mt19937 random(437);
    const CutContent cut = CutRandomContent(random, 5 * WriteBlockSize + 12345, [&random] {
        return random() % 5 == 0 ? random() % (3 * WriteBlockSize) : random() % 200000;
    });
    const std::string& content = cut.content;
    const ContentProducer producer = cut.Producer();
    // -1 fails none; the last (the block held at the end) is found by the first round.
    std::vector<int> failures = {-1, 0, 2};
    for (std::size_t round = 0; round < failures.size(); ++round) {
        const int failAt = failures[round];
        std::string file;
        std::vector<std::size_t> writes;
        WriteResult result;
        const bool written = WriteContentWith(
            OutputContent(producer), result, [&](std::string_view bytes, int& error) {
                if (static_cast<int>(writes.size()) == failAt) {
                    error = 28;
                    return false;
                }
                EXPECT_EQ(file.size() % WriteBlockSize, 0u) << "a write starts within a block";
                writes.push_back(bytes.size());
                file.append(bytes);
                return true;
            });
        if (failAt < 0) {
            ASSERT_TRUE(written);
            EXPECT_EQ(file, content);
            // Whole blocks (a large piece's several at once), then the rest.
            EXPECT_LE(writes.size(), content.size() / WriteBlockSize + 1);
            for (std::size_t i = 0; i + 1 < writes.size(); ++i)
                EXPECT_EQ(writes[i] % WriteBlockSize, 0u) << "write " << i;
            EXPECT_EQ(writes.back(), content.size() % WriteBlockSize);
            failures.push_back(static_cast<int>(writes.size()) - 1);
        } else {
            EXPECT_FALSE(written) << failAt;
            EXPECT_EQ(result.systemError, 28);
            EXPECT_EQ(static_cast<int>(writes.size()), failAt);
            EXPECT_EQ(file, content.substr(0, file.size()));
        }
    }
}

#ifndef _WIN32
// Writes into a small pipe, interrupted by signals, stop short or fail with EINTR. Each goes on
// from where it stopped, for pieces put whole and for the blocks gathered from smaller ones, so
// the reader gets every byte once and in order.
TEST(StreamedOutputs, InterruptedWritesGoOnWhereTheyStopped) {
    struct sigaction quiet = {}, before = {};
    quiet.sa_handler = [](int) {};
    ::sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0;  // no restart: a blocked write returns what it has written so far
    ASSERT_EQ(::sigaction(SIGUSR1, &quiet, &before), 0);
    std::mt19937 random(1200);
    const CutContent cut = CutRandomContent(random, 3 * WriteBlockSize, [&random] {
        return random() % 3 == 0 ? random() % 40 : random() % (2 * WriteBlockSize);
    });
    const std::string& content = cut.content;
    const ContentProducer pieces = cut.Producer();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ::fcntl(pipe[1], F_SETPIPE_SZ, 4096);
    std::string received;
    std::thread reader([&] {
        char buffer[3000];
        for (;;) {
            const ssize_t got = ::read(pipe[0], buffer, sizeof buffer);
            if (got == 0 || (got < 0 && errno != EINTR)) break;
            if (got > 0) received.append(buffer, static_cast<std::size_t>(got));
        }
    });
    std::atomic<bool> written = false;
    const pthread_t writer = ::pthread_self();
    std::thread interrupter([&] {
        while (!written) {
            ::pthread_kill(writer, SIGUSR1);
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    });
    WriteResult result;
    const bool whole = posix::WriteContent(pipe[1], OutputContent(pieces), result);
    written = true;
    interrupter.join();
    ::close(pipe[1]);
    reader.join();
    ::close(pipe[0]);
    ::sigaction(SIGUSR1, &before, nullptr);
    EXPECT_TRUE(whole) << result.systemError;
    EXPECT_EQ(received.size(), content.size());
    EXPECT_TRUE(received == content);
}
#endif

class StreamedFilesTest : public test::CliFixture {};

// A producer that cannot finish (memory ran out half-way) places nothing: the old output
// stays, no temporary is left, and the result says the content was incomplete, not that
// a write failed. A whole one is placed in its pieces.
TEST_F(StreamedFilesTest, AnOutputThatCannotBeMadeWholeIsNeverPlaced) {
    const fs::path old = folder_ / "ALT.rtf", fresh = folder_ / "NEU.rtf";
    WriteFile(old, "earlier output");
    int calls = 0;
    const ContentProducer halfway = [&](ByteSink& sink) {
        ++calls;
        return sink.Put(std::string(100000, 'x')) && false;
    };
    const ContentProducer complete = [](ByteSink& sink) {
        return sink.Put("{\\rtf1 ") && sink.Put(std::string(100000, 'y')) && sink.Put("}");
    };
    const FolderResult folder = OpenFolder(folder_.native());
    ASSERT_TRUE(folder.folder.open());
    for (const fs::path& target : {old, fresh}) {
        const NativeString name = target.filename().native();
        for (const WriteResult& result :
             {WriteNewOutput(folder.folder, name, OutputContent(halfway), std::nullopt),
              WriteFileReplacing(target.native(), OutputContent(halfway))}) {
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.incomplete);
            EXPECT_EQ(result.systemError, 0);
        }
    }
    EXPECT_GE(calls, 4);
    EXPECT_EQ(ReadFile(old), "earlier output");
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);

    EXPECT_TRUE(WriteNewOutput(folder.folder, old.filename().native(), OutputContent(complete),
                               std::nullopt)
                    .ok);
    EXPECT_TRUE(WriteFileReplacing(fresh.native(), OutputContent(complete)).ok);
    const std::string expected = "{\\rtf1 " + std::string(100000, 'y') + "}";
    EXPECT_EQ(ReadFile(old), expected);
    EXPECT_EQ(ReadFile(fresh), expected);
}

// Eight workers asking for 40 bytes each under a budget of 100 never hold more than 100; a
// block larger than the whole budget is granted once nothing else is held.
TEST(ImageBudget, WorkersWaitForEachOtherAndEveryBlockGetsItsTurn) {
    BudgetedHeap heap(ProcessHeap(), 100);
    auto work = [&heap](std::size_t size) {
        for (int i = 0; i < 200; ++i) {
            HeapBlock block;
            if (!block.Allocate(heap, size)) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        return true;
    };
    std::vector<std::future<bool>> workers;
    for (int i = 0; i < 8; ++i)
        workers.push_back(std::async(std::launch::async, work, i == 0 ? 150 : 40));
    for (std::future<bool>& worker : workers) {
        ASSERT_EQ(worker.wait_for(std::chrono::seconds(60)), std::future_status::ready);
        EXPECT_TRUE(worker.get());
    }
    EXPECT_LE(heap.peak(), 150u);
    EXPECT_GE(heap.peak(), 80u);  // they did work side by side
}

// A budget smaller than one document still converts every file, one at a time.
TEST_F(StreamedFilesTest, ABudgetBelowOneDocumentConvertsEveryFileInTurn) {
    const Bytes document = BuildLargeDocument(SampleKind::Realistic, 3 << 20).bytes;
    std::vector<std::filesystem::path> arguments = {"-j", "4", "--memory-budget", "1", "-q"};
    for (const char* name : {"A.TXT", "B.TXT", "C.TXT", "D.TXT", "E.TXT"}) {
        WriteFile(folder_ / name, std::string(document.begin(), document.end()));
        arguments.push_back(folder_ / name);
    }
    ASSERT_EQ(Run(arguments), 0) << err_;
    const std::string first = ReadFile(folder_ / "A.rtf");
    EXPECT_GT(first.size(), document.size());
    EXPECT_EQ(ReadFile(folder_ / "E.rtf"), first);
}

// A document large enough to be read in two halves at once gives the bytes of its image as
// converted in memory: each half arrived whole and in its place.
TEST_F(StreamedFilesTest, ALargeDocumentReadInTwoHalvesConvertsAsInMemory) {
    const Bytes document = BuildLargeDocument(SampleKind::Realistic, 9 << 20).bytes;
    ASSERT_GE(document.size(), std::size_t{8} << 20);
    WriteFile(folder_ / "GROSS.TXT", std::string(document.begin(), document.end()));
    ASSERT_EQ(Run({"-q", "--to", "text", folder_ / "GROSS.TXT"}), 0) << err_;
    DocumentOutput whole;
    ASSERT_TRUE(whole.Produce(OutputFormat::Text,
                              {document.data(), static_cast<std::int64_t>(document.size()),
                               FontMode::Monospace, u"GROSS.TXT"}));
    EXPECT_TRUE(ReadFile(folder_ / "GROSS.utf8.txt") == whole.bytes());
}

}  // namespace
}  // namespace brevikon
