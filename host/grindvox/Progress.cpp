#include "host/grindvox/Progress.h"

#include "host/grindvox/Interruption.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace {

constexpr double kDelaySeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;
constexpr int kFallbackWidth = 80;
constexpr int kMinBar = 4;

double secondsBetween(std::chrono::steady_clock::time_point a,
                      std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

int terminalWidth() {
    winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return kFallbackWidth;
    return size.ws_col;
}

} // namespace

std::string ProgressLine(double fraction, double secondsLeft, int width) {
    if (width < 2) return "";
    fraction = fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
    char tail[64];
    std::snprintf(tail, sizeof tail, " %3d%%  %.1f s left", static_cast<int>(fraction * 100.0),
                  secondsLeft < 0.0 ? 0.0 : secondsLeft);
    const int room = width - 1;
    std::string line;
    const int bar = room - 2 - static_cast<int>(std::string(tail).size());
    if (bar >= kMinBar) {
        const int filled = static_cast<int>(fraction * bar);
        line = "[" + std::string(static_cast<size_t>(filled), '#') +
               std::string(static_cast<size_t>(bar - filled), '.') + "]" + tail;
    } else {
        line = tail + 1; // a narrow terminal gets the numbers alone
    }
    line.resize(static_cast<size_t>(room), ' ');
    return line;
}

Progress::Progress(int64_t total, bool enabled)
    : mTotal(total), mEnabled(enabled), mStart(Clock::now()), mLastDraw(mStart) {}

Progress::~Progress() {
    Finish();
}

bool Progress::StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void Progress::Update(int64_t done) {
    if (!mEnabled || mTotal <= 0) return;
    const Clock::time_point now = Clock::now();
    const double elapsed = secondsBetween(mStart, now);
    if (elapsed < kDelaySeconds) return;
    if (mDrawnWidth > 0 && secondsBetween(mLastDraw, now) < kRedrawSeconds) return;
    mLastDraw = now;

    const double fraction = done >= mTotal ? 1.0 : static_cast<double>(done) / mTotal;
    const double remaining = fraction > 0.0 ? elapsed * (1.0 - fraction) / fraction : 0.0;
    const int width = terminalWidth();
    // A terminal made narrower since the last draw has wrapped that line; start a fresh one.
    const char* start = mDrawnWidth > width ? "\n" : "\r";
    std::fprintf(stderr, "%s%s", start, ProgressLine(fraction, remaining, width).c_str());
    std::fflush(stderr);
    mDrawnWidth = width;
    SetProgressLineOpen(true);
}

void Progress::Finish() {
    if (mDrawnWidth == 0) return;
    std::fprintf(stderr, "\r%*s\r", mDrawnWidth - 1, "");
    std::fflush(stderr);
    mDrawnWidth = 0;
    SetProgressLineOpen(false);
}
