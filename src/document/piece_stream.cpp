#include "document/piece_stream.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace brevikon {

namespace {

// A converted piece waiting for its turn to be handed on.
struct Converted {
    PieceConverter* converter = nullptr;  // null: not converted yet, or handed on
    bool made = false;
    bool ended = false;
};

// Which piece is taken and handed on next, shared by the two threads.
struct Turns {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<PieceConverter*> idle;  // converters holding no piece
    std::vector<Converted> converted;   // by piece
    std::size_t taken = 0;              // pieces taken for converting
    std::size_t handed = 0;             // pieces handed to the sink: the next one's turn
    bool handing = false;               // a thread is handing pieces to the sink
    bool stop = false;  // the text ended, or something failed: take and hand on no more
    bool whole = true;
    std::exception_ptr error;
};

// Hands on the pieces whose turn has come, in order, for as long as the next one is
// converted; called with the lock held and handing set, returns with both.
void HandOnInTurn(Turns& turns, ByteSink& sink, std::unique_lock<std::mutex>& lock) {
    while (!turns.stop && turns.handed < turns.converted.size() &&
           turns.converted[turns.handed].converter) {
        const Converted piece = turns.converted[turns.handed];
        lock.unlock();
        const std::string_view bytes = piece.converter->bytes();
        const bool put = piece.made && (bytes.empty() || sink.Put(bytes));
        lock.lock();
        turns.converted[turns.handed++].converter = nullptr;
        turns.idle.push_back(piece.converter);
        turns.whole = turns.whole && put;
        turns.stop = turns.stop || !put || piece.ended;
        turns.changed.notify_all();
    }
}

// Takes pieces while any converter is idle. A piece converted before its turn waits with its
// converter, and this thread goes on with another, so that neither thread waits for the
// other while converters are left; whichever thread finds the next piece's turn come hands
// it on, and the waiting ones after it.
void ConvertInTurn(const std::vector<TextPiece>& pieces, ByteSink& sink, Turns& turns) {
    try {
        std::unique_lock lock(turns.mutex);
        for (;;) {
            turns.changed.wait(lock, [&turns, &pieces] {
                return turns.stop || turns.taken == pieces.size() || !turns.idle.empty();
            });
            if (turns.stop || turns.taken == pieces.size()) return;
            const std::size_t index = turns.taken++;
            PieceConverter* converter = turns.idle.back();
            turns.idle.pop_back();
            lock.unlock();
            Converted piece{converter};
            piece.made = converter->Convert(pieces[index], piece.ended);
            lock.lock();
            turns.converted[index] = piece;
            if (turns.handing) continue;  // the thread handing on takes this one in its turn
            turns.handing = true;
            HandOnInTurn(turns, sink, lock);
            turns.handing = false;
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
                  std::span<PieceConverter* const> converters, ByteSink& sink) {
    std::vector<TextPiece> pieces;
    pieces.reserve(ends.size());
    std::int64_t from = textStart;
    for (const std::int64_t end : ends) {
        pieces.push_back({from, end, pieces.empty(), end == ends.back()});
        from = end;
    }
    Turns turns;
    turns.idle.assign(converters.rbegin(), converters.rend());
    turns.converted.resize(pieces.size());
    std::thread second;
    if (converters.size() > 1) {
        try {
            second = std::thread(ConvertInTurn, std::cref(pieces), std::ref(sink), std::ref(turns));
        } catch (const std::system_error&) {
            // No second thread to be had: this one takes every piece.
        }
    }
    ConvertInTurn(pieces, sink, turns);
    if (second.joinable()) second.join();
    if (turns.error) std::rethrow_exception(turns.error);
    return turns.whole;
}

}  // namespace brevikon
