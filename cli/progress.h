#pragma once
// The progress line of a long run and the summary line at its end.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace brevikon {

// True when the stream is a terminal that a person watches.
bool IsTerminal(std::FILE* stream);

// "1234 von 10000 Dateien  12,3 MB  45,6 MB/s  noch 0:12"; rate and time left once known.
std::string ProgressLineText(std::int64_t done, std::int64_t total, std::int64_t bytes,
                             double seconds);

// "Fertig: 9998 Dateien umgewandelt, 2 fehlgeschlagen, 0 uebergangen, 12,3 s"
std::string SummaryLineText(std::int64_t converted, std::int64_t failed, std::int64_t skipped,
                            double seconds);

// One line on a terminal, redrawn in place at most ten times a second. Every other line of
// the run is written only after Clear, so the two never mix.
class ProgressLine {
  public:
    ProgressLine(std::FILE* stream, bool shown, std::int64_t total);
    void Update(std::int64_t done, std::int64_t bytes);
    void Clear();

  private:
    std::FILE* stream_;
    bool shown_;
    std::int64_t total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
    std::size_t drawnWidth_ = 0;  // 0: nothing on the line
};

}  // namespace brevikon
