#include "cli/progress.h"

#include <cmath>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace brevikon {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto RedrawInterval = std::chrono::milliseconds(100);
constexpr double Megabyte = 1024.0 * 1024.0;

// One decimal with a comma, as German texts write it.
std::string OneDecimal(double value) {
    const auto tenths = static_cast<long long>(std::llround(value * 10));
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

std::string MinutesAndSeconds(double seconds) {
    const auto whole = static_cast<long long>(std::llround(seconds));
    const long long rest = whole % 60;
    return std::to_string(whole / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string Duration(double seconds) {
    // Decided on the rounded value, so that 59.96 s reads "1:00 min", not "60,0 s".
    return std::llround(seconds * 10) < 600 ? OneDecimal(seconds) + " s"
                                            : MinutesAndSeconds(seconds) + " min";
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

std::string ProgressLineText(std::int64_t done, std::int64_t total, std::int64_t bytes,
                             double seconds) {
    std::string line = std::to_string(done) + " von " + std::to_string(total) + " Dateien  " +
                       OneDecimal(static_cast<double>(bytes) / Megabyte) + " MB";
    if (seconds > 0 && done > 0) {
        line += "  " + OneDecimal(static_cast<double>(bytes) / Megabyte / seconds) + " MB/s";
        const double left = seconds * static_cast<double>(total - done) / static_cast<double>(done);
        line += "  noch " + MinutesAndSeconds(left);
    }
    return line;
}

std::string SummaryLineText(std::int64_t converted, std::int64_t failed, std::int64_t skipped,
                            double seconds) {
    return "Fertig: " + std::to_string(converted) +
           (converted == 1 ? " Datei umgewandelt, " : " Dateien umgewandelt, ") +
           std::to_string(failed) + " fehlgeschlagen, " + std::to_string(skipped) +
           " uebergangen, " + Duration(seconds);
}

ProgressLine::ProgressLine(std::FILE* stream, bool shown, std::int64_t total)
    : stream_(stream), shown_(shown), total_(total), start_(Clock::now()), lastDrawn_(start_) {}

void ProgressLine::Update(std::int64_t done, std::int64_t bytes) {
    if (!shown_) return;
    const auto now = Clock::now();
    // The first drawing waits too: a run shorter than that shows no line at all.
    if (now - lastDrawn_ < RedrawInterval) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::string line = ProgressLineText(done, total_, bytes, seconds);
    // Blanks over what a longer earlier line left.
    const std::size_t width = line.size();
    if (width < drawnWidth_) line.append(drawnWidth_ - width, ' ');
    std::fputc('\r', stream_);
    std::fputs(line.c_str(), stream_);
    std::fflush(stream_);
    drawnWidth_ = width > drawnWidth_ ? width : drawnWidth_;
}

void ProgressLine::Clear() {
    if (drawnWidth_ == 0) return;
    std::string blanks(drawnWidth_ + 2, ' ');
    blanks.front() = '\r';
    blanks.back() = '\r';
    std::fputs(blanks.c_str(), stream_);
    std::fflush(stream_);
    drawnWidth_ = 0;
}

}  // namespace brevikon
