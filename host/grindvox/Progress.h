#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// A progress bar on standard error for work that takes more than about a second, drawn only
// when standard error is a terminal: a render of a short file prints nothing, and a log file
// never fills with carriage returns. Redraws at most ten times a second, on one line that fits
// the terminal's width as it is at each redraw.
class Progress {
public:
    // `enabled` false draws nothing whatever happens.
    Progress(int64_t total, bool enabled);
    ~Progress();

    void Update(int64_t done);
    // Clears the bar, if one was drawn, so the summary starts on a clean line.
    void Finish();

    // True when standard error is a terminal.
    static bool StandardErrorIsTerminal();

private:
    using Clock = std::chrono::steady_clock;

    int64_t mTotal;
    bool mEnabled;
    int mDrawnWidth = 0; // the width of the line drawn; 0 when none is
    Clock::time_point mStart;
    Clock::time_point mLastDraw;
};

// The bar's text for `fraction` done (0 to 1) and `secondsLeft`, exactly `width` - 1
// characters so the cursor never wraps: "[#####.....]  42%  3.1 s left".
std::string ProgressLine(double fraction, double secondsLeft, int width);
