#include "document/piece_stream.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace brevikon {

namespace {

// Which piece is taken and handed on next, shared by the two threads.
struct Turns {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t taken = 0;   // pieces taken for converting
    std::size_t handed = 0;  // pieces handed to the sink: the next one's turn
    bool stop = false;       // the text ended, or something failed: take and hand on no more
    bool whole = true;
    std::exception_ptr error;
};

void ConvertInTurn(const std::vector<TextPiece>& pieces, PieceConverter& converter, ByteSink& sink,
                   Turns& turns) {
    try {
        for (;;) {
            std::size_t index = 0;
            {
                const std::lock_guard lock(turns.mutex);
                if (turns.stop || turns.taken == pieces.size()) return;
                index = turns.taken++;
            }
            bool ended = false;
            const bool made = converter.Convert(pieces[index], ended);
            {
                std::unique_lock lock(turns.mutex);
                turns.changed.wait(lock,
                                   [&turns, index] { return turns.stop || turns.handed == index; });
                if (turns.stop) return;
            }
            // Until handed moves on, only this thread hands anything to the sink.
            const std::string_view bytes = converter.bytes();
            const bool put = made && (bytes.empty() || sink.Put(bytes));
            {
                const std::lock_guard lock(turns.mutex);
                ++turns.handed;
                turns.whole = turns.whole && put;
                turns.stop = turns.stop || !put || ended;
            }
            turns.changed.notify_all();
        }
    } catch (...) {
        {
            const std::lock_guard lock(turns.mutex);
            if (!turns.error) turns.error = std::current_exception();
            turns.stop = true;
        }
        turns.changed.notify_all();
    }
}

}  // namespace

bool StreamPieces(std::int64_t textStart, const std::vector<std::int64_t>& ends,
                  PieceConverter& mine, PieceConverter& helper, ByteSink& sink) {
    std::vector<TextPiece> pieces;
    pieces.reserve(ends.size());
    std::int64_t from = textStart;
    for (const std::int64_t end : ends) {
        pieces.push_back({from, end, pieces.empty(), end == ends.back()});
        from = end;
    }
    Turns turns;
    std::thread second;
    try {
        second = std::thread(ConvertInTurn, std::cref(pieces), std::ref(helper), std::ref(sink),
                             std::ref(turns));
    } catch (const std::system_error&) {
        // No second thread to be had: this one takes every piece.
    }
    ConvertInTurn(pieces, mine, sink, turns);
    if (second.joinable()) second.join();
    if (turns.error) std::rethrow_exception(turns.error);
    return turns.whole;
}

}  // namespace brevikon
