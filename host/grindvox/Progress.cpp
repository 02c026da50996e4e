#include "host/grindvox/Progress.h"

#include <unistd.h>

namespace {

constexpr double kDelaySeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;
constexpr int kWidth = 40;

double secondsBetween(std::chrono::steady_clock::time_point a,
                      std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

} // namespace

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
    if (mDrawn && secondsBetween(mLastDraw, now) < kRedrawSeconds) return;
    mLastDraw = now;
    mDrawn = true;

    const double fraction = done >= mTotal ? 1.0 : static_cast<double>(done) / mTotal;
    const int filled = static_cast<int>(fraction * kWidth);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    const double remaining = fraction > 0.0 ? elapsed * (1.0 - fraction) / fraction : 0.0;
    std::fprintf(stderr, "\r[%s] %3d%%  %.1f s left ", bar, static_cast<int>(fraction * 100.0),
                 remaining);
    std::fflush(stderr);
}

void Progress::Finish() {
    if (!mDrawn) return;
    mDrawn = false;
    std::fprintf(stderr, "\r%*s\r", kWidth + 24, "");
    std::fflush(stderr);
}
